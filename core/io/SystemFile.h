// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The few system calls the file layer makes, the only place where POSIX and Windows
// differ. Every failure comes back as the std::error_code the failing call left, taken
// right after it.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>

// What the system says of a name itself (a link is not followed), as much as a save needs.
struct FileFacts {
    std::filesystem::file_type type = std::filesystem::file_type::not_found;
    uint32_t mode = 0;   // the permission bits, with the set-id and sticky bits
    uint32_t owner = 0;  // POSIX only, as are the group and the set-id bits
    uint32_t group = 0;
};

// The facts of `path`; a name that cannot be looked at (nothing there, or a folder on the
// way that may not be searched) comes back as not found.
FileFacts LookAt(const std::filesystem::path& path);

class SystemFile {
public:
    SystemFile() = default;
    ~SystemFile();
    SystemFile(SystemFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    SystemFile& operator=(SystemFile&& other) noexcept;
    SystemFile(const SystemFile&) = delete;
    SystemFile& operator=(const SystemFile&) = delete;

    // Never waits: a named pipe without a writer opens at once, and Type() tells what
    // was opened before anything is read.
    std::error_code OpenToRead(const std::filesystem::path& path);
    // Creates `path`, which must not exist, not even as a link. `ownerOnly` keeps others
    // out until the caller gives it its final permissions.
    std::error_code CreateNew(const std::filesystem::path& path, bool ownerOnly);
    // A new file in `folder` that has no name until LinkAs gives it one, so a process
    // killed while writing it leaves nothing behind. Fails with
    // std::errc::operation_not_supported where the system or the file system cannot.
    std::error_code CreateUnnamed(const std::filesystem::path& folder, bool ownerOnly);
    // Gives an unnamed file the name `path`, which must not exist.
    std::error_code LinkAs(const std::filesystem::path& path);

    // What is open, as the system says of it now.
    std::filesystem::file_type Type() const;
    std::error_code Size(uint64_t& size) const;
    // Up to n bytes; `got` is 0 only at the end of the file.
    std::error_code ReadSome(uint8_t* into, std::size_t n, std::size_t& got);
    std::error_code SkipAhead(uint64_t n);
    std::error_code Rewind();
    std::error_code WriteAll(std::span<const uint8_t> bytes);
    std::error_code FlushToDisk();
    std::error_code Close();
    // Gives the open file the permission bits, owner and group of `like`, as far as the
    // process may: an owner it may not give is left as it is.
    std::error_code TakeOwnerAndModeOf(const FileFacts& like);
    // A shared hold on the open file, kept until it is closed, that tells
    // RemoveIfStaleTemp a save still needs it. Where the system has no such holds, or
    // another program holds the file exclusively, there is none; nothing else changes.
    void HoldAsInUse();
    // A path by which a library that only opens paths reaches this very file (on Linux,
    // its entry under /proc/self/fd), or "" where there is none.
    std::string PathForLibraries() const;

private:
    int fd_ = -1;
};

// Whether the system lets this process write `path`, whose facts are `facts` (as root it
// mostly says yes).
bool MayWrite(const std::filesystem::path& path, const FileFacts& facts);

// Removes `path`, a leftover temporary file of a killed save, when it is provably one and
// stale: a regular file of this user whose name and data have not changed for `age`, and
// that no running save holds (see HoldAsInUse). Anything else stays.
void RemoveIfStaleTemp(const std::filesystem::path& path, std::chrono::seconds age);

#ifdef _WIN32
// Puts `replacement` in place of the existing `target` in one call that keeps the
// target's attributes and security, and keeps the previous file as `backup` unless that
// is empty. A read-only old backup is replaced all the same. A sharing violation comes
// back as std::errc::device_or_resource_busy.
std::error_code ReplaceExistingFile(const std::filesystem::path& target, const std::filesystem::path& replacement,
                                    const std::filesystem::path& backup);
#endif
