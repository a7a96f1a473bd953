#include "core/io/FileIO.h"

#include <filesystem>
#include <limits>
#include <optional>
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

// Pieces of a whole-file read, each followed by a progress update when the file is
// large enough for the read to be seen.
constexpr std::size_t kReadPiece = std::size_t{4} << 20;

std::string InMegabytes(uint64_t bytes)
{
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
}

std::size_t SizeOf(const std::string& path, const SystemFile& file, SizeLimit limit)
{
    uint64_t size = 0;
    if (const std::error_code error = file.Size(size))
        throw FileError(path, "cannot be read: " + error.message());
    if (size > limit.bytes || size > std::numeric_limits<std::size_t>::max())
        throw FileError(path, "is too large to load: " + std::to_string(size) + " bytes, more than any " + limit.kind +
                                  " (at most " + InMegabytes(limit.bytes) + ")");
    return static_cast<std::size_t>(size);
}

// A short name no other save picks, so that a target with a name as long as the
// system allows still has room for it beside it.
fs::path UniqueNameBeside(const fs::path& target)
{
    static thread_local std::mt19937_64 random{uint64_t{std::random_device{}()} << 32 | std::random_device{}()};
    static constexpr char kLetters[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name = ".kv";
    uint64_t bits = random();
    for (int i = 0; i < 6; ++i, bits /= 36)
        name += kLetters[bits % 36];
    name += ".tmp";
    return fs::path(target).replace_filename(name);
}

void RemoveQuietly(const fs::path& file)
{
    std::error_code ignored;
    fs::remove(file, ignored);
}

// What the user can act on, for the failures that have a plain cause.
std::string Why(const std::error_code& error)
{
    if (error == std::errc::no_space_on_device || error == std::errc::file_too_large)
        return "the disk is full";
    if (error == std::errc::device_or_resource_busy || error == std::errc::text_file_busy)
        return "it is in use by another program";
    return error.message();
}

std::string FolderOf(const fs::path& target)
{
    return Utf8FromPath(target.has_parent_path() ? target.parent_path() : fs::path("."));
}

// A new file beside `target` holding `bytes`, flushed to disk and closed, with the
// permissions and owner of the file it replaces, if any. Whatever is at a name tried (a
// link, a folder another program left) is never written through, nor removed.
fs::path WriteNewFileBeside(const fs::path& target, const std::string& nameForUser, std::span<const uint8_t> bytes,
                            const FileFacts& old)
{
    const bool replacesOld = old.type != fs::file_type::not_found;
    for (int attempt = 1;; ++attempt) {
        const fs::path temp = UniqueNameBeside(target);
        SystemFile file;
        std::error_code error = file.CreateNew(temp, replacesOld);
        if (error == std::errc::file_exists && attempt < kNameAttempts)
            continue;
        if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
            error == std::errc::read_only_file_system)
            throw FileError(nameForUser, "cannot be saved: the folder " + FolderOf(target) + " cannot be written");
        if (error)
            throw FileError(nameForUser, "cannot be written: " + Why(error));
        error = file.WriteAll(bytes);
        if (!error && replacesOld)
            error = file.TakeOwnerAndModeOf(old);
        if (!error)
            error = file.FlushToDisk();
        if (!error)
            error = file.Close();
        if (!error)
            return temp;
        file.Close();
        RemoveQuietly(temp);
        throw FileError(nameForUser, "cannot be written: " + Why(error));
    }
}

// `from` under the name `to`, replacing whatever `to` was (a link included, never
// followed), in one step.
std::error_code Rename(const fs::path& from, const fs::path& to)
{
    std::error_code error;
    fs::rename(from, to, error);
    return error;
}

#ifndef _WIN32
// A second name for the old file, made under a fresh name, costs no copy of its bytes; a
// file system without links gets a copy. Returns the name, or empty with `error` set.
fs::path SecondName(const fs::path& target, std::error_code& error)
{
    for (int attempt = 1;; ++attempt) {
        const fs::path temp = UniqueNameBeside(target);
        error.clear();
        fs::create_hard_link(target, temp, error);
        if (error && error != std::errc::file_exists) {
            error.clear();
            fs::copy_file(target, temp, error);
            if (error)
                RemoveQuietly(temp);  // no name was there a moment ago: whatever is there now is ours
        }
        if (!error)
            return temp;
        if (error != std::errc::file_exists || attempt == kNameAttempts)
            return {};
    }
}

#endif

// A link is saved through to the file it names, which keeps the link a link and puts the
// backup beside the real file.
fs::path FileBehindLinks(fs::path file, const std::string& nameForUser, FileFacts& facts)
{
    for (int hops = 0; hops < 40; ++hops) {
        // Not a link: what it says of itself is what it is, with no second look.
        if (facts = LookAt(file); facts.type != fs::file_type::symlink)
            return file;
        std::error_code error;
        const fs::path to = fs::read_symlink(file, error);
        if (error)
            throw FileError(nameForUser, "cannot be saved: its link cannot be followed: " + error.message());
        file = to.is_absolute() ? to : file.parent_path() / to;
    }
    throw FileError(nameForUser, "cannot be saved: its links lead round in a circle");
}

