#include "core/sty/clsSTY.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>
#include <string_view>

#include "core/io/ByteReader.h"
#include "core/io/ChunkWalker.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"
#include "core/io/LittleEndian.h"

namespace {

constexpr std::size_t kTileGroupBytes = 4 * clsSTY::kTileBytes;  // four tiles side by side
constexpr int kPalettesPerPage = 64;
constexpr std::size_t kPalettePageBytes = kPalettesPerPage * clsSTY::kPaletteBytes;
constexpr std::size_t kMaxItems = 32767;  // the counts are signed 16-bit
constexpr std::size_t kChunkHeaderSize = 8;
constexpr std::size_t kFileHeaderSize = 6;

// The special-effects chunk's tag is spelled out in hex: "S", "P", "E", "C".
const std::array<const char*, 7> kByteBlockTypes = {"DELS", "DELX", "CARI", "\x53\x50\x45\x43", "PALB", "RECY", "OBJI"};

bool IsByteBlock(const std::string& type)
{
    return std::find(kByteBlockTypes.begin(), kByteBlockTypes.end(), type) != kByteBlockTypes.end();
}

bool IsKnown(const std::string& type)
{
    return type == "TILE" || type == "PPAL" || type == "PALX" || type == "SPRX" || type == "SPRG" || type == "SPRB" ||
           type == "FONB" || IsByteBlock(type);
}

// Reads the chunks of one style file, held whole in `out.file`, into `out` as the walker
// hands them over. Every chunk is read through its own reader, so whatever sizes the
// file states, nothing outside the chunk is read.
class StyleChunks {
public:
    explicit StyleChunks(clsSTY::Contents& out) : out_(out) {}

    void Read(FileChunk& chunk)
    {
        const std::string& type = chunk.Type();
        if (!IsKnown(type))
            return;            // not ours to read: passed over
        if (type == "SPRG") {  // read where it stands
            chunk.RequireBody();
            out_.spriteGraphicsAt = BodyAt(chunk);
            out_.spriteGraphicsSize = chunk.Size();
            return;
        }
        if (IsByteBlock(type)) {
            chunk.BodyInto(out_.byteBlocks[type]);
            return;
        }
        // Counts from the declared size, before a byte of the body is read.
        chunk.RequireBody();
        if (type == "TILE")
            ReadTiles(chunk);
        else if (type == "PPAL")
            ReadPalettes(chunk);
        else if (type == "SPRB" || type == "FONB")
            ReadWords(chunk, out_.wordBlocks[type]);
        else {
            const std::size_t count = CountOf(chunk, type == "PALX" ? 2 : 8);
            ByteReader body(chunk.Piece(count * (type == "PALX" ? 2 : 8)));
            if (type == "PALX")
                ReadVirtualPalettes(body, count);
            else
                ReadSpriteIndex(body, count);
        }
    }

private:
    static std::size_t BodyAt(const FileChunk& chunk) { return chunk.At() + kChunkHeaderSize; }

    static std::size_t CountOf(const FileChunk& chunk, std::size_t unit)
    {
        const std::size_t items = chunk.Size() / unit;
        if (items > kMaxItems)
            chunk.Refuse("chunk \"" + chunk.Shown() + "\" holds " + std::to_string(items) + " items; at most " +
                         std::to_string(kMaxItems) + " are supported");
        return items;
    }

    // Tiles come in groups of four side by side; only whole groups fit the layout, and
    // whatever follows the last whole group is kept but not shown. The tiles stay where
    // they are in the file's bytes.
    void ReadTiles(const FileChunk& chunk)
    {
        CountOf(chunk, clsSTY::kTileBytes);
        out_.tileCount = static_cast<int16_t>(chunk.Size() / kTileGroupBytes * 4);
        out_.tilesAt = BodyAt(chunk);
    }

    // Palettes come in pages of 64, colour by colour; only whole pages fit the layout.
    void ReadPalettes(FileChunk& chunk)
    {
        CountOf(chunk, clsSTY::kPaletteBytes);
        const std::size_t pages = chunk.Size() / kPalettePageBytes;
        out_.palCount = static_cast<int16_t>(pages * kPalettesPerPage);
        out_.palettes.resize(pages * kPalettePageBytes);
        uint8_t* const palettes = out_.palettes.data();
        for (std::size_t page = 0; page < pages; ++page) {
            const uint8_t* from = chunk.Piece(kPalettePageBytes).data();
            for (int colour = 0; colour < clsSTY::kColours; ++colour)
                for (std::size_t j = 0; j < kPalettesPerPage; ++j, from += 4)
                    std::memcpy(palettes + (page * kPalettesPerPage + j) * clsSTY::kPaletteBytes + colour * 4, from, 4);
        }
    }

