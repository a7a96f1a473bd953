#include "models/io/FileIO.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/PathRules.h"
#include "models/io/FileError.h"

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

}  // namespace

std::vector<uint8_t> ReadWholeFile(const std::string& path)
{
    const fs::path file = PathFromUtf8(path);
    std::error_code ec;
    if (fs::is_directory(file, ec))
        throw FileError(path, "cannot be opened: it is a folder");
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw FileError(path, "cannot be opened: " + LastErrorText());
    std::vector<uint8_t> bytes;
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        bytes.insert(bytes.end(), buffer, buffer + in.gcount());
    if (in.bad())
        throw FileError(path, "cannot be read: " + LastErrorText());
    return bytes;
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
