#pragma once
// Bytes taken in order from the start, either already in memory or read from a file as
// they are asked for, so that one reader serves both. Whatever is not asked for is
// passed over unread. A request past the end throws FileError naming the file.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

class ByteSource {
public:
    virtual ~ByteSource() = default;

    const std::string& Name() const { return name_; }
    std::size_t Size() const { return size_; }
    std::size_t Position() const { return position_; }
    std::size_t Remaining() const { return size_ - position_; }

    // The next n bytes, valid until the next call. From memory they are a view, no copy.
    std::span<const uint8_t> Read(std::size_t n);
    // The next n bytes into `out`, resized to hold them: for bytes the caller keeps.
    void ReadInto(std::vector<uint8_t>& out, std::size_t n);
    void Skip(std::size_t n);

protected:
    ByteSource(std::string name, std::size_t size) : name_(std::move(name)), size_(size) {}

private:
    // Called first on every request: a source that holds the bytes of the last view lets them go.
    virtual void Release() {}
    virtual std::span<const uint8_t> View(std::size_t n) = 0;
    virtual void Copy(uint8_t* into, std::size_t n) = 0;
    virtual void PassOver(std::size_t n) = 0;
    void Require(std::size_t n) const;

    std::string name_;
    std::size_t size_ = 0;
    std::size_t position_ = 0;
};

// Bytes the caller holds for as long as the source is used; `name` is for messages.
class MemorySource final : public ByteSource {
public:
    MemorySource(std::span<const uint8_t> bytes, const std::string& name)
        : ByteSource(name, bytes.size()), bytes_(bytes)
    {
    }

private:
    std::span<const uint8_t> View(std::size_t n) override { return bytes_.subspan(Position(), n); }
    void Copy(uint8_t* into, std::size_t n) override;
    void PassOver(std::size_t) override {}

    std::span<const uint8_t> bytes_;
};