    void ReadVirtualPalettes(ByteReader& body, std::size_t count)
    {
        out_.palxCount = static_cast<int16_t>(count);
        out_.palx.resize(static_cast<std::size_t>(out_.palxCount));
        const std::span<const uint8_t> source = body.Bytes(out_.palx.size() * 2);
        for (std::size_t i = 0; i < out_.palx.size(); ++i)
            out_.palx[i] = static_cast<int16_t>(LE16(source.data() + 2 * i));
    }

    void ReadSpriteIndex(ByteReader& body, std::size_t count)
    {
        out_.sprxCount = static_cast<int16_t>(count);
        out_.sprites.resize(static_cast<std::size_t>(out_.sprxCount));
        const std::span<const uint8_t> source = body.Bytes(out_.sprites.size() * 8);
        for (std::size_t i = 0; i < out_.sprites.size(); ++i) {
            const uint8_t* entry = source.data() + 8 * i;
            clsSTY::SpriteEntry& sprite = out_.sprites[i];
            sprite.offset = static_cast<int32_t>(LE32(entry));
            sprite.width = entry[4];
            sprite.height = entry[5];
            // entry[6] and entry[7] are not interpreted
        }
    }

    static void ReadWords(FileChunk& chunk, std::vector<uint16_t>& words)
    {
        words.resize(chunk.Size() / 2);
        const uint8_t* from = chunk.Piece(words.size() * 2).data();
        for (std::size_t i = 0; i < words.size(); ++i)
            words[i] = LE16(from + 2 * i);
    }

    clsSTY::Contents& out_;
};

}  // namespace

// The game's largest style file is about 6 MB; the counts are 16-bit, so even a style
// with every table full stays far below this.
constexpr SizeLimit kLargestStyleFile{uint64_t{512} << 20, "style file"};

namespace {

std::string TooShort(std::size_t size)
{
    return "is too short for a style file (" + std::to_string(size) + " bytes; the header alone takes 6)";
}

// A style file begins with "GBST"; anything else is refused before the rest is read.
void CheckHeader(std::span<const uint8_t> head, std::size_t size, const std::string& sFile)
{
    if (size < kFileHeaderSize)
        throw FileError(sFile, TooShort(size));
    const std::string_view magic(reinterpret_cast<const char*>(head.data()), 4);
    if (magic != "GBST")
        throw FileError(sFile, "is not a style file: it begins with \"" + PrintableTag(magic) +
                                   "\" where a style file has \"GBST\"");
}

}  // namespace

void clsSTY::LoadSTY(const std::string& sFile)
{
    RefuseWhenOutOfMemory(sFile, [&] {
        Parse(ReadWholeFile(sFile, kLargestStyleFile, kFileHeaderSize,
                            [&](std::span<const uint8_t> head, uint64_t size) {
                                CheckHeader(head, static_cast<std::size_t>(size), sFile);
                            }),
              sFile);
    });
}

void clsSTY::ParseSTY(std::span<const uint8_t> bytes, const std::string& sFile)
{
    RefuseWhenOutOfMemory(sFile, [&] { Parse({bytes.begin(), bytes.end()}, sFile); });
}

void clsSTY::Parse(std::vector<uint8_t> file, const std::string& sFile)
{
    CheckHeader(file, file.size(), sFile);
    Contents fresh;
    fresh.file = std::move(file);
    MemorySource source(fresh.file, sFile);
    StyleChunks chunks(fresh);
    try {
        ChunkWalker(source, ChunkDialect::Style).Walk(TooShort(source.Size()), [&chunks](FileChunk& chunk) {
            chunks.Read(chunk);
        });
    } catch (const TruncatedData& e) {
        // The chunk readers check sizes before reading; this only guards against a slip.
        throw FileError(sFile, std::string("is cut off: ") + e.what());
    }
    data_ = std::move(fresh);  // the bytes move with their buffer, so the places found stay right
}

void clsSTY::SaveSTY(const std::string& sFile) const
{
    if (data_.file.empty())
        throw std::logic_error("no style file was loaded, so there is nothing to save");
    SaveWithBackup(sFile, data_.file);
}

const std::vector<uint16_t>& clsSTY::WordBlock(const std::string& type) const
{
    static const std::vector<uint16_t> none;
    const auto it = data_.wordBlocks.find(type);
    return it == data_.wordBlocks.end() ? none : it->second;
}

const std::vector<uint8_t>& clsSTY::ByteBlock(const std::string& type) const
{
    static const std::vector<uint8_t> none;
    const auto it = data_.byteBlocks.find(type);
    return it == data_.byteBlocks.end() ? none : it->second;
}
