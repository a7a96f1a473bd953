#include "core/gmp/CityMap.h"

#include <optional>
#include <stdexcept>
#include <utility>

#include "core/common/modGTA2.h"
#include "core/gmp/MapFile.h"
#include "core/io/ByteReader.h"
#include "core/io/ByteSource.h"
#include "core/io/ChunkWalker.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"

namespace {

constexpr std::size_t kSquares = std::size_t{CityMap::kSide} * CityMap::kSide;
constexpr std::size_t kBlockBytes = 12;
constexpr std::size_t kZoneHeadBytes = 6;
constexpr int kRowsPerUpdate = 64;

struct Chunk {
    std::span<const uint8_t> body;
    std::size_t offset = 0;  // of its header in the file
};

struct MapChunks {
    std::optional<Chunk> dmap, cmap, zone;
};

// The chunks after the header, by type; a later chunk of a type replaces an earlier one.
// The bytes stay in memory, so each body is a view that outlives the walk.
MapChunks FindChunks(std::span<const uint8_t> bytes, const std::string& name)
{
    MapChunks found;
    MemorySource source(bytes, name);
    ChunkWalker(source, ChunkDialect::Map, false)
        .Walk("is not a map file: it is shorter than the 6-byte header", [&found](FileChunk& chunk) {
            std::optional<Chunk>* slot = chunk.Type() == "DMAP"   ? &found.dmap
                                         : chunk.Type() == "CMAP" ? &found.cmap
                                         : chunk.Type() == "ZONE" ? &found.zone
                                                                  : nullptr;
            if (slot)
                *slot = Chunk{chunk.Body(), chunk.At()};
        });
    return found;
}

// DMAP holds every count, offset and block number in 32 bits, CMAP in 16; otherwise
// their layouts are the same. A column's first word holds its height and offset in its
// first two bytes.
template <std::size_t kWordBytes>
class BlockChunkReader {
public:
    BlockChunkReader(const Chunk& chunk, const char* tag, const std::string& name)
        : in_(chunk.body), chunk_(chunk), tag_(tag), name_(name)
    {
    }

    void Read(std::vector<uint32_t>& grid, std::vector<MapBlock>& blocks)
    {
        const std::span<const uint8_t> base = Table(kSquares, "column offsets");
        const uint32_t columnWords = Word("column word count");
        columns_ = Table(columnWords, "column words");
        const uint32_t count = Word("block count");
        ReadBlocks(Table(count, "blocks", kBlockBytes), blocks);
        grid.assign(kSquares * CityMap::kLevels, 0);
        for (std::size_t square = 0; square < kSquares; ++square) {
            if (square % (kRowsPerUpdate * CityMap::kSide) == 0)
                UpdateProgress(static_cast<double>(chunk_.offset + chunk_.body.size() * square / kSquares),
                               std::string("Loading Section ") + tag_ + "...");
            ReadColumn(square, WordAt(base.data() + square * kWordBytes), count, &grid[square * CityMap::kLevels]);
        }
    }

private:
    static uint32_t WordAt(const uint8_t* p)
    {
        const uint32_t low = uint32_t{p[0]} | uint32_t{p[1]} << 8;
        if constexpr (kWordBytes == 2)
            return low;
        else
            return low | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    }

    [[noreturn]] void Refuse(const std::string& problem) const
    {
        throw FileError(
            name_, std::string("the ") + tag_ + " chunk at offset " + std::to_string(chunk_.offset) + " " + problem);
    }

    uint32_t Word(const char* what)
    {
        if (!in_.CanRead(kWordBytes))
            Refuse(std::string("ends before its ") + what);
        return WordAt(in_.Bytes(kWordBytes).data());
    }

    std::span<const uint8_t> Table(std::size_t count, const char* what, std::size_t itemBytes = 0)
    {
        const std::size_t bytes = count * (itemBytes != 0 ? itemBytes : kWordBytes);
        if (!in_.CanRead(bytes))
            Refuse("is cut off in its " + std::to_string(count) + " " + what + ": they need " + std::to_string(bytes) +
                   " bytes but only " + std::to_string(in_.Remaining()) + " remain");
        return in_.Bytes(bytes);
    }

    // From bytes already checked to hold whole blocks.
    static void ReadBlocks(std::span<const uint8_t> bytes, std::vector<MapBlock>& blocks)
    {
        blocks.resize(bytes.size() / kBlockBytes);
        const uint8_t* p = bytes.data();
        const auto u16 = [&](int at) { return static_cast<uint16_t>(p[at] | p[at + 1] << 8); };
        for (MapBlock& b : blocks) {
            b = {u16(0), u16(2), u16(4), u16(6), u16(8), p[10], p[11]};
            p += kBlockBytes;
        }
    }

    // Runs for each of the 65,536 squares, so it only checks: RefuseColumn looks again
    // and says what is wrong. Columns are checked against the column words here, then
    // read straight from them rather than with a reader call per word.
    void ReadColumn(std::size_t square, uint32_t at, uint32_t blockCount, uint32_t* cells) const
    {
        const std::size_t words = columns_.size() / kWordBytes;
        if (at >= words)
            RefuseColumn(square, at, blockCount);
        const uint8_t* head = columns_.data() + at * kWordBytes;
        const unsigned height = head[0], offset = head[1], count = height - offset;
        if (height > CityMap::kLevels || offset > height || count > words - at - 1)
            RefuseColumn(square, at, blockCount);
        const uint8_t* numbers = head + kWordBytes;
        for (unsigned k = 0; k < count; ++k) {
            const uint32_t n = WordAt(numbers + k * kWordBytes);
            if (n >= blockCount)
                RefuseColumn(square, at, blockCount);
            cells[offset + k] = n;
        }
    }

