#include "core/io/FileIO.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#include "core/common/PathRules.h"
#include "core/io/FileError.h"

namespace fs = std::filesystem;

namespace {

constexpr int kNameAttempts = 16;

SystemFile OpenForReading(const std::string& path)
{
    const fs::path file = PathFromUtf8(path);
    std::error_code ignored;
    if (fs::is_directory(file, ignored))
        throw FileError(path, "cannot be opened: it is a folder");
    SystemFile in;
    if (const std::error_code error = in.OpenToRead(file))
        throw FileError(path, "cannot be opened: " + error.message());
    return in;
}

std::size_t SizeOf(const std::string& path, const SystemFile& file)
{
    uint64_t size = 0;
    if (const std::error_code error = file.Size(size))
        throw FileError(path, "cannot be read: " + error.message());
    return static_cast<std::size_t>(size);
}

// A name no other save picks: the target's name, hidden, and 64 random bits.
fs::path UniqueNameBeside(const fs::path& target)
{
    static thread_local std::mt19937_64 random{uint64_t{std::random_device{}()} << 32 | std::random_device{}()};
    char bits[17];
    std::snprintf(bits, sizeof bits, "%016llx", static_cast<unsigned long long>(random()));
    fs::path name(".");
    name += target.filename();
    name += std::string(".") + bits + ".tmp";
    return target.parent_path() / name;
}

void RemoveQuietly(const fs::path& file)
{
    std::error_code ignored;
    fs::remove(file, ignored);
}

// A new file beside `target` holding `bytes`, flushed to disk and closed.
fs::path WriteNewFileBeside(const fs::path& target, const std::string& nameForUser, std::span<const uint8_t> bytes,
                            bool ownerOnly)
{
    for (int attempt = 1;; ++attempt) {
        const fs::path temp = UniqueNameBeside(target);
        SystemFile file;
        std::error_code error = file.CreateNew(temp, ownerOnly);
        if (error == std::errc::file_exists && attempt < kNameAttempts)
            continue;
        if (error)
            throw FileError(nameForUser, "cannot be written: " + error.message());
        error = file.WriteAll(bytes);
        if (!error)
            error = file.FlushToDisk();
        if (!error)
            error = file.Close();
        if (!error)
            return temp;
        file.Close();
        RemoveQuietly(temp);
        throw FileError(nameForUser, "cannot be written: " + error.message());
    }
}

// `from` under the name `to`, replacing whatever `to` was, in one step.
std::error_code Rename(const fs::path& from, const fs::path& to)
{
    std::error_code error;
    fs::rename(from, to, error);
    return error;
}

// The old file becomes the backup by a second name for it, which costs no copy of its
// bytes: the new file is put in place under a new name afterwards. A target that is not
// a plain file, or a file system without links, gets a copy instead.
std::error_code LinkOrCopy(const fs::path& from, const fs::path& to)
{
    std::error_code error;
    if (fs::is_regular_file(fs::symlink_status(from, error))) {
        fs::create_hard_link(from, to, error);
        if (!error)
            return {};
    }
    error.clear();
    fs::copy_file(from, to, error);
    return error;
}

// The backup is made under a name of its own and then renamed over the old one, so
// there is always one whole backup.
std::error_code BackUp(const fs::path& target, const fs::path& backup)
{
    const fs::path temp = UniqueNameBeside(target);
    std::error_code error = LinkOrCopy(target, temp);
    if (!error)
        error = Rename(temp, backup);
    // Also after a rename that did nothing: renaming a link over another link to the
    // same file leaves both names, as when two saves back up the same file at once.
    RemoveQuietly(temp);
    return error;
}

// The one way a model's file is written: whole, to disk, under a name of its own; then
// the backup, if asked for; then in place. A file that replaces another keeps that
// one's permissions, and nobody else may read it before then.
void PutInPlace(const std::string& path, std::span<const uint8_t> bytes, bool keepBackup)
{
    const fs::path target = PathFromUtf8(path);
    std::error_code ignored;
    const fs::file_status old = fs::status(target, ignored);
    const fs::path temp = WriteNewFileBeside(target, path, bytes, fs::exists(old));
    if (fs::is_regular_file(old))
        fs::permissions(temp, old.permissions(), ignored);  // a file system without them keeps its own
    if (keepBackup && fs::exists(old)) {
        fs::path backup = target;
        backup += ".bak";
        if (const std::error_code error = BackUp(target, backup)) {
            RemoveQuietly(temp);
            throw FileError(path, "cannot be backed up as " + Utf8FromPath(backup) + ": " + error.message());
        }
    }
    if (const std::error_code error = Rename(temp, target)) {
        RemoveQuietly(temp);
        throw FileError(path, "cannot be replaced: " + error.message());
    }
}

}  // namespace

std::vector<uint8_t> ReadWholeFile(const std::string& path)
{
    SystemFile in = OpenForReading(path);
    // One read of the size the file has now, so a large file is not copied again and
    // again as the buffer grows; whatever a growing file adds meanwhile is read after it.
    std::vector<uint8_t> bytes(SizeOf(path, in));
    std::size_t filled = 0;
    uint8_t more[1 << 16];
    for (;;) {
        const bool full = filled == bytes.size();
        std::size_t got = 0;
        const std::error_code error =
            full ? in.ReadSome(more, sizeof more, got) : in.ReadSome(bytes.data() + filled, bytes.size() - filled, got);
        if (error)
            throw FileError(path, "cannot be read: " + error.message());
        if (got == 0)
            break;
        if (full)
            bytes.insert(bytes.end(), more, more + got);
        filled += got;
    }
    bytes.resize(filled);
    return bytes;
}

FileReader::FileReader(const std::string& path) : FileReader(path, OpenForReading(path)) {}

FileReader::FileReader(const std::string& path, SystemFile file)
    : ByteSource(path, SizeOf(path, file)), file_(std::move(file))
{
}

void FileReader::Fail(const std::error_code& error) const
{
    throw FileError(Name(), "cannot be read: " + error.message());
}

std::span<const uint8_t> FileReader::View(std::size_t n)
{
    buffer_ = std::make_unique_for_overwrite<uint8_t[]>(n);
    Copy(buffer_.get(), n);
    return {buffer_.get(), n};
}

void FileReader::Copy(uint8_t* into, std::size_t n)
{
    for (std::size_t done = 0, got = 0; done < n; done += got) {
        if (const std::error_code error = file_.ReadSome(into + done, n - done, got))
            Fail(error);
        if (got == 0)
            Fail(std::make_error_code(std::errc::io_error));  // the file shrank while it was read
    }
}

void FileReader::PassOver(std::size_t n)
{
    if (const std::error_code error = file_.SkipAhead(n))
        Fail(error);
}

void SaveWithBackup(const std::string& path, std::span<const uint8_t> bytes)
{
    PutInPlace(path, bytes, true);
}

void ReplaceWholeFile(const std::string& path, std::span<const uint8_t> bytes)
{
    PutInPlace(path, bytes, false);
}

std::span<const uint8_t> AsBytes(const std::string& text)
{
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}
