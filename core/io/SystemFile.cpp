// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/io/SystemFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <utility>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::error_code LastError()
{
    return {errno, std::generic_category()};
}

#ifdef _WIN32
using Chunk = unsigned int;  // what _read and _write take
constexpr std::size_t kLargestCall = INT_MAX;

int OpenFile(const std::filesystem::path& path, int flags, int mode)
{
    return ::_wopen(path.c_str(), flags | _O_BINARY | _O_NOINHERIT, mode);
}
int ReadFd(int fd, uint8_t* into, std::size_t n)
{
    return ::_read(fd, into, static_cast<Chunk>(std::min(n, kLargestCall)));
}
int WriteFd(int fd, const uint8_t* from, std::size_t n)
{
    return ::_write(fd, from, static_cast<Chunk>(std::min(n, kLargestCall)));
}
constexpr int kReadFlags = _O_RDONLY;
constexpr int kUnnamedFlags = 0;
constexpr int kCreateFlags = _O_WRONLY | _O_CREAT | _O_EXCL;
constexpr int kOwnerOnly = _S_IREAD | _S_IWRITE;
constexpr int kAnyone = _S_IREAD | _S_IWRITE;
#else
constexpr std::size_t kLargestCall = SSIZE_MAX;

int OpenFile(const std::filesystem::path& path, int flags, int mode)
{
    int fd;
    do
        fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}
ssize_t ReadFd(int fd, uint8_t* into, std::size_t n)
{
    return ::read(fd, into, std::min(n, kLargestCall));
}
ssize_t WriteFd(int fd, const uint8_t* from, std::size_t n)
{
    return ::write(fd, from, std::min(n, kLargestCall));
}
// Without O_NONBLOCK, opening a named pipe waits for a writer, maybe for ever; a regular
// file reads the same either way.
constexpr int kReadFlags = O_RDONLY | O_NONBLOCK;
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
#ifdef O_TMPFILE
constexpr int kUnnamedFlags = O_TMPFILE | O_RDWR;
#else
constexpr int kUnnamedFlags = 0;
#endif
constexpr int kOwnerOnly = 0600;
constexpr int kAnyone = 0666;  // less the umask, as for any new file
#endif

// An unnamed file is named through its entry under /proc, and a library reaches an open
// file there: both need /proc mounted, as it nearly always is.
bool HasProcFd()
{
#ifdef __linux__
    static const bool mounted = ::access("/proc/self/fd", X_OK) == 0;
    return mounted;
#else
    return false;
#endif
}

#ifndef _WIN32
std::filesystem::file_type TypeOf(mode_t mode)
{
    using Type = std::filesystem::file_type;
    return S_ISLNK(mode)    ? Type::symlink
           : S_ISDIR(mode)  ? Type::directory
           : S_ISREG(mode)  ? Type::regular
           : S_ISFIFO(mode) ? Type::fifo
           : S_ISCHR(mode)  ? Type::character
           : S_ISBLK(mode)  ? Type::block
           : S_ISSOCK(mode) ? Type::socket
                            : Type::unknown;
}
#endif

std::string ProcFdPath(int fd)
{
    return "/proc/self/fd/" + std::to_string(fd);
}

}  // namespace

SystemFile::~SystemFile()
{
    Close();
}

SystemFile& SystemFile::operator=(SystemFile&& other) noexcept
{
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

std::error_code SystemFile::OpenToRead(const std::filesystem::path& path)
{
    Close();
    fd_ = OpenFile(path, kReadFlags, 0);
    return fd_ < 0 ? LastError() : std::error_code();
}

std::error_code SystemFile::CreateNew(const std::filesystem::path& path, bool ownerOnly)
{
    Close();
    fd_ = OpenFile(path, kCreateFlags, ownerOnly ? kOwnerOnly : kAnyone);
    return fd_ < 0 ? LastError() : std::error_code();
}

std::error_code SystemFile::CreateUnnamed(const std::filesystem::path& folder, bool ownerOnly)
{
    Close();
    if (kUnnamedFlags == 0 || !HasProcFd())
        return std::make_error_code(std::errc::operation_not_supported);
    fd_ = OpenFile(folder, kUnnamedFlags, ownerOnly ? kOwnerOnly : kAnyone);
    if (fd_ >= 0)
        return {};
    // Older kernels say EISDIR, file systems without unnamed files EOPNOTSUPP.
    if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)
        return std::make_error_code(std::errc::operation_not_supported);
    return LastError();
}

