#include "core/io/FileIO.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/common/PathRules.h"
#include "core/io/FileError.h"

namespace fs = std::filesystem;

namespace {

std::string LastErrorText()
{
    const int err = errno;
    return err != 0 ? std::string(std::strerror(err)) : std::string("unknown error");
}

fs::path TemporaryBeside(const fs::path& target)
{
    fs::path temp = target;
    temp += ".kestrova-new";
    return temp;
}

void WriteAll(const fs::path& file, const std::string& nameForUser, std::span<const uint8_t> bytes)
{
    errno = 0;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out)
        throw FileError(nameForUser, "cannot be written: " + LastErrorText());
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out)
        throw FileError(nameForUser, "writing failed: " + LastErrorText());
    out.close();
    if (out.fail())
        throw FileError(nameForUser, "closing failed: " + LastErrorText());
}

void RemoveQuietly(const fs::path& file)
{
    std::error_code ignored;
    fs::remove(file, ignored);
}

void PutInPlace(const fs::path& temp, const fs::path& target, const std::string& nameForUser)
{
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) {
        RemoveQuietly(temp);
        throw FileError(nameForUser, "cannot be replaced: " + ec.message());
    }
}

void WriteTemporary(const fs::path& temp, const std::string& nameForUser, std::span<const uint8_t> bytes)
{
    try {
        WriteAll(temp, nameForUser, bytes);
    } catch (...) {
        RemoveQuietly(temp);
        throw;
    }
}

// The old file becomes the backup by a second name for it, which costs no copy of its
// bytes: the new file is put in place under a new name afterwards. Only a plain file
// is linked over a plain file or nothing; anything else, or a file system without
// links, is left to the copy.
bool LinkAsBackup(const fs::path& target, const fs::path& backup)
{
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(target, ec)))
        return false;
    const fs::file_status old = fs::symlink_status(backup, ec);
    if (fs::exists(old) && !fs::is_regular_file(old))
        return false;
    fs::remove(backup, ec);
    if (ec)
        return false;
    fs::create_hard_link(target, backup, ec);
    return !ec;
}

std::ifstream OpenForReading(const std::string& path)
{
    const fs::path file = PathFromUtf8(path);
    std::error_code ec;
    if (fs::is_directory(file, ec))
        throw FileError(path, "cannot be opened: it is a folder");
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw FileError(path, "cannot be opened: " + LastErrorText());
    return in;
}

}  // namespace

std::vector<uint8_t> ReadWholeFile(const std::string& path)
{
    std::ifstream in = OpenForReading(path);
    // One read of the size the file has now, so a large file is not copied again and
    // again as the buffer grows; whatever a growing file adds meanwhile is read after it.
    std::vector<uint8_t> bytes;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0);
    if (!in) {
        in.clear();
        in.seekg(0);  // a stream without an end to seek to is read piece by piece below
    } else if (size > 0) {
        bytes.resize(static_cast<std::size_t>(size));
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
    }
    char buffer[1 << 16];
    while (in && (in.read(buffer, sizeof buffer) || in.gcount() > 0))
        bytes.insert(bytes.end(), buffer, buffer + in.gcount());
    if (in.bad())
        throw FileError(path, "cannot be read: " + LastErrorText());
    return bytes;
}

FileReader::FileReader(const std::string& path) : path_(path), in_(OpenForReading(path))
{
    in_.seekg(0, std::ios::end);
    const std::streamoff end = in_.tellg();
    in_.seekg(0);
    if (end < 0 || !in_)
        throw FileError(path, "cannot be read: " + LastErrorText());
    size_ = static_cast<std::size_t>(end);
}

void FileReader::Require(std::size_t n) const
{
    if (n > Remaining())
        throw FileError(path_, "is cut off: " + std::to_string(n) + " bytes are needed at offset " +
                                   std::to_string(position_) + " but only " + std::to_string(Remaining()) + " remain");
}

void FileReader::Read(uint8_t* into, std::size_t n)
{
    Require(n);
    errno = 0;
    in_.read(reinterpret_cast<char*>(into), static_cast<std::streamsize>(n));
    if (static_cast<std::size_t>(in_.gcount()) != n)
        throw FileError(path_, "cannot be read: " + LastErrorText());
    position_ += n;
}

std::vector<uint8_t> FileReader::Read(std::size_t n)
{
    Require(n);
    std::vector<uint8_t> bytes(n);
    Read(bytes.data(), n);
    return bytes;
}

void FileReader::Skip(std::size_t n)
{
    Require(n);
    in_.seekg(static_cast<std::streamoff>(n), std::ios::cur);
    if (!in_)
        throw FileError(path_, "cannot be read: " + LastErrorText());
    position_ += n;
}

void SaveWithBackup(const std::string& path, std::span<const uint8_t> bytes)
{
    const fs::path target = PathFromUtf8(path);
    const fs::path temp = TemporaryBeside(target);
    WriteTemporary(temp, path, bytes);

    std::error_code ec;
    if (fs::exists(target, ec)) {
        fs::path backup = target;
        backup += ".bak";
        if (!LinkAsBackup(target, backup))
            fs::copy_file(target, backup, fs::copy_options::overwrite_existing, ec);
        if (ec) {
            RemoveQuietly(temp);
            throw FileError(path, "cannot be backed up as " + Utf8FromPath(backup) + ": " + ec.message());
        }
    }
    PutInPlace(temp, target, path);
}

void ReplaceFile(const std::string& path, std::span<const uint8_t> bytes)
{
    const fs::path target = PathFromUtf8(path);
    const fs::path temp = TemporaryBeside(target);
    WriteTemporary(temp, path, bytes);
    PutInPlace(temp, target, path);
}

std::span<const uint8_t> AsBytes(const std::string& text)
{
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}
