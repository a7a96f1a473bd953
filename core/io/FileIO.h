#pragma once
// Reading files whole or piece by piece, and the one safe way every model writes.
// Paths are UTF-8. Failures throw FileError naming the file and the reason.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/io/ByteSource.h"
#include "core/io/SystemFile.h"

std::vector<uint8_t> ReadWholeFile(const std::string& path);

// A file read piece by piece from the start, for a reader that keeps what it needs and
// no copy of the whole file: bytes passed over are never read. Refuses what
// ReadWholeFile refuses.
class FileReader final : public ByteSource {
public:
    explicit FileReader(const std::string& path);

private:
    FileReader(const std::string& path, SystemFile file);
    void Release() override { buffer_.reset(); }
    std::span<const uint8_t> View(std::size_t n) override;
    void Copy(uint8_t* into, std::size_t n) override;
    void PassOver(std::size_t n) override;
    [[noreturn]] void Fail(const std::error_code& error) const;

    SystemFile file_;
    // The bytes of the last view, let go at the next request: a large chunk is not held
    // while the next one is read.
    std::unique_ptr<uint8_t[]> buffer_;
};

// Writes the whole of `bytes` to a new file beside `path`, flushed to disk, then, when
// `path` exists, keeps it as `path` + ".bak" (replacing an older backup), then puts the
// new file in place. Nothing of the previous file or backup changes before the new
// file is complete; any failure removes the new file again.
void SaveWithBackup(const std::string& path, std::span<const uint8_t> bytes);

// The same without a backup: `path` is replaced completely or not at all.
void ReplaceWholeFile(const std::string& path, std::span<const uint8_t> bytes);

std::span<const uint8_t> AsBytes(const std::string& text);
