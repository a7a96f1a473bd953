// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/io/FileIO.h"

#include <deque>
#include <filesystem>
#include <limits>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <string_view>
#include <system_error>

#include "core/common/PathRules.h"
#include "core/io/FileError.h"

namespace fs = std::filesystem;

namespace {

constexpr int kNameAttempts = 16;

std::string WhatItIs(fs::file_type type)
{
    switch (type) {
        case fs::file_type::directory:
            return "a folder";
        case fs::file_type::fifo:
            return "a named pipe";
        case fs::file_type::character:
        case fs::file_type::block:
            return "a device";
        case fs::file_type::socket:
            return "a socket";
        default:
            return "not a regular file";
    }
}

FileError NotAFile(const std::string& path, fs::file_type type)
{
    if (type == fs::file_type::directory)
        return FileError(path, "cannot be opened: it is a folder");
    return FileError(path, "cannot be opened: it is " + WhatItIs(type) + ", not a file");
}

SystemFile OpenForReading(const std::string& path)
{
    SystemFile in;
    if (const std::error_code error = in.OpenToRead(PathFromUtf8(path))) {
        // A socket cannot be opened at all; say what it is rather than why not.
        std::error_code ignored;
        const fs::file_type type = fs::status(PathFromUtf8(path), ignored).type();
        if (type == fs::file_type::socket || type == fs::file_type::directory)
            throw NotAFile(path, type);
        throw FileError(path, "cannot be opened: " + error.message());
    }
    if (const fs::file_type type = in.Type(); type != fs::file_type::regular)
        throw NotAFile(path, type);
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

constexpr char kTempStart[] = ".kv";
constexpr char kTempEnd[] = ".tmp";
constexpr char kLetters[] = "0123456789abcdefghijklmnopqrstuvwxyz";
constexpr std::size_t kRandomLetters = 6;

// A short name no other save picks, so that a target with a name as long as the
// system allows still has room for it beside it.
fs::path UniqueNameBeside(const fs::path& target)
{
    static thread_local std::mt19937_64 random{uint64_t{std::random_device{}()} << 32 | std::random_device{}()};
    std::string name = kTempStart;
    uint64_t bits = random();
    for (std::size_t i = 0; i < kRandomLetters; ++i, bits /= 36)
        name += kLetters[bits % 36];
    name += kTempEnd;
    return fs::path(target).replace_filename(name);
}

bool IsTempName(const std::string& name)
{
    constexpr std::size_t start = sizeof kTempStart - 1;
    return name.size() == start + kRandomLetters + sizeof kTempEnd - 1 && name.starts_with(kTempStart) &&
           name.ends_with(kTempEnd) && name.find_first_not_of(kLetters, start) == start + kRandomLetters;
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

fs::path FolderPath(const fs::path& target)
{
    return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

std::string FolderOf(const fs::path& target)
{
    return Utf8FromPath(FolderPath(target));
}

[[noreturn]] void FailToCreate(const fs::path& target, const std::string& nameForUser, const std::error_code& error)
{
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
        error == std::errc::read_only_file_system)
        throw FileError(nameForUser, "cannot be saved: the folder " + FolderOf(target) + " cannot be written");
    throw FileError(nameForUser, "cannot be written: " + Why(error));
}

SaveSeams gSeams;

void Reached(SaveStep step)
{
    if (gSeams.afterStep)
        gSeams.afterStep(step);
}

// Temporary files a killed save left in `folder`, looked for by the first save there in
// this process. What is removed is decided by RemoveIfStaleTemp.
void RemoveStaleTemps(const fs::path& folder)
{
    static std::mutex mutex;
    static std::set<fs::path> done;
    {
        const std::lock_guard lock(mutex);
        if (!done.insert(fs::absolute(folder)).second)
            return;
    }
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error))
        if (IsTempName(Utf8FromPath(entry->path().filename())))
            RemoveIfStaleTemp(entry->path(), gSeams.staleAfter);
}

// What a save changed in the folder: `undo` steps run, last first, when it fails before
// it is done; `tidy` steps run in every case, after them.
class Rollback {
public:
    Rollback() = default;
    Rollback(const Rollback&) = delete;
    Rollback& operator=(const Rollback&) = delete;
    ~Rollback()
    {
        if (!done_)
            for (auto step = undo_.rbegin(); step != undo_.rend(); ++step)
                (*step)();
        for (const fs::path& name : tidy_)
            RemoveQuietly(name);
    }
    void Undo(std::function<void()> step) { undo_.push_back(std::move(step)); }
    void Tidy(fs::path name) { tidy_.push_back(std::move(name)); }
    void Done() { done_ = true; }

private:
    std::vector<std::function<void()>> undo_;
    std::vector<fs::path> tidy_;
    bool done_ = false;
};

// A new file beside its target: unnamed where the system allows, so that a process
// killed while writing it leaves nothing; otherwise under a fresh name. Whatever is at a
// name tried (a link, a folder another program left) is never written through, nor removed.
struct NewFile {
    SystemFile file;
    fs::path name;  // empty while unnamed