    [[noreturn]] void RefuseColumn(std::size_t square, uint32_t at, uint32_t blockCount) const
    {
        const std::string where =
            "square (" + std::to_string(square % CityMap::kSide) + ", " + std::to_string(square / CityMap::kSide) + ")";
        const std::size_t words = columns_.size() / kWordBytes;
        if (at >= words)
            Refuse("gives " + where + " the column at word " + std::to_string(at) + ", past the " +
                   std::to_string(words) + " words of columns");
        const uint8_t* head = columns_.data() + at * kWordBytes;
        const unsigned height = head[0], offset = head[1], count = height - offset;
        if (height > CityMap::kLevels || offset > height)
            Refuse("gives " + where + " a column of height " + std::to_string(height) + " and offset " +
                   std::to_string(offset) + " (at most " + std::to_string(CityMap::kLevels) +
                   ", and the offset no more than the height)");
        if (count > words - at - 1)
            Refuse("gives " + where + " a column at word " + std::to_string(at) + " of " + std::to_string(count) +
                   " blocks that runs past the " + std::to_string(words) + " words of columns");
        unsigned k = 0;
        while (k + 1 < count && WordAt(head + (1 + k) * kWordBytes) < blockCount)
            ++k;
        Refuse("puts block " + std::to_string(WordAt(head + (1 + k) * kWordBytes)) + " at " + where + " level " +
               std::to_string(offset + k) + ", but holds only " + std::to_string(blockCount) + " blocks");
    }

    ByteReader in_;
    std::span<const uint8_t> columns_;
    Chunk chunk_;
    const char* tag_;
    const std::string& name_;
};

std::vector<MapZone> ReadZones(const Chunk& chunk, const std::string& name)
{
    UpdateProgress(static_cast<double>(chunk.offset), "Loading Section ZONE...");
    ByteReader in(chunk.body);
    std::vector<MapZone> zones;
    while (!in.AtEnd()) {
        const auto refuse = [&](const std::string& what) {
            throw FileError(name, "zone " + std::to_string(zones.size()) + " in the ZONE chunk at offset " +
                                      std::to_string(chunk.offset) + " " + what);
        };
        if (!in.CanRead(kZoneHeadBytes))
            refuse("is cut off by the end of the chunk");
        MapZone zone;
        zone.type = in.U8();
        zone.x = in.U8();
        zone.y = in.U8();
        zone.w = in.U8();
        zone.h = in.U8();
        const uint8_t length = in.U8();
        if (!in.CanRead(length))
            refuse("has a name of " + std::to_string(length) + " bytes that runs past the end of the chunk");
        zone.name = in.Text(length);
        zones.push_back(std::move(zone));
    }
    return zones;
}

}  // namespace

void CityMap::Load(const std::string& path)
{
    RefuseWhenOutOfMemory(path, [&] {
        const std::vector<uint8_t> bytes = ReadWholeFile(path, kLargestMapFile);
        Parse(bytes, path);
    });
}

void CityMap::Parse(std::span<const uint8_t> bytes, const std::string& name)
{
    RefuseWhenOutOfMemory(name, [&] { ParseBytes(bytes, name); });
}

void CityMap::ParseBytes(std::span<const uint8_t> bytes, const std::string& name)
{
    ProgressScope progress(0, static_cast<double>(bytes.size()), "Loading...");
    // The version after the tag is not checked.
    if (bytes.size() < 6 || std::string_view(reinterpret_cast<const char*>(bytes.data()), 4) != "GBMP")
        throw FileError(name, "is not a map file: it does not start with \"GBMP\" and a version");
    const MapChunks chunks = FindChunks(bytes, name);
    if (!chunks.dmap && !chunks.cmap)
        throw FileError(name, "holds no blocks: it has neither a DMAP nor a CMAP chunk");

    // Read into a map of our own and keep it only when the whole file was read.
    CityMap fresh;
    if (chunks.dmap)  // the 32-bit form wins over the older 16-bit one
        BlockChunkReader<4>(*chunks.dmap, "DMAP", name).Read(fresh.grid_, fresh.blocks_);
    else
        BlockChunkReader<2>(*chunks.cmap, "CMAP", name).Read(fresh.grid_, fresh.blocks_);
    if (chunks.zone)
        fresh.zones_ = ReadZones(*chunks.zone, name);
    *this = std::move(fresh);
}

const MapBlock& CityMap::Block(uint32_t n) const
{
    if (n >= blocks_.size())
        throw std::out_of_range("block " + std::to_string(n) + " is not in the map's " +
                                std::to_string(blocks_.size()) + " blocks");
    return blocks_[n];
}

uint32_t CityMap::BlockNumberAt(int x, int y, int z) const
{
    if (x < 0 || x >= kSide || y < 0 || y >= kSide || z < 0 || z >= kLevels)
        throw std::out_of_range("(" + std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(z) +
                                ") is outside the map's 256 x 256 x 8 blocks");
    if (grid_.empty())
        return 0;
    return grid_[(static_cast<std::size_t>(y) * kSide + static_cast<std::size_t>(x)) * kLevels +
                 static_cast<std::size_t>(z)];
}