std::error_code SystemFile::LinkAs(const std::filesystem::path& path)
{
#ifdef __linux__
    if (::linkat(AT_FDCWD, ProcFdPath(fd_).c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0)
        return LastError();
    return {};
#else
    (void)path;
    return std::make_error_code(std::errc::operation_not_supported);
#endif
}

std::filesystem::file_type SystemFile::Type() const
{
    using Type = std::filesystem::file_type;
#ifdef _WIN32
    struct _stat64 info;
    if (::_fstat64(fd_, &info) != 0)
        return Type::none;
    const auto mode = info.st_mode;
    return (mode & _S_IFMT) == _S_IFREG   ? Type::regular
           : (mode & _S_IFMT) == _S_IFDIR ? Type::directory
           : (mode & _S_IFMT) == _S_IFCHR ? Type::character
                                          : Type::fifo;
#else
    struct stat info;
    if (::fstat(fd_, &info) != 0)
        return Type::none;
    return TypeOf(info.st_mode);
#endif
}

std::error_code SystemFile::Size(uint64_t& size) const
{
#ifdef _WIN32
    struct _stat64 info;
    if (::_fstat64(fd_, &info) != 0)
        return LastError();
#else
    struct stat info;
    if (::fstat(fd_, &info) != 0)
        return LastError();
#endif
    size = static_cast<uint64_t>(info.st_size);
    return {};
}

std::error_code SystemFile::ReadSome(uint8_t* into, std::size_t n, std::size_t& got)
{
    for (;;) {
        const auto result = ReadFd(fd_, into, n);
        if (result >= 0) {
            got = static_cast<std::size_t>(result);
            return {};
        }
        if (errno != EINTR)
            return LastError();
    }
}

std::error_code SystemFile::SkipAhead(uint64_t n)
{
#ifdef _WIN32
    if (::_lseeki64(fd_, static_cast<__int64>(n), SEEK_CUR) < 0)
        return LastError();
#else
    if (::lseek(fd_, static_cast<off_t>(n), SEEK_CUR) < 0)
        return LastError();
#endif
    return {};
}

std::error_code SystemFile::Rewind()
{
#ifdef _WIN32
    if (::_lseeki64(fd_, 0, SEEK_SET) < 0)
        return LastError();
#else
    if (::lseek(fd_, 0, SEEK_SET) < 0)
        return LastError();
#endif
    return {};
}

std::error_code SystemFile::WriteAll(std::span<const uint8_t> bytes)
{
    while (!bytes.empty()) {
        const auto written = WriteFd(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return LastError();
        if (written == 0)
            return std::make_error_code(std::errc::io_error);  // no progress: never spin
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return {};
}

std::error_code SystemFile::FlushToDisk()
{
#ifdef _WIN32
    if (::_commit(fd_) != 0)
        return LastError();
#else
    if (::fsync(fd_) != 0)
        return LastError();
#endif
    return {};
}

std::error_code SystemFile::Close()
{
    if (fd_ < 0)
        return {};
    const int fd = std::exchange(fd_, -1);
#ifdef _WIN32
    if (::_close(fd) != 0)
        return LastError();
#else
    // Linux closes the descriptor even when close() reports EINTR: never retry.
    if (::close(fd) != 0)
        return LastError();
#endif
    return {};
}

std::error_code SystemFile::TakeOwnerAndModeOf(const FileFacts& like)
{
#ifdef _WIN32
    (void)like;  // ReplaceExistingFile keeps the old file's attributes and security
    return {};
#else
    struct stat own;
    if (::fstat(fd_, &own) != 0)
        return LastError();
    const auto uid = static_cast<uid_t>(like.owner);
    const auto gid = static_cast<gid_t>(like.group);
    const auto mode = static_cast<mode_t>(like.mode);
    // Only a privileged process may give a file away; the group alone it may set to one
    // of its own. Most saves are of the user's own files: then there is nothing to change.
    if (own.st_uid != uid || own.st_gid != gid) {
        if (::fchown(fd_, uid, gid) != 0) {
            if (errno != EPERM)
                return LastError();
            [[maybe_unused]] const int ignored = ::fchown(fd_, static_cast<uid_t>(-1), gid);
        }
        own.st_mode = 0;  // so that the mode is set below
    }
    // After the owner: changing it may clear the set-id bits.
    // A file system without permissions (a FAT stick) keeps its own.
    if ((own.st_mode & 07777) != mode && ::fchmod(fd_, mode) != 0 && errno != EPERM && errno != ENOTSUP &&
        errno != EOPNOTSUPP)
        return LastError();
    return {};
#endif
}

void SystemFile::HoldAsInUse()
{
#ifndef _WIN32
    // Shared, so that saves of one file at once do not shut each other out.
    [[maybe_unused]] const int ignored = ::flock(fd_, LOCK_SH | LOCK_NB);
#endif
}

std::string SystemFile::PathForLibraries() const
{
    return fd_ >= 0 && HasProcFd() ? ProcFdPath(fd_) : std::string();
}

void RemoveIfStaleTemp(const std::filesystem::path& path, std::chrono::seconds age)
{
#ifdef _WIN32
    // Windows refuses to remove a file a save has open.
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(path, error)))
        return;
    const auto written = std::filesystem::last_write_time(path, error);
    if (!error && std::filesystem::file_time_type::clock::now() - written >= age)
        std::filesystem::remove(path, error);
#else
    const int fd = OpenFile(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK, 0);
    if (fd < 0)
        return;
    // The change time moves with every new name and every write, so it says how long
    // the save that made this name has been gone; the age also covers the moment between
    // a name's making and its save's hold on it. The exclusive hold fails while any save
    // holds the file; the name is checked to be the file held before it goes.
    struct stat held {};
    struct stat named {};
    const auto changedAt = [](const struct stat& info) {
        return std::chrono::system_clock::time_point(std::chrono::seconds(info.st_ctim.tv_sec));
    };
    const bool stale = ::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == ::geteuid() &&
                       changedAt(held) + age <= std::chrono::system_clock::now() &&
                       ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.c_str(), &named) == 0 &&
                       named.st_dev == held.st_dev && named.st_ino == held.st_ino;
    if (stale)
        ::unlink(path.c_str());
    ::close(fd);
#endif
}

