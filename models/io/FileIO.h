#pragma once
// Whole-file reading and the safe save shared by every model that writes.
// Paths are UTF-8. Failures throw FileError naming the file and the reason.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

std::vector<uint8_t> ReadWholeFile(const std::string& path);

// Writes the whole of `bytes` to a temporary file beside `path`, then, when `path`
// exists, copies it to `path` + ".bak" (replacing an older backup), then puts the new
// file in place. Any failure leaves the previous file untouched and removes the
// temporary file.
void SaveWithBackup(const std::string& path, std::span<const uint8_t> bytes);

// Replaces `path` with `bytes` completely, through a temporary file, with no backup.
void ReplaceFile(const std::string& path, std::span<const uint8_t> bytes);

std::span<const uint8_t> AsBytes(const std::string& text);
