#include "core/sty/clsSTY.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

#include "core/common/modGTA2.h"
#include "core/io/ByteReader.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"

namespace {

constexpr std::size_t kHeaderBytes = 6;
constexpr std::size_t kTileGroupBytes = 4 * clsSTY::kTileBytes;  // four tiles side by side
constexpr int kPalettesPerPage = 64;
constexpr std::size_t kPalettePageBytes = kPalettesPerPage * clsSTY::kPaletteBytes;
constexpr std::size_t kMaxItems = 32767;  // the counts are signed 16-bit

// The special-effects chunk's tag is spelled out in hex: "S", "P", "E", "C".
const std::array<const char*, 7> kByteBlockTypes = {"DELS", "DELX", "CARI", "\x53\x50\x45\x43", "PALB", "RECY", "OBJI"};

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

// Walks the chunks of one style file into `out`, reading each chunk it keeps from the
// file into a buffer of its own, so no copy of the whole file is ever held. Every
// chunk is read through its own reader, so whatever sizes the file states, nothing
// outside the chunk is read.
class ChunkWalker {
public:
    ChunkWalker(const std::string& file, FileReader& in, clsSTY::Contents& out) : file_(file), in_(in), out_(out) {}

    void Run()
    {
        if (in_.Size() < kHeaderBytes)
            Refuse("is too short for a style file (" + std::to_string(in_.Size()) +
                   " bytes; the header alone takes 6)");
        in_.Skip(kHeaderBytes);
        while (in_.Remaining() != 0) {
            const std::size_t at = in_.Position();
            if (in_.Remaining() < 4)
                Refuse("ends inside the chunk header at offset " + std::to_string(at));
            std::string type(4, '\0');
            in_.Read(reinterpret_cast<uint8_t*>(type.data()), 4);
            // Zero bytes where a type should be: padding after the last chunk.
            if (type == std::string(4, '\0'))
                break;
            UpdateProgress(static_cast<double>(in_.Position()), "Loading Section " + Printable(type) + "...");
            if (in_.Remaining() < 4)
                Refuse("ends inside the header of chunk \"" + Printable(type) + "\" at offset " + std::to_string(at));
            const std::vector<uint8_t> sizeBytes = in_.Read(4);
            const int32_t size = ByteReader(sizeBytes).I32();
            if (size < 0)
                Refuse("chunk \"" + Printable(type) + "\" at offset " + std::to_string(at) + " has a negative size (" +
                       std::to_string(size) + ")");
            ReadChunk(Upper(type), Printable(type), at, static_cast<std::size_t>(size));
        }
    }

private:
    [[noreturn]] void Refuse(const std::string& problem) const { throw FileError(file_, problem); }

