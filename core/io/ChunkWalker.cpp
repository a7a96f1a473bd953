#include "core/io/ChunkWalker.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "core/common/modGTA2.h"
#include "core/io/FileError.h"
#include "core/io/LittleEndian.h"

namespace {

constexpr std::size_t kFileHeaderSize = 6;
constexpr std::size_t kTypeSize = 4;
constexpr std::size_t kSizeSize = 4;

}  // namespace

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

FileChunk::FileChunk(ByteSource& source, ChunkDialect dialect, std::string_view type, std::size_t at, std::size_t size)
    : source_(source), dialect_(dialect), upper_(UpperAscii(type)), shown_(PrintableTag(type)), at_(at), size_(size)
{
}

std::string FileChunk::Where() const
{
    return "chunk \"" + shown_ + "\" at offset " + std::to_string(at_);
}

void FileChunk::Refuse(const std::string& problem) const
{
    throw FileError(source_.Name(), problem);
}

void FileChunk::RequireBody() const
{
    if (size_ <= source_.Remaining())
        return;
    const std::string size = std::to_string(size_), remain = std::to_string(source_.Remaining());
    if (dialect_ == ChunkDialect::Style)
        Refuse(Where() + " says it holds " + size + " bytes, but only " + remain + " remain in the file");
    Refuse(Where() + " needs " + size + " bytes but only " + remain + " remain in the file");
}

std::span<const uint8_t> FileChunk::Body()
{
    if (taken_ != 0)
        throw std::logic_error("the body of a chunk is read once");
    return Piece(size_);
}

void FileChunk::BodyInto(std::vector<uint8_t>& out)
{
    if (taken_ != 0)
        throw std::logic_error("the body of a chunk is read once");
    RequireBody();
    source_.ReadInto(out, size_);
    taken_ = size_;
}

std::span<const uint8_t> FileChunk::Piece(std::size_t n)
{
    if (taken_ == 0)
        RequireBody();
    if (n > size_ - taken_)
        throw std::out_of_range(Where() + ": " + std::to_string(n) + " more bytes asked of its body, " +
                                std::to_string(size_ - taken_) + " left");
    taken_ += n;
    return source_.Read(n);
}

void ChunkWalker::CutHeader(std::size_t at, const std::string& shownType) const
{
    const std::string where = std::to_string(at);
    if (dialect_ == ChunkDialect::Map)
        throw FileError(source_.Name(), "the chunk header at offset " + where + " is cut off by the end of the file");
    if (shownType.empty())
        throw FileError(source_.Name(), "ends inside the chunk header at offset " + where);
    throw FileError(source_.Name(), "ends inside the header of chunk \"" + shownType + "\" at offset " + where);
}

void ChunkWalker::Walk(const std::string& tooShort, const std::function<void(FileChunk&)>& visit)
{
    if (source_.Size() < kFileHeaderSize)
        throw FileError(source_.Name(), tooShort);
    std::optional<ProgressScope> progress;
    if (ownProgress_)
        progress.emplace(1, static_cast<double>(source_.Size()), "Loading...");
    // An update when the walk has moved on by a step, not for every chunk: a file of
    // nothing but empty chunks would spend its time in the progress window.
    const std::size_t step = std::max<std::size_t>(source_.Size() / 200, 1 << 16);
    std::size_t nextUpdate = 0;
    source_.Skip(kFileHeaderSize);  // not checked
    while (source_.Remaining() != 0) {
        const std::size_t at = source_.Position();
        // The whole header in one read where the file holds it, so a file costs one read a header.
        const std::span<const uint8_t> header = source_.Read(std::min(kTypeSize + kSizeSize, source_.Remaining()));
        if (header.size() < kTypeSize)
            CutHeader(at, {});
        const std::string type(header.begin(), header.begin() + kTypeSize);
        if (type == std::string_view("\0\0\0\0", kTypeSize))
            break;
        if (header.size() < kTypeSize + kSizeSize)
            CutHeader(at, PrintableTag(type));
        const auto size = static_cast<int32_t>(LE32(header.data() + kTypeSize));
        FileChunk chunk(source_, dialect_, type, at, static_cast<std::size_t>(size));
        if (source_.Position() >= nextUpdate || static_cast<std::size_t>(size) >= step) {
            UpdateProgress(static_cast<double>(source_.Position()), "Loading Section " + chunk.Shown() + "...");
            nextUpdate = source_.Position() + step;
        }
        if (size < 0)
            chunk.Refuse(chunk.Where() + " has a negative size (" + std::to_string(size) + ")");
        visit(chunk);
        source_.Skip(std::min(chunk.Size() - chunk.taken_, source_.Remaining()));
    }
}
