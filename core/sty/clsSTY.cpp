// SPDX-License-Identifier: GPL-3.0-or-later
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

namespace {

constexpr std::size_t kTileGroupBytes = 4 * clsSTY::kTileBytes;  // four tiles side by side
constexpr int kPalettesPerPage = 64;
constexpr std::size_t kPalettePageBytes = kPalettesPerPage * clsSTY::kPaletteBytes;
constexpr std::size_t kMaxItems = 32767;  // the counts are signed 16-bit

const std::array<const char*, 7> kByteBlockTypes = {"DELS", "DELX", "CARI", "SPEC", "PALB", "RECY", "OBJI"};

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

    void Read(const FileChunk& chunk)
    {
        const std::string& type = chunk.Type();
        if (!IsKnown(type))
            return;  // not ours to read: passed over
        // Refused when cut off, before a byte of it is read.
        ByteReader body = chunk.Body();
        // The sprite graphics and the blocks kept unread stay where they are in the file's bytes.
        if (type == "SPRG")
            out_.spriteGraphics = {chunk.BodyAt(), chunk.Size()};
        else if (IsByteBlock(type))
            out_.byteBlocks[type] = {chunk.BodyAt(), chunk.Size()};
        else if (type == "TILE")
            ReadTiles(chunk);
        else if (type == "PPAL")
            ReadPalettes(chunk, body);
        else if (type == "SPRB")
            ReadWords(body, out_.wordBlocks[type]);
        else if (type == "FONB")
            ReadFontCounts(chunk, body);
        else if (type == "PALX")
            ReadVirtualPalettes(body, CountOf(chunk, 2));
        else
            ReadSpriteIndex(body, CountOf(chunk, 8));
    }

    // Once every chunk is read: the fonts' sprites follow those of the first five SPRB
    // counts, and must all be sprites the file has.
    void PlaceFonts(const std::string& sFile)
    {
        const auto sprb = out_.wordBlocks.find("SPRB");
        int64_t next = 0, characters = 0;
        for (std::size_t i = 0; sprb != out_.wordBlocks.end() && i < sprb->second.size() && i < 5; ++i)
            next += sprb->second[i];
        for (clsSTY::FontRange& font : out_.fonts) {
            font.firstSprite = static_cast<int>(next);
            next += font.characters;
            characters += font.characters;
        }
        if (characters > 0 && next > out_.sprxCount)
            throw FileError(sFile, fontsWhere_ + " places its " + std::to_string(out_.fonts.size()) +
                                       " fonts' characters up to sprite " + std::to_string(next - 1) +
                                       ", but the file has " + std::to_string(out_.sprxCount) + " sprites");
    }

private:
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
        out_.tilesAt = chunk.BodyAt();
    }

    // Palettes come in pages of 64, colour by colour; only whole pages fit the layout.
    void ReadPalettes(const FileChunk& chunk, ByteReader& body)
    {
        CountOf(chunk, clsSTY::kPaletteBytes);
        const std::size_t pages = chunk.Size() / kPalettePageBytes;
        out_.palCount = static_cast<int16_t>(pages * kPalettesPerPage);
        out_.palettes.resize(pages * kPalettePageBytes);
        uint8_t* const palettes = out_.palettes.data();
        for (std::size_t page = 0; page < pages; ++page) {
            const uint8_t* from = body.Bytes(kPalettePageBytes).data();
            for (int colour = 0; colour < clsSTY::kColours; ++colour)
                for (std::size_t j = 0; j < kPalettesPerPage; ++j, from += 4)
                    std::memcpy(palettes + (page * kPalettesPerPage + j) * clsSTY::kPaletteBytes + colour * 4, from, 4);
        }
    }

    void ReadVirtualPalettes(ByteReader& body, std::size_t count)
    {
        out_.palxCount = static_cast<int16_t>(count);
        out_.palx.resize(count);
        for (int16_t& entry : out_.palx)
            entry = body.I16();
    }

    void ReadSpriteIndex(ByteReader& body, std::size_t count)
    {
        out_.sprxCount = static_cast<int16_t>(count);
        out_.sprites.resize(count);
        for (clsSTY::SpriteEntry& sprite : out_.sprites) {
            sprite.offset = body.I32();
            sprite.width = body.U8();
            sprite.height = body.U8();
            body.Skip(2);  // not interpreted
        }
    }

    // A count of fonts, then each font's count of characters.
    void ReadFontCounts(const FileChunk& chunk, ByteReader& body)
    {
        const std::size_t count = body.CanRead(2) ? body.U16() : 0;
        if (body.Size() < 2 || !body.CanRead(2 * count))
            chunk.Refuse(
                chunk.Where() + " holds " + std::to_string(body.Size()) + " bytes, too few for " +
                (body.Size() < 2 ? "its count of fonts" : "the counts of its " + std::to_string(count) + " fonts"));
        out_.fonts.assign(count, {});
        for (clsSTY::FontRange& font : out_.fonts)
            font.characters = body.U16();
        fontsWhere_ = chunk.Where();
    }

    static void ReadWords(ByteReader& body, std::vector<uint16_t>& words)
    {
        words.resize(body.Size() / 2);
        for (uint16_t& word : words)
            word = body.U16();
    }

    clsSTY::Contents& out_;
    std::string fontsWhere_;  // the FONB chunk, for a refusal once the walk is done
};

}  // namespace

