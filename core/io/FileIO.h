// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading files whole, and the one safe way every model writes. Paths are UTF-8.
// Failures throw FileError naming the file and the reason. Only regular files are read:
// a folder, a named pipe, a device or a socket is refused at once, never waited on.

#include <chrono>
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

// Opens a regular file to read and tells its size, refusing what ReadWholeFile refuses
// before a byte is read.
SystemFile OpenFileToRead(const std::string& path, SizeLimit limit, uint64_t& size);

// The first `n` bytes of a regular file (fewer in a shorter one); none for anything that
// cannot be opened or is not a regular file.
std::vector<uint8_t> ReadHead(const std::string& path, std::size_t n);

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

// ReplaceWholeFile with contents made piece by piece: `write` hands each piece to the
// sink in order, so a large file need not be held whole. Whatever `write` throws fails
// the save, leaving the previous file as it was.
using ByteSink = std::function<void(std::span<const uint8_t>)>;
void ReplaceWholeFileFrom(const std::string& path, const std::function<void(const ByteSink&)>& write);

// A new file at `path` holding `bytes`, created exclusively (never through a link) and,
// where the system allows, complete before it has its name; not flushed to disk, since
// an export writes thousands of them and there is no previous file to lose. Returns false,
// writing nothing, when the name is taken; a failure removes what it wrote.
bool WriteNewFile(const std::string& path, std::span<const uint8_t> bytes);

// An export's file: a new one by WriteNewFile, an existing one replaced by ReplaceWholeFile.
void WriteExportFile(const std::string& path, std::span<const uint8_t> bytes);

// Refuses, naming `output`, to write over `input`: the same file by device and inode,
// whatever either is called. Names that do not exist are never the same.
void RefuseToOverwrite(const std::string& output, const std::string& input);

// A private file for a library that reads and writes only by path: unnamed where the
// system allows, otherwise a fresh name in the temporary folder, removed when done.
class ScratchFile {
public:
    ScratchFile();
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    const std::string& Path() const { return path_; }
    // What the library last wrote there.
    std::vector<uint8_t> Contents();

private:
    SystemFile file_;
    std::filesystem::path named_;  // empty when unnamed
    std::string path_;
};

std::span<const uint8_t> AsBytes(const std::string& text);

// Test seams of the safe save. On POSIX a save with a backup goes through these steps in
// order (one without a backup has only the first and the last); `afterStep` is called
// after each, and whatever it throws fails the save there.
enum class SaveStep {
    Written,         // the new file is complete and on disk
    OldNamed,        // the old file has a second, temporary name
    OldBackupNamed,  // the old backup too, when there is one
    BackupTaken,     // the old file's second name became the backup
    Replaced,        // the new file has the target's name
};
struct SaveSeams {
    std::function<void(SaveStep)> afterStep;
    // How long a temporary file a killed save left must stay untouched before a save in
    // its folder removes it.
    std::chrono::seconds staleAfter = std::chrono::minutes(10);
};
SaveSeams& TestSeams();

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
