#pragma once
// Whole-file reading and the safe save shared by every model that writes.
// Paths are UTF-8. Failures throw FileError naming the file and the reason.

#include <cstdint>
#include <fstream>
#include <span>
#include <string>
#include <vector>

std::vector<uint8_t> ReadWholeFile(const std::string& path);

// A file read piece by piece from the start, for a reader that keeps what it needs
// and no copy of the whole file. Refuses what ReadWholeFile refuses; a read or skip
// past the end throws FileError.
class FileReader {
public:
    explicit FileReader(const std::string& path);

    std::size_t Size() const { return size_; }
    std::size_t Position() const { return position_; }
    std::size_t Remaining() const { return size_ - position_; }

    void Read(uint8_t* into, std::size_t n);
    std::vector<uint8_t> Read(std::size_t n);
    void Skip(std::size_t n);

private:
    void Require(std::size_t n) const;

    std::string path_;
    std::ifstream in_;
    std::size_t size_ = 0;
    std::size_t position_ = 0;
};

// Writes the whole of `bytes` to a temporary file beside `path`, then, when `path`
// exists, copies it to `path` + ".bak" (replacing an older backup), then puts the new
// file in place. Any failure leaves the previous file untouched and removes the
// temporary file.
void SaveWithBackup(const std::string& path, std::span<const uint8_t> bytes);

// Replaces `path` with `bytes` completely, through a temporary file, with no backup.
void ReplaceFile(const std::string& path, std::span<const uint8_t> bytes);

std::span<const uint8_t> AsBytes(const std::string& text);
