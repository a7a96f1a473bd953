// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/io/ChunkWalker.h"

#include <algorithm>

#include "core/io/FileError.h"
#include "core/io/LittleEndian.h"

namespace {

constexpr std::size_t kTypeSize = 4;
constexpr std::size_t kSizeSize = 4;

}  // namespace

std::string_view FileTag(std::span<const uint8_t> bytes)
{
    if (bytes.size() < kTypeSize)
        return {};
    return {reinterpret_cast<const char*>(bytes.data()), kTypeSize};
}

std::string PrintableTag(std::string_view tag)
{
    std::string out;
    for (unsigned char ch : tag) {
        if (ch < 0x20 || ch == 0x7F || (ch >= 0x80 && ch < 0xA0)) {
            out += '?';
        } else if (ch < 0x80) {
            out += static_cast<char>(ch);
        } else {
            out += static_cast<char>(0xC0 | (ch >> 6));
            out += static_cast<char>(0x80 | (ch & 0x3F));
        }
    }
    return out;
}

std::string UpperAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

FileChunk::FileChunk(const std::string& file, ChunkDialect dialect, std::string_view type, std::size_t at,
                     std::size_t size, std::span<const uint8_t> present)
    : file_(file),
      dialect_(dialect),
      upper_(UpperAscii(type)),
      shown_(PrintableTag(type)),
      at_(at),
      size_(size),
      present_(present)
{
}

void AppendChunk(std::vector<uint8_t>& out, std::string_view type, std::span<const uint8_t> body)
{
    out.insert(out.end(), type.begin(), type.begin() + kTypeSize);
    PutLE32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
}

std::size_t FileChunk::BodyAt() const
{
    return at_ + kTypeSize + kSizeSize;
}

std::string FileChunk::Where() const
{
    return "chunk \"" + shown_ + "\" at offset " + std::to_string(at_);
}

void FileChunk::Refuse(const std::string& problem) const
{
    throw FileError(file_, problem);
}

void FileChunk::RequireBody() const
{
    if (size_ == present_.size())
        return;
    const std::string size = std::to_string(size_), remain = std::to_string(present_.size());
    if (dialect_ == ChunkDialect::Style)
        Refuse(Where() + " says it holds " + size + " bytes, but only " + remain + " remain in the file");
    Refuse(Where() + " needs " + size + " bytes but only " + remain + " remain in the file");
}

ByteReader FileChunk::Body() const
{
    RequireBody();
    return ByteReader(present_);
}

void ChunkWalker::CutHeader(std::size_t at, const std::string& shownType) const
{
    const std::string where = std::to_string(at);
    if (dialect_ == ChunkDialect::Map)
        throw FileError(name_, "the chunk header at offset " + where + " is cut off by the end of the file");
    if (shownType.empty())
        throw FileError(name_, "ends inside the chunk header at offset " + where);
    throw FileError(name_, "ends inside the header of chunk \"" + shownType + "\" at offset " + where);
}

void ChunkWalker::Walk(const std::string& tooShort, const std::function<void(const FileChunk&)>& visit)
{
    if (bytes_.size() < kChunkedFileHeaderSize)
        throw FileError(name_, tooShort);
    ProgressScope progress(progress_, 1, static_cast<double>(bytes_.size()), "Loading...");
    // An update when the walk has moved on by a step, not for every chunk: a file of
    // nothing but empty chunks would spend its time in the progress window.
    const std::size_t step = std::max<std::size_t>(bytes_.size() / 200, 1 << 16);
    std::size_t nextUpdate = 0;
    ByteReader file(bytes_);
    file.Skip(kChunkedFileHeaderSize);  // not checked
    while (!file.AtEnd()) {
        const std::size_t at = file.Position();
        if (!file.CanRead(kTypeSize))
            CutHeader(at, {});
        const std::string type = file.Text(kTypeSize);
        if (type == std::string_view("\0\0\0\0", kTypeSize))
            break;
        if (!file.CanRead(kSizeSize))
            CutHeader(at, PrintableTag(type));
        const int32_t size = file.I32();
        const std::size_t present = std::min(static_cast<std::size_t>(size), file.Remaining());
        const FileChunk chunk(name_, dialect_, type, at, static_cast<std::size_t>(size),
                              file.Rest().first(size < 0 ? 0 : present));
        if (file.Position() >= nextUpdate || static_cast<std::size_t>(size) >= step) {
            progress.Update(static_cast<double>(file.Position()), "Loading Section " + chunk.Shown() + "...");
            nextUpdate = file.Position() + step;
        }
        if (size < 0)
            chunk.Refuse(chunk.Where() + " has a negative size (" + std::to_string(size) + ")");
        visit(chunk);
        file.Skip(present);
    }
}