// The game's largest style file is about 6 MB; the counts are 16-bit, so even a style
// with every table full stays far below this.
constexpr SizeLimit kLargestStyleFile{uint64_t{512} << 20, "style file"};

namespace {

std::string TooShort(std::size_t size)
{
    return "is too short for a style file (" + std::to_string(size) + " bytes; the header alone takes " +
           std::to_string(kChunkedFileHeaderSize) + ")";
}

// A style file begins with "GBST"; anything else is refused before the rest is read.
void CheckHeader(std::span<const uint8_t> head, std::size_t size, const std::string& sFile)
{
    if (size < kChunkedFileHeaderSize)
        throw FileError(sFile, TooShort(size));
    const std::string_view magic = FileTag(head);
    if (magic != "GBST")
        throw FileError(sFile, "is not a style file: it begins with \"" + PrintableTag(magic) +
                                   "\" where a style file has \"GBST\"");
}

}  // namespace

void clsSTY::LoadSTY(const std::string& sFile, Progress& progress)
{
    RefuseWhenOutOfMemory(sFile, [&] {
        Parse(ReadWholeFile(
                  sFile, kLargestStyleFile, kChunkedFileHeaderSize,
                  [&](std::span<const uint8_t> head, uint64_t size) {
                      CheckHeader(head, static_cast<std::size_t>(size), sFile);
                  },
                  progress),
              sFile, progress);
    });
}

void clsSTY::ParseSTY(std::span<const uint8_t> bytes, const std::string& sFile, Progress& progress)
{
    RefuseWhenOutOfMemory(sFile, [&] { Parse({bytes.begin(), bytes.end()}, sFile, progress); });
}

void clsSTY::Parse(std::vector<uint8_t> file, const std::string& sFile, Progress& progress)
{
    CheckHeader(file, file.size(), sFile);
    Contents fresh;
    fresh.file = std::move(file);
    StyleChunks chunks(fresh);
    try {
        ChunkWalker(fresh.file, sFile, ChunkDialect::Style, progress)
            .Walk(TooShort(fresh.file.size()), [&chunks](const FileChunk& chunk) { chunks.Read(chunk); });
        chunks.PlaceFonts(sFile);
    } catch (const TruncatedData& e) {
        // The chunk readers check sizes before reading; this only guards against a slip.
        throw FileError(sFile, std::string("is cut off: ") + e.what());
    }
    data_ = std::move(fresh);  // the bytes move with their buffer, so the places found stay right
}

std::span<const uint8_t> clsSTY::LoadedBytes() const
{
    if (data_.file.empty())
        throw std::logic_error("no style file was loaded, so there is nothing to save");
    return data_.file;
}

std::vector<uint8_t> clsSTY::Serialize() const
{
    const std::span<const uint8_t> bytes = LoadedBytes();
    return {bytes.begin(), bytes.end()};
}

void clsSTY::SaveSTY(const std::string& sFile) const
{
    SaveWithBackup(sFile, LoadedBytes());
}

const std::vector<uint16_t>& clsSTY::WordBlock(const std::string& type) const
{
    static const std::vector<uint16_t> none;
    const auto it = data_.wordBlocks.find(type);
    return it == data_.wordBlocks.end() ? none : it->second;
}

std::span<const uint8_t> clsSTY::ByteBlock(const std::string& type) const
{
    const auto it = data_.byteBlocks.find(type);
    if (it == data_.byteBlocks.end())
        return {};
    return std::span(data_.file).subspan(it->second.at, it->second.size);
}
