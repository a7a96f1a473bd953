#include "models/sty/clsSTY.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "app/modGTA2.h"
#include "models/io/ByteReader.h"
#include "models/io/FileError.h"
#include "models/io/FileIO.h"

namespace {

constexpr std::size_t kHeaderBytes = 6;
constexpr std::size_t kTileGroupBytes = 4 * clsSTY::kTileBytes;  // four tiles side by side
constexpr int kPalettesPerPage = 64;
constexpr std::size_t kPalettePageBytes = kPalettesPerPage * clsSTY::kPaletteBytes;
constexpr std::size_t kMaxItems = 32767;  // the counts are signed 16-bit

// The special-effects chunk's tag is spelled out in hex: "S", "P", "E", "C".
const std::array<const char*, 7> kByteBlockTypes = {"DELS", "DELX", "CARI", "\x53\x50\x45\x43", "PALB", "RECY",
                                                    "OBJI"};

// The chunk type as the user should see it: the file's 8-bit characters as UTF-8,
// control characters shown as '?'.
std::string Printable(const std::string& type)
{
    std::string out;
    for (unsigned char ch : type) {
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

std::string Upper(std::string text)
{
    for (char& ch : text)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return text;
}

bool IsByteBlock(const std::string& type)
{
    return std::find(kByteBlockTypes.begin(), kByteBlockTypes.end(), type) != kByteBlockTypes.end();
}

// Walks the chunks of one style file into `out`. Every chunk is read through its own
// sub-reader, so whatever sizes the file states, nothing outside the chunk is read.
class ChunkWalker {
public:
    ChunkWalker(const std::string& file, std::span<const uint8_t> bytes, clsSTY::Contents& out)
        : file_(file), r_(bytes), out_(out)
    {
    }

    void Run()
    {
        if (r_.Size() < kHeaderBytes)
            Refuse("is too short for a style file (" + std::to_string(r_.Size()) +
                   " bytes; the header alone takes 6)");
        r_.Skip(kHeaderBytes);
        while (!r_.AtEnd()) {
            const std::size_t at = r_.Position();
            if (!r_.CanRead(4))
                Refuse("ends inside the chunk header at offset " + std::to_string(at));
            const std::string type = r_.Text(4);
            // Zero bytes where a type should be: padding after the last chunk.
            if (type == std::string(4, '\0'))
                break;
            UpdateProgress(static_cast<double>(r_.Position()), "Loading Section " + Printable(type) + "...");
            if (!r_.CanRead(4))
                Refuse("ends inside the header of chunk \"" + Printable(type) + "\" at offset " + std::to_string(at));
            const int32_t size = r_.I32();
            if (size < 0)
                Refuse("chunk \"" + Printable(type) + "\" at offset " + std::to_string(at) +
                       " has a negative size (" + std::to_string(size) + ")");
            ReadChunk(Upper(type), Printable(type), at, static_cast<std::size_t>(size));
        }
    }

private:
    [[noreturn]] void Refuse(const std::string& problem) const { throw FileError(file_, problem); }

    void ReadChunk(const std::string& type, const std::string& shown, std::size_t at, std::size_t size)
    {
        const bool known = type == "TILE" || type == "PPAL" || type == "PALX" || type == "SPRX" ||
                           type == "SPRG" || type == "SPRB" || type == "FONB" || IsByteBlock(type);
        if (!known) {
            // Not ours to read. A size running past the end only ends the walk: nothing
            // we keep is lost.
            r_.Skip(std::min(size, r_.Remaining()));
            return;
        }
        if (size > r_.Remaining())
            Refuse("chunk \"" + shown + "\" at offset " + std::to_string(at) + " says it holds " +
                   std::to_string(size) + " bytes, but only " + std::to_string(r_.Remaining()) +
                   " remain in the file");
        ByteReader chunk = r_.Sub(size);
        if (type == "TILE")
            ReadTiles(chunk, shown);
        else if (type == "PPAL")
            ReadPalettes(chunk, shown);
        else if (type == "PALX")
            ReadVirtualPalettes(chunk, shown);
        else if (type == "SPRX")
            ReadSpriteIndex(chunk, shown);
        else if (type == "SPRG")
            out_.spriteGraphics.assign(chunk.Rest().begin(), chunk.Rest().end());
        else if (type == "SPRB" || type == "FONB")
            ReadWords(chunk, out_.wordBlocks[type]);
        else
            out_.byteBlocks[type].assign(chunk.Rest().begin(), chunk.Rest().end());
    }

    int16_t CountOf(const ByteReader& chunk, std::size_t unit, const std::string& shown) const
    {
        const std::size_t items = chunk.Size() / unit;
        if (items > kMaxItems)
            Refuse("chunk \"" + shown + "\" holds " + std::to_string(items) + " items; at most " +
                   std::to_string(kMaxItems) + " are supported");
        return static_cast<int16_t>(items);
    }

    // Tiles come in groups of four side by side; only whole groups fit the layout, and
    // whatever follows the last whole group is left unread.
    void ReadTiles(ByteReader& chunk, const std::string& shown)
    {
        CountOf(chunk, clsSTY::kTileBytes, shown);
        const std::size_t groups = chunk.Size() / kTileGroupBytes;
        out_.tileCount = static_cast<int16_t>(groups * 4);
        out_.tiles.assign(groups * kTileGroupBytes, 0);
        for (std::size_t g = 0; g < groups; ++g)
            for (int row = 0; row < clsSTY::kTileSide; ++row)
                for (std::size_t k = 0; k < 4; ++k) {
                    const auto line = chunk.Bytes(clsSTY::kTileSide);
                    const std::size_t tile = g * 4 + k;
                    std::copy(line.begin(), line.end(),
                              out_.tiles.begin() +
                                  static_cast<std::ptrdiff_t>(tile * clsSTY::kTileBytes + row * clsSTY::kTileSide));
                }
    }

    // Palettes come in pages of 64, colour by colour; only whole pages fit the layout.
    void ReadPalettes(ByteReader& chunk, const std::string& shown)
    {
        CountOf(chunk, clsSTY::kPaletteBytes, shown);
        const std::size_t pages = chunk.Size() / kPalettePageBytes;
        out_.palCount = static_cast<int16_t>(pages * kPalettesPerPage);
        out_.palettes.assign(pages * kPalettePageBytes, 0);
        for (std::size_t page = 0; page < pages; ++page)
            for (int colour = 0; colour < clsSTY::kColours; ++colour)
                for (int j = 0; j < kPalettesPerPage; ++j) {
                    const auto bytes = chunk.Bytes(4);
                    const std::size_t pal = page * kPalettesPerPage + static_cast<std::size_t>(j);
                    std::copy(bytes.begin(), bytes.end(),
                              out_.palettes.begin() +
                                  static_cast<std::ptrdiff_t>(pal * clsSTY::kPaletteBytes + colour * 4));
                }
    }

    void ReadVirtualPalettes(ByteReader& chunk, const std::string& shown)
    {
        out_.palxCount = CountOf(chunk, 2, shown);
        out_.palx.resize(static_cast<std::size_t>(out_.palxCount));
        for (int16_t& entry : out_.palx)
            entry = chunk.I16();
    }

    void ReadSpriteIndex(ByteReader& chunk, const std::string& shown)
    {
        out_.sprxCount = CountOf(chunk, 8, shown);
        out_.sprites.resize(static_cast<std::size_t>(out_.sprxCount));
        for (clsSTY::SpriteEntry& sprite : out_.sprites) {
            sprite.offset = chunk.I32();
            sprite.width = chunk.U8();
            sprite.height = chunk.U8();
            chunk.Skip(2);  // not interpreted
        }
    }

    static void ReadWords(ByteReader& chunk, std::vector<uint16_t>& words)
    {
        words.resize(chunk.Size() / 2);
        for (uint16_t& word : words)
            word = chunk.U16();
    }

    const std::string& file_;
    ByteReader r_;
    clsSTY::Contents& out_;
};

}  // namespace

void clsSTY::LoadSTY(const std::string& sFile)
{
    const std::vector<uint8_t> bytes = ReadWholeFile(sFile);
    ProgressScope progress(1, static_cast<double>(bytes.size()), "Loading...");
    Contents fresh;
    try {
        ChunkWalker(sFile, bytes, fresh).Run();
    } catch (const TruncatedData& e) {
        // The walker checks sizes before reading; this only guards against a slip.
        throw FileError(sFile, std::string("is cut off: ") + e.what());
    }
    data_ = std::move(fresh);
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
