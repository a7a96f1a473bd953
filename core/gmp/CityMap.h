#pragma once
// The blocks and zones of a GTA2 map file (.gmp): a 256 x 256 x 8 grid of block
// numbers, the table of distinct blocks they refer to, and the named zones. Read-only.
//
// Failures: a file that cannot be read or is damaged throws FileError naming the file
// and the problem and leaves the map as it was; a coordinate or block number outside
// the map throws std::out_of_range. A map that has never been loaded is all air, with
// no blocks and no zones.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/common/Progress.h"

// One distinct block: five faces, then the arrows and slope bytes as stored.
// Face bits 0-9 are the tile (0: none), 10-11 the lid's lighting, 12 flat, 13 flip,
// 14-15 the rotation in quarter turns.
struct MapBlock {
    uint16_t left, right, top, bottom, lid;
    uint8_t arrows, slope;
};

struct MapZone {
    uint8_t type, x, y, w, h;
    std::string name;
};

class CityMap {
public:
    static constexpr int kSide = 256;
    static constexpr int kLevels = 8;

    void Load(const std::string& path, Progress& progress = NoProgress());
    // `name` is what messages call the bytes, normally their file's path.
    void Parse(std::span<const uint8_t> bytes, const std::string& name, Progress& progress = NoProgress());

    uint32_t BlockCount() const { return static_cast<uint32_t>(blocks_.size()); }
    const MapBlock& Block(uint32_t n) const;
    // 0 for air, above the column and below its offset alike.
    uint32_t BlockNumberAt(int x, int y, int z) const;
    const std::vector<MapZone>& Zones() const { return zones_; }

private:
    void ParseBytes(std::span<const uint8_t> bytes, const std::string& name, Progress& shown);

    // Block numbers, column by column: cell (x, y, z) at (y * 256 + x) * 8 + z. Empty
    // until a map is loaded.
    std::vector<uint32_t> grid_;
    std::vector<MapBlock> blocks_;
    std::vector<MapZone> zones_;
};
