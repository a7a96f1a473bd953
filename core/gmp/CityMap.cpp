// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gmp/CityMap.h"

#include <optional>
#include <stdexcept>
#include <utility>

#include "core/gmp/MapFile.h"
#include "core/io/ByteReader.h"
#include "core/io/ChunkWalker.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"

namespace {

constexpr std::size_t kSquares = std::size_t{CityMap::kSide} * CityMap::kSide;
constexpr std::size_t kBlockBytes = 12;
constexpr std::size_t kZoneHeadBytes = 6;
constexpr int kRowsPerUpdate = 64;
// A chunk's header: its 4-character type and its 32-bit size.

struct Chunk {
    ByteReader body;
    std::size_t offset = 0;  // of its header in the file
};

struct MapChunks {
    std::optional<Chunk> dmap, cmap, zone;
    // Where the last chunk whose body the file holds whole ends.
    std::size_t end = kChunkedFileHeaderSize;
};

// The chunks after the header, by type; a later chunk of a type replaces an earlier one.
// The bytes stay in memory, so each body outlives the walk.
MapChunks FindChunks(std::span<const uint8_t> bytes, const std::string& name, Progress& progress)
{
    MapChunks found;
    ChunkWalker(bytes, name, ChunkDialect::Map, progress)
        .Walk("is not a map file: it is shorter than the 6-byte header", [&](const FileChunk& chunk) {
            std::optional<Chunk>* slot = chunk.Type() == "DMAP"   ? &found.dmap
                                         : chunk.Type() == "CMAP" ? &found.cmap
                                         : chunk.Type() == "ZONE" ? &found.zone
                                                                  : nullptr;
            if (slot)
                *slot = Chunk{chunk.Body(), chunk.At()};
            // Only the last chunk can be cut off by the end of the file.
            const std::size_t end = chunk.BodyAt() + chunk.Size();
            found.end = end <= bytes.size() ? end : chunk.At();
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
        : in_(chunk.body), offset_(chunk.offset), tag_(tag), name_(name)
    {
    }

    void Read(std::vector<uint32_t>& grid, std::vector<MapBlock>& blocks, ProgressScope& progress)
    {
        ByteReader base = Table(kSquares, "column offsets");
        const uint32_t columnWords = Word("column word count");
        columns_ = Table(columnWords, "column words");
        const uint32_t count = Word("block count");
        ReadBlocks(Table(count, "blocks", kBlockBytes), blocks);
        grid.assign(kSquares * CityMap::kLevels, 0);
        for (std::size_t square = 0; square < kSquares; ++square) {
            if (square % (kRowsPerUpdate * CityMap::kSide) == 0)
                progress.Update(static_cast<double>(offset_ + in_.Size() * square / kSquares),
                                std::string("Loading Section ") + tag_ + "...");
            ReadColumn(square, NextWord(base), count, &grid[square * CityMap::kLevels]);
        }
    }

private:
    static uint32_t NextWord(ByteReader& in)
    {
        if constexpr (kWordBytes == 2)
            return in.U16();
        else
            return in.U32();
    }

    [[noreturn]] void Refuse(const std::string& problem) const
    {
        throw FileError(name_,
                        std::string("the ") + tag_ + " chunk at offset " + std::to_string(offset_) + " " + problem);
    }

    uint32_t Word(const char* what)
    {
        if (!in_.CanRead(kWordBytes))
            Refuse(std::string("ends before its ") + what);
        return NextWord(in_);
    }

    ByteReader Table(std::size_t count, const char* what, std::size_t itemBytes = kWordBytes)
    {
        const std::size_t bytes = count * itemBytes;
        if (!in_.CanRead(bytes))
            Refuse("is cut off in its " + std::to_string(count) + " " + what + ": they need " + std::to_string(bytes) +
                   " bytes but only " + std::to_string(in_.Remaining()) + " remain");
        return in_.Sub(bytes);
    }

    // From bytes already checked to hold whole blocks.
    static void ReadBlocks(ByteReader in, std::vector<MapBlock>& blocks)
    {
        blocks.resize(in.Size() / kBlockBytes);
        for (MapBlock& b : blocks) {
            b.left = in.U16();
            b.right = in.U16();
            b.top = in.U16();
            b.bottom = in.U16();
            b.lid = in.U16();
            b.arrows = in.U8();
            b.slope = in.U8();
        }
    }

    // The column words from the head of the column at word `at` on; none when the column
    // words end before it.
    ByteReader ColumnAt(uint32_t at) const
    {
        ByteReader column = columns_;
        column.Skip(at < columns_.Size() / kWordBytes ? std::size_t{at} * kWordBytes : columns_.Size());
        return column;
    }

    // Runs for each of the 65,536 squares, so it only checks: RefuseColumn looks again
    // and says what is wrong.
    void ReadColumn(std::size_t square, uint32_t at, uint32_t blockCount, uint32_t* cells) const
    {
        ByteReader column = ColumnAt(at);
        if (column.AtEnd())
            RefuseColumn(square, at, blockCount);
        const unsigned height = column.U8(), offset = column.U8(), count = height - offset;
        column.Skip(kWordBytes - 2);
        if (height > CityMap::kLevels || offset > height || count * kWordBytes > column.Remaining())
            RefuseColumn(square, at, blockCount);
        for (unsigned k = 0; k < count; ++k) {
            const uint32_t n = NextWord(column);
            if (n >= blockCount)
                RefuseColumn(square, at, blockCount);
            cells[offset + k] = n;
        }
    }

    [[noreturn]] void RefuseColumn(std::size_t square, uint32_t at, uint32_t blockCount) const
    {
        const std::string where =
            "square (" + std::to_string(square % CityMap::kSide) + ", " + std::to_string(square / CityMap::kSide) + ")";
        const std::size_t words = columns_.Size() / kWordBytes;
        ByteReader column = ColumnAt(at);
        if (column.AtEnd())
            Refuse("gives " + where + " the column at word " + std::to_string(at) + ", past the " +
                   std::to_string(words) + " words of columns");
        const unsigned height = column.U8(), offset = column.U8(), count = height - offset;
        column.Skip(kWordBytes - 2);
        if (height > CityMap::kLevels || offset > height)
            Refuse("gives " + where + " a column of height " + std::to_string(height) + " and offset " +
                   std::to_string(offset) + " (at most " + std::to_string(CityMap::kLevels) +
                   ", and the offset no more than the height)");
        if (count * kWordBytes > column.Remaining())
            Refuse("gives " + where + " a column at word " + std::to_string(at) + " of " + std::to_string(count) +
                   " blocks that runs past the " + std::to_string(words) + " words of columns");
        unsigned k = 0;
        uint32_t n = NextWord(column);
        for (; k + 1 < count && n < blockCount; ++k)
            n = NextWord(column);
        Refuse("puts block " + std::to_string(n) + " at " + where + " level " + std::to_string(offset + k) +
               ", but holds only " + std::to_string(blockCount) + " blocks");
    }

    ByteReader in_;
    ByteReader columns_;
    std::size_t offset_;
    const char* tag_;
    const std::string& name_;
};

std::vector<MapZone> ReadZones(const Chunk& chunk, const std::string& name, ProgressScope& progress)
{
    progress.Update(static_cast<double>(chunk.offset), "Loading Section ZONE...");
    ByteReader in = chunk.body;
    std::vector<MapZone> zones;
    while (!in.AtEnd()) {
        const auto refuse = [&](const std::string& what) {
            throw FileError(name, "zone " + std::to_string(zones.size()) + " in the ZONE chunk at offset " +
                                      std::to_string(chunk.offset) + " " + what);
        };
        if (zones.size() == kMostZones)
            refuse("is one too many: a map holds at most " + std::to_string(kMostZones) + " zones");
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

void CityMap::Load(const std::string& path, Progress& progress)
{
    RefuseWhenOutOfMemory(path,
                          [&] { ParseBytes(ReadWholeFile(path, kLargestMapFile, 0, {}, progress), path, progress); });
}

void CityMap::Parse(std::span<const uint8_t> bytes, const std::string& name, Progress& progress)
{
    RefuseWhenOutOfMemory(name, [&] { ParseBytes({bytes.begin(), bytes.end()}, name, progress); });
}

void CityMap::ParseBytes(std::vector<uint8_t> bytes, const std::string& name, Progress& shown)
{
    ProgressScope progress(shown, 0, static_cast<double>(bytes.size()), "Loading...");
    // The version after the tag is not checked.
    if (bytes.size() < kChunkedFileHeaderSize || FileTag(bytes) != "GBMP")
        throw FileError(name, "is not a map file: it does not start with \"GBMP\" and a version");
    const MapChunks chunks = FindChunks(bytes, name, shown);
    if (!chunks.dmap && !chunks.cmap)
        throw FileError(name, "holds no blocks: it has neither a DMAP nor a CMAP chunk");

    // Read into a map of our own and keep it only when the whole file was read.
    CityMap fresh;
    if (chunks.dmap)  // the 32-bit form wins over the older 16-bit one
        BlockChunkReader<4>(*chunks.dmap, "DMAP", name).Read(fresh.grid_, fresh.blocks_, progress);
    else
        BlockChunkReader<2>(*chunks.cmap, "CMAP", name).Read(fresh.grid_, fresh.blocks_, progress);
    fresh.zoneAt_ = fresh.zoneEnd_ = chunks.end;
    if (chunks.zone) {
        fresh.zones_ = ReadZones(*chunks.zone, name, progress);
        fresh.zoneAt_ = chunks.zone->offset;
        fresh.zoneEnd_ = chunks.zone->offset + kChunkHeaderSize + chunks.zone->body.Size();
        fresh.hasZoneChunk_ = true;
    }
    fresh.file_ = std::move(bytes);
    fresh.name_ = name;
    *this = std::move(fresh);
}

std::size_t CityMap::AddZone(const MapZone& zone)
{
    RequireEditableZone(zone);
    if (zones_.size() >= kMostZones)
        throw std::invalid_argument("the map holds " + std::to_string(zones_.size()) +
                                    " zones already, the most a map file may hold");
    std::vector<MapZone> zones = zones_;
    zones.push_back(zone);
    const std::size_t at = SortByArea(zones, zones.size() - 1);
    zones_ = std::move(zones);
    return at;
}

std::size_t CityMap::ChangeZone(std::size_t index, const MapZone& zone)
{
    RequireZoneIndex(index);
    RequireEditableZone(zone);
    std::vector<MapZone> zones = zones_;
    std::size_t follow = index;
    if (zone.w != zones[index].w || zone.h != zones[index].h) {
        zones.erase(zones.begin() + static_cast<std::ptrdiff_t>(index));
        follow = zones.size();
        zones.push_back(zone);
    } else {
        zones[index] = zone;
    }
    const std::size_t at = SortByArea(zones, follow);
    zones_ = std::move(zones);
    return at;
}

void CityMap::RemoveZone(std::size_t index)
{
    RequireZoneIndex(index);
    std::vector<MapZone> zones = zones_;
    zones.erase(zones.begin() + static_cast<std::ptrdiff_t>(index));
    SortByArea(zones, 0);
    zones_ = std::move(zones);
}

void CityMap::RequireZoneIndex(std::size_t index) const
{
    if (index >= zones_.size())
        throw std::out_of_range("zone " + std::to_string(index) + " is not in the map's " +
                                std::to_string(zones_.size()) + " zones (they count from 0)");
}

void CityMap::RequireSaveable(const std::string& name) const
{
    if (file_.empty())
        throw FileError(name, "cannot be saved: no map has been loaded");
    std::size_t zoneBytes = 0;
    for (const MapZone& zone : zones_)
        zoneBytes += kZoneHeadBytes + zone.name.size();
    const bool writesChunk = hasZoneChunk_ || !zones_.empty();
    const uint64_t size = file_.size() - (zoneEnd_ - zoneAt_) + (writesChunk ? kChunkHeaderSize + zoneBytes : 0);
    if (size > kLargestMapFile.bytes)
        throw FileError(name, "would be " + std::to_string(size) + " bytes, more than the " +
                                  std::to_string(kLargestMapFile.bytes) + " a map file may be; nothing was written");
}

std::vector<uint8_t> CityMap::Serialize() const
{
    RequireSaveable(name_);
    std::vector<MapZone> zones = zones_;
    SortByArea(zones, 0);
    const std::vector<uint8_t> body = ZoneChunkBody(zones);
    std::vector<uint8_t> out(file_.begin(), file_.begin() + static_cast<std::ptrdiff_t>(zoneAt_));
    if (hasZoneChunk_ || !zones.empty()) {
        // The chunk's own type as the file spells it ("zone" stays "zone").
        const std::string_view type =
            hasZoneChunk_ ? std::string_view(reinterpret_cast<const char*>(file_.data()) + zoneAt_, 4) : "ZONE";
        AppendChunk(out, type, body);
    }
    out.insert(out.end(), file_.begin() + static_cast<std::ptrdiff_t>(zoneEnd_), file_.end());
    return out;
}

void CityMap::Save(const std::string& path) const
{
    RequireSaveable(path);
    SaveWithBackup(path, Serialize());
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
