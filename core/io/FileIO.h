#pragma once
// Reading files whole, and the one safe way every model writes.
// Paths are UTF-8. Failures throw FileError naming the file and the reason.

#include <cstdint>
#include <functional>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "core/common/Progress.h"
#include "core/io/FileError.h"
#include "core/io/SystemFile.h"

// The most a reader takes: a file of the format cannot reasonably be larger, so a larger
// one is refused before anything is read or allocated, with its size in the message.
struct SizeLimit {
    uint64_t bytes;
    const char* kind;  // "car file", for the message
};
inline constexpr SizeLimit kAnyFile{uint64_t{1} << 30, "file this program reads"};

// `checkHead`, when given, sees the first `headSize` bytes (fewer in a shorter file) and
// the file's size before the rest is read or room for it is made, and throws to refuse.
// A file of more than a few megabytes is read in pieces, showing progress.
using HeadCheck = std::function<void(std::span<const uint8_t> head, uint64_t fileSize)>;
std::vector<uint8_t> ReadWholeFile(const std::string& path, SizeLimit limit = kAnyFile, std::size_t headSize = 0,
                                   const HeadCheck& checkHead = {}, Progress& progress = NoProgress());

// Writes the whole of `bytes` to a new file beside `path`, flushed to disk, then, when
// `path` exists, keeps it as `path` + ".bak" (replacing an older backup), then puts the
// new file in place. A link is saved through to the file it names. The new file gets
// the old one's permissions (and owner, where the process may); a read-only file, a
// folder at `path` or at the backup name are refused before anything is written.
// Nothing of the previous file or backup changes before the new file is complete; any
// failure removes what the save made. README's "Safety" tells the whole of it.
void SaveWithBackup(const std::string& path, std::span<const uint8_t> bytes);

// The same without a backup: `path` is replaced completely or not at all.
void ReplaceWholeFile(const std::string& path, std::span<const uint8_t> bytes);

std::span<const uint8_t> AsBytes(const std::string& text);

// Runs a load; running out of memory on the way becomes the usual refusal naming `file`.
template <class Load>
void RefuseWhenOutOfMemory(const std::string& file, Load&& load)
{
    try {
        load();
    } catch (const std::bad_alloc&) {
        throw FileError(file, "is too large to load: there is not enough memory for it");
    }
}