bool MayWrite(const std::filesystem::path& path, const FileFacts& facts)
{
#ifdef _WIN32
    (void)facts;
    return ::_waccess(path.c_str(), 2) == 0;
#else
    // The owner's own bits are all the system checks for its owner, so most saves need
    // not ask.
    if (facts.owner == ::geteuid())
        return (facts.mode & S_IWUSR) != 0;
    return ::access(path.c_str(), W_OK) == 0;
#endif
}

FileFacts LookAt(const std::filesystem::path& path)
{
    FileFacts facts;
#ifdef _WIN32
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::symlink_status(path, error);
    if (!error && status.type() != std::filesystem::file_type::none) {
        facts.type = status.type();
        facts.mode = static_cast<uint32_t>(status.permissions() & std::filesystem::perms::mask);
    }
#else
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0)
        return facts;
    facts.type = TypeOf(info.st_mode);
    facts.mode = static_cast<uint32_t>(info.st_mode & 07777);
    facts.owner = static_cast<uint32_t>(info.st_uid);
    facts.group = static_cast<uint32_t>(info.st_gid);
#endif
    return facts;
}

#ifdef _WIN32
namespace {

std::error_code Win32Error(DWORD code)
{
    switch (code) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_UNABLE_TO_REMOVE_REPLACED:
            return std::make_error_code(std::errc::device_or_resource_busy);
        case ERROR_ACCESS_DENIED:
            return std::make_error_code(std::errc::permission_denied);
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return std::make_error_code(std::errc::no_space_on_device);
        default:
            return {static_cast<int>(code), std::system_category()};
    }
}

}  // namespace

std::error_code ReplaceExistingFile(const std::filesystem::path& target, const std::filesystem::path& replacement,
                                    const std::filesystem::path& backup)
{
    if (!backup.empty()) {
        const DWORD attributes = ::GetFileAttributesW(backup.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
            ::SetFileAttributesW(backup.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
    }
    if (::ReplaceFileW(target.c_str(), replacement.c_str(), backup.empty() ? nullptr : backup.c_str(),
                       REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return {};
    const DWORD code = ::GetLastError();
    // The old file went to the backup name but the new one could not follow: put the old
    // one back, so the name never goes missing.
    if (code == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
        ::MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    return Win32Error(code);
}
#endif