    NewFile(const fs::path& target, const std::string& nameForUser, bool ownerOnly)
    {
        std::error_code error = file.CreateUnnamed(FolderPath(target), ownerOnly);
        for (int attempt = 1; error == std::errc::operation_not_supported ||
                              (error == std::errc::file_exists && attempt < kNameAttempts);
             ++attempt) {
            const fs::path temp = UniqueNameBeside(target);
            if (!(error = file.CreateNew(temp, ownerOnly)))
                name = temp;
        }
        if (error)
            FailToCreate(target, nameForUser, error);
        file.HoldAsInUse();
    }
};

#ifndef _WIN32
// A second name for the file at `name`, made under a fresh temporary name, costs no copy
// of its bytes; a file system without links gets a copy of a regular file. The file is
// held as in use (in `holds`) from before it has that name. Returns the new name, or
// empty with `error` set.
fs::path SecondName(const fs::path& name, std::deque<SystemFile>& holds, std::error_code& error)
{
    SystemFile& held = holds.emplace_back();
    if (!held.OpenToRead(name) && held.Type() == fs::file_type::regular)
        held.HoldAsInUse();
    for (int attempt = 1;; ++attempt) {
        const fs::path temp = UniqueNameBeside(name);
        error.clear();
        fs::create_hard_link(name, temp, error);
        if (error && error != std::errc::file_exists && held.Type() == fs::file_type::regular) {
            error.clear();
            fs::copy_file(name, temp, error);
            if (error)
                RemoveQuietly(temp);  // no name was there a moment ago: whatever is there now is ours
            else if (!holds.emplace_back().OpenToRead(temp))
                holds.back().HoldAsInUse();
        }
        if (!error)
            return temp;
        if (error != std::errc::file_exists || attempt == kNameAttempts)
            return {};
    }
}
#endif

// `from` under the name `to`, replacing whatever `to` was (a link included, never
// followed), in one step.
std::error_code Rename(const fs::path& from, const fs::path& to)
{
    std::error_code error;
    fs::rename(from, to, error);
    return error;
}

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

// Writes what `write` hands over into `made`, with the owner and mode of `old` when it
// replaces a file, and flushes it to disk.
void Fill(NewFile& made, const std::string& nameForUser, const std::function<void(const ByteSink&)>& write,
          const FileFacts& old)
{
    write([&](std::span<const uint8_t> piece) {
        if (const std::error_code error = made.file.WriteAll(piece))
            throw FileError(nameForUser, "cannot be written: " + Why(error));
    });
    std::error_code error;
    if (old.type != fs::file_type::not_found)
        error = made.file.TakeOwnerAndModeOf(old);
    if (!error)
        error = made.file.FlushToDisk();
    if (error)
        throw FileError(nameForUser, "cannot be written: " + Why(error));
}

#ifndef _WIN32
// Gives the complete new file the name `to`: an unnamed one gets a temporary name first
// and is renamed from it, so that `to` is replaced in one step.
std::error_code PutAt(NewFile& made, const fs::path& to)
{
    std::error_code error;
    for (int attempt = 1; made.name.empty(); ++attempt) {
        const fs::path temp = UniqueNameBeside(to);
        if (!(error = made.file.LinkAs(temp)))
            made.name = temp;
        else if (error != std::errc::file_exists || attempt == kNameAttempts)
            return error;
    }
    // Closed after the rename, so that the file is held until it has its final name; it
    // was flushed to disk, so closing it cannot lose what was written.
    if (!(error = Rename(made.name, to))) {
        made.file.Close();
        return {};
    }
    RemoveQuietly(made.name);
    return error;
}

// Makes the old file the backup before the target changes, so that a backup that cannot
// be made (a name too long, a backup the system will not let go) fails the save while
// everything is as it was; a later failure puts the old backup back.
void KeepAsBackup(const fs::path& target, const fs::path& backup, const std::string& path,
                  std::deque<SystemFile>& holds, Rollback& rollback)
{
    const auto refuse = [&](const std::error_code& error) {
        return FileError(path, "cannot be backed up as " + Utf8FromPath(backup) + ": " + Why(error));
    };
    std::error_code error;
    const fs::path old = SecondName(target, holds, error);
    if (old.empty())
        throw refuse(error);
    rollback.Tidy(old);  // after a rename that did nothing: two names of one file stay both
    Reached(SaveStep::OldNamed);
    fs::path oldBackup;
    if (LookAt(backup).type != fs::file_type::not_found) {
        if ((oldBackup = SecondName(backup, holds, error)).empty())
            throw refuse(error);
        rollback.Tidy(oldBackup);
        Reached(SaveStep::OldBackupNamed);
    }
    if ((error = Rename(old, backup)))
        throw refuse(error);
    rollback.Undo([backup, oldBackup] {
        if (oldBackup.empty())
            RemoveQuietly(backup);
        else
            Rename(oldBackup, backup);
    });
    Reached(SaveStep::BackupTaken);
}
#endif

// The one way a model's file is written: whole, to disk, unnamed or under a name of its
// own; then the backup, if asked for; then in place. Everything that can be checked is
// checked before the first byte is written, and the target does not change before the
// new file is complete and the backup is in place.
void PutInPlace(const std::string& path, const std::function<void(const ByteSink&)>& write, bool keepBackup)
{
    FileFacts old;
    const fs::path target = FileBehindLinks(PathFromUtf8(path), path, old);
    const bool replaces = old.type != fs::file_type::not_found;
    if (old.type == fs::file_type::directory)
        throw FileError(path, "cannot be saved: it is a folder");
    if (replaces && old.type != fs::file_type::regular)
        throw FileError(path, "cannot be saved over: it is " + WhatItIs(old.type) + ", not a file");
    if (replaces && IsReadOnly(target, old))
        throw FileError(path, "is read-only: it cannot be saved over");
    keepBackup = keepBackup && replaces;
    fs::path backup;
    if (keepBackup) {
        (backup = target) += ".bak";
        if (LookAt(backup).type == fs::file_type::directory)
            throw FileError(path, "cannot be backed up: " + Utf8FromPath(backup) + " is a folder");
    }
    RemoveStaleTemps(FolderPath(target));

    std::deque<SystemFile> holds;  // let go after the rollback is done with their names
    Rollback rollback;
    NewFile made(target, path, replaces);
    if (!made.name.empty())
        rollback.Undo([name = made.name] { RemoveQuietly(name); });
    Fill(made, path, write, old);
    Reached(SaveStep::Written);
#ifdef _WIN32
    // One call replaces the target and keeps the backup.
    std::error_code error = made.file.Close();
    if (!error)
        error = replaces ? ReplaceExistingFile(target, made.name, keepBackup ? backup : fs::path())
                         : Rename(made.name, target);
    if (error)
        throw FileError(path, "cannot be replaced: " + Why(error));
#else
    if (keepBackup)
        KeepAsBackup(target, backup, path, holds, rollback);
    if (const std::error_code error = PutAt(made, target))
        throw FileError(path, "cannot be replaced: " + Why(error));
#endif
    rollback.Done();
    Reached(SaveStep::Replaced);
}

void PutInPlace(const std::string& path, std::span<const uint8_t> bytes, bool keepBackup)
{
    const auto whole = [bytes](const ByteSink& sink) { sink(bytes); };
    PutInPlace(path, whole, keepBackup);
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

void ReplaceWholeFileFrom(const std::string& path, const std::function<void(const ByteSink&)>& write)
{
    PutInPlace(path, write, false);
}

bool WriteNewFile(const std::string& path, std::span<const uint8_t> bytes)
{
    const fs::path file = PathFromUtf8(path);
    if (LookAt(file).type != fs::file_type::not_found)
        return false;
    SystemFile out;
    std::error_code error = out.CreateUnnamed(FolderPath(file), false);
    const bool unnamed = !error;
    if (error == std::errc::operation_not_supported)
        error = out.CreateNew(file, false);
    if (error == std::errc::file_exists)
        return false;
    if (error)
        FailToCreate(file, path, error);
    bool named = !unnamed;  // whether `file` is ours to remove when this fails
    if (!(error = out.WriteAll(bytes)) && unnamed) {
        error = out.LinkAs(file);
        if (error == std::errc::file_exists)
            return false;  // taken meanwhile: what was written had no name, and is gone
        named = !error;
    }
    if (!error && !(error = out.Close()))
        return true;
    out.Close();
    if (named)
        RemoveQuietly(file);
    throw FileError(path, "cannot be written: " + Why(error));
}

void WriteExportFile(const std::string& path, std::span<const uint8_t> bytes)
{
    if (!WriteNewFile(path, bytes))
        ReplaceWholeFile(path, bytes);
}

void RefuseToOverwrite(const std::string& output, const std::string& input)
{
    std::error_code error;
    if (fs::equivalent(PathFromUtf8(output), PathFromUtf8(input), error) && !error)
        throw FileError(output, "cannot be written: it is the input file " + input);
}

std::vector<uint8_t> ReadHead(const std::string& path, std::size_t n)
{
    SystemFile in;
    if (in.OpenToRead(PathFromUtf8(path)) || in.Type() != fs::file_type::regular)
        return {};
    std::vector<uint8_t> head(n);
    std::size_t done = 0;
    for (std::size_t got = 1; done < n && got != 0; done += got)
        if (in.ReadSome(head.data() + done, n - done, got))
            break;
    head.resize(done);
    return head;
}

SystemFile OpenFileToRead(const std::string& path, SizeLimit limit, uint64_t& size)
{
    SystemFile in = OpenForReading(path);
    size = SizeOf(path, in, limit);
    return in;
}

ScratchFile::ScratchFile()
{
    std::error_code error;
    const fs::path folder = fs::temp_directory_path(error);
    if (error)
        throw FileError("the temporary folder", "cannot be found: " + error.message());
    if (!file_.CreateUnnamed(folder, true) && !(path_ = file_.PathForLibraries()).empty())
        return;
    file_.Close();
    for (int attempt = 1;; ++attempt) {
        const fs::path name = UniqueNameBeside(folder / "scratch");
        if (!(error = file_.CreateNew(name, true))) {
            named_ = name;
            path_ = Utf8FromPath(name);
            file_.HoldAsInUse();
            return;
        }
        if (error != std::errc::file_exists || attempt == kNameAttempts)
            throw FileError(Utf8FromPath(folder), "cannot take a temporary file: " + Why(error));
    }
}

ScratchFile::~ScratchFile()
{
    if (!named_.empty())
        RemoveQuietly(named_);
}

std::vector<uint8_t> ScratchFile::Contents()
{
    if (!named_.empty())
        return ReadWholeFile(path_);
    uint64_t size = 0;
    std::error_code error = file_.Size(size);
    std::vector<uint8_t> bytes(error ? 0 : static_cast<std::size_t>(size));
    std::size_t done = 0;
    if (!error)
        error = file_.Rewind();
    for (std::size_t got = 1; !error && done < bytes.size() && got != 0; done += got)
        error = file_.ReadSome(bytes.data() + done, bytes.size() - done, got);
    if (error || done < bytes.size())
        throw FileError(path_, "cannot be read back: " + (error ? error.message() : "it shrank"));
    return bytes;
}

SaveSeams& TestSeams()
{
    return gSeams;
}

std::span<const uint8_t> AsBytes(const std::string& text)
{
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}