bool IsReadOnly(const fs::path& target, const FileFacts& old)
{
    // As root the system allows everything, so a file nobody may write counts as
    // read-only whatever it says.
    constexpr uint32_t kWrite = 0222;
    return (old.mode & kWrite) == 0 || !MayWrite(target, old);
}

// The one way a model's file is written: whole, to disk, under a name of its own; then
// the backup, if asked for; then in place. Everything that can be checked is checked
// before the first byte is written, and nothing of the old file or backup changes
// before the new file is complete.
void PutInPlace(const std::string& path, std::span<const uint8_t> bytes, bool keepBackup)
{
    FileFacts old;
    const fs::path target = FileBehindLinks(PathFromUtf8(path), path, old);
    const bool replaces = old.type != fs::file_type::not_found;
    if (old.type == fs::file_type::directory)
        throw FileError(path, "cannot be saved: it is a folder");
    if (replaces && IsReadOnly(target, old))
        throw FileError(path, "is read-only: it cannot be saved over");
    keepBackup = keepBackup && replaces;
    fs::path backup;
    if (keepBackup) {
        (backup = target) += ".bak";
        if (LookAt(backup).type == fs::file_type::directory)
            throw FileError(path, "cannot be backed up: " + Utf8FromPath(backup) + " is a folder");
    }

    const fs::path temp = WriteNewFileBeside(target, path, bytes, old);
    std::error_code error;
#ifdef _WIN32
    error = replaces ? ReplaceExistingFile(target, temp, keepBackup ? backup : fs::path()) : Rename(temp, target);
    if (error) {
        RemoveQuietly(temp);
        throw FileError(path, "cannot be replaced: " + Why(error));
    }
#else
    // The old file gets a second name of its own first; it becomes the backup only once
    // the new file is in, so a failure before that leaves the old backup as it was. The
    // rename over the backup replaces a link there, never writes through it.
    fs::path previous;
    if (keepBackup && (previous = SecondName(target, error)).empty()) {
        RemoveQuietly(temp);
        throw FileError(path, "cannot be backed up as " + Utf8FromPath(backup) + ": " + Why(error));
    }
    if ((error = Rename(temp, target))) {
        RemoveQuietly(temp);
        if (!previous.empty())
            RemoveQuietly(previous);
        throw FileError(path, "cannot be replaced: " + Why(error));
    }
    if (!previous.empty()) {
        if ((error = Rename(previous, backup)))
            throw FileError(path, "was saved, but " + Utf8FromPath(backup) + " could not take the previous file (" +
                                      Why(error) + "); it is kept as " + Utf8FromPath(previous));
        // Also after a rename that did nothing: renaming a link over another link to the
        // same file leaves both names, as when two saves back up the same file at once.
        RemoveQuietly(previous);
    }
#endif
}

}  // namespace

std::vector<uint8_t> ReadWholeFile(const std::string& path, SizeLimit limit, std::size_t headSize,
                                   const HeadCheck& checkHead, Progress& progress)
{
    SystemFile in = OpenForReading(path);
    const std::size_t size = SizeOf(path, in, limit);
    const auto fill = [&](uint8_t* into, std::size_t n) {
        std::size_t done = 0;
        for (std::size_t got = 1; done < n && got != 0; done += got)
            if (const std::error_code error = in.ReadSome(into + done, n - done, got))
                throw FileError(path, "cannot be read: " + error.message());
        return done;
    };
    std::vector<uint8_t> head(std::min(headSize, size));
    head.resize(fill(head.data(), head.size()));
    if (checkHead)
        checkHead(head, size);
    // One allocation of the size the file has now, so a large file is not copied again
    // and again as the buffer grows; whatever a growing file adds meanwhile is read after it.
    std::vector<uint8_t> bytes;
    if (head.size() == size && size != 0)  // all of it is in hand
        bytes = std::move(head);
    else {
        bytes.resize(std::max(size, head.size()));
        std::copy(head.begin(), head.end(), bytes.begin());
    }
    std::size_t filled = head.size();
    std::optional<ProgressScope> reading;
    if (size > kReadPiece)
        reading.emplace(progress, 0, static_cast<double>(size), "Reading...");
    while (filled < size) {
        const std::size_t got = fill(bytes.data() + filled, std::min(kReadPiece, size - filled));
        if (got == 0)
            break;
        filled += got;
        if (reading)
            reading->Update(static_cast<double>(filled));
    }
    bytes.resize(filled);
    if (filled < size)
        return bytes;
    uint8_t more[1 << 16];
    while (const std::size_t got = fill(more, sizeof more)) {
        if (bytes.size() + got > limit.bytes)
            throw FileError(path,
                            "is too large to load: it grew past " + InMegabytes(limit.bytes) + " while it was read");
        bytes.insert(bytes.end(), more, more + got);
        if (got < sizeof more)
            break;
    }
    return bytes;
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