    void ReadChunk(const std::string& type, const std::string& shown, std::size_t at, std::size_t size)
    {
        const bool known = type == "TILE" || type == "PPAL" || type == "PALX" || type == "SPRX" || type == "SPRG" ||
                           type == "SPRB" || type == "FONB" || IsByteBlock(type);
        if (!known) {
            // Not ours to read. A size running past the end only ends the walk: nothing
            // we keep is lost.
            in_.Skip(std::min(size, in_.Remaining()));
            return;
        }
        if (size > in_.Remaining())
            Refuse("chunk \"" + shown + "\" at offset " + std::to_string(at) + " says it holds " +
                   std::to_string(size) + " bytes, but only " + std::to_string(in_.Remaining()) +
                   " remain in the file");
        if (type == "SPRG") {  // kept as it stands: read straight into place
            out_.spriteGraphics.resize(size);
            in_.Read(out_.spriteGraphics.data(), size);
            return;
        }
        const std::vector<uint8_t> bytes = in_.Read(size);
        ByteReader chunk(bytes);
        if (type == "TILE")
            ReadTiles(chunk, shown);
        else if (type == "PPAL")
            ReadPalettes(chunk, shown);
        else if (type == "PALX")
            ReadVirtualPalettes(chunk, shown);
        else if (type == "SPRX")
            ReadSpriteIndex(chunk, shown);
        else if (type == "SPRB" || type == "FONB")
            ReadWords(chunk, out_.wordBlocks[type]);
        else
            out_.byteBlocks[type] = bytes;
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
    // whatever follows the last whole group is left unread. The groups are taken from
    // the chunk in one checked read and cut up row by row.
    void ReadTiles(ByteReader& chunk, const std::string& shown)
    {
        CountOf(chunk, clsSTY::kTileBytes, shown);
        const std::size_t groups = chunk.Size() / kTileGroupBytes;
        const std::span<const uint8_t> source = chunk.Bytes(groups * kTileGroupBytes);
        out_.tileCount = static_cast<int16_t>(groups * 4);
        out_.tiles.resize(source.size());
        const uint8_t* from = source.data();
        uint8_t* const tiles = out_.tiles.data();
        for (std::size_t g = 0; g < groups; ++g)
            for (int row = 0; row < clsSTY::kTileSide; ++row)
                for (std::size_t k = 0; k < 4; ++k, from += clsSTY::kTileSide)
                    std::memcpy(tiles + (g * 4 + k) * clsSTY::kTileBytes + row * clsSTY::kTileSide, from,
                                clsSTY::kTileSide);
    }

    // Palettes come in pages of 64, colour by colour; only whole pages fit the layout.
    void ReadPalettes(ByteReader& chunk, const std::string& shown)
    {
        CountOf(chunk, clsSTY::kPaletteBytes, shown);
        const std::size_t pages = chunk.Size() / kPalettePageBytes;
        const std::span<const uint8_t> source = chunk.Bytes(pages * kPalettePageBytes);
        out_.palCount = static_cast<int16_t>(pages * kPalettesPerPage);
        out_.palettes.resize(source.size());
        const uint8_t* from = source.data();
        uint8_t* const palettes = out_.palettes.data();
        for (std::size_t page = 0; page < pages; ++page)
            for (int colour = 0; colour < clsSTY::kColours; ++colour)
                for (std::size_t j = 0; j < kPalettesPerPage; ++j, from += 4)
                    std::memcpy(palettes + (page * kPalettesPerPage + j) * clsSTY::kPaletteBytes + colour * 4, from, 4);
    }

    void ReadVirtualPalettes(ByteReader& chunk, const std::string& shown)
    {
        out_.palxCount = CountOf(chunk, 2, shown);
        out_.palx.resize(static_cast<std::size_t>(out_.palxCount));
        const std::span<const uint8_t> source = chunk.Bytes(out_.palx.size() * 2);
        for (std::size_t i = 0; i < out_.palx.size(); ++i)
            out_.palx[i] = static_cast<int16_t>(source[2 * i] | source[2 * i + 1] << 8);
    }

    void ReadSpriteIndex(ByteReader& chunk, const std::string& shown)
    {
        out_.sprxCount = CountOf(chunk, 8, shown);
        out_.sprites.resize(static_cast<std::size_t>(out_.sprxCount));
        const std::span<const uint8_t> source = chunk.Bytes(out_.sprites.size() * 8);
        for (std::size_t i = 0; i < out_.sprites.size(); ++i) {
            const uint8_t* entry = source.data() + 8 * i;
            clsSTY::SpriteEntry& sprite = out_.sprites[i];
            sprite.offset = static_cast<int32_t>(uint32_t{entry[0]} | uint32_t{entry[1]} << 8 |
                                                 uint32_t{entry[2]} << 16 | uint32_t{entry[3]} << 24);
            sprite.width = entry[4];
            sprite.height = entry[5];
            // entry[6] and entry[7] are not interpreted
        }
    }

    static void ReadWords(ByteReader& chunk, std::vector<uint16_t>& words)
    {
        words.resize(chunk.Size() / 2);
        const std::span<const uint8_t> source = chunk.Bytes(words.size() * 2);
        for (std::size_t i = 0; i < words.size(); ++i)
            words[i] = static_cast<uint16_t>(source[2 * i] | source[2 * i + 1] << 8);
    }

    const std::string& file_;
    FileReader& in_;
    clsSTY::Contents& out_;
};

}  // namespace

void clsSTY::LoadSTY(const std::string& sFile)
{
    FileReader file(sFile);
    ProgressScope progress(1, static_cast<double>(file.Size()), "Loading...");
    Contents fresh;
    try {
        ChunkWalker(sFile, file, fresh).Run();
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
