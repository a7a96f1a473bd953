// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The blocks and zones of a GTA2 map file (.gmp): a 256 x 256 x 8 grid of block
// numbers, the table of distinct blocks they refer to, and the named zones, which can
// be changed and saved. The map keeps the file's bytes: a save writes them as they were
// read with only the ZONE chunk replaced.
//
// Failures: a file that cannot be read or is damaged throws FileError naming the file
// and the problem and leaves the map as it was; a coordinate, block number or zone index
// outside the map throws std::out_of_range; a zone edit the game could not take throws
// std::invalid_argument and changes nothing. A map that has never been loaded is all
// air, with no blocks and no zones, and cannot be saved.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/common/Progress.h"
#include "core/gmp/MapZones.h"

// One distinct block: five faces, then the arrows and slope bytes as stored.
// Face bits 0-9 are the tile (0: none), 10-11 the lid's lighting, 12 flat, 13 flip,
// 14-15 the rotation in quarter turns.
struct MapBlock {
    uint16_t left, right, top, bottom, lid;
    uint8_t arrows, slope;
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
    // In file order as read; after an edit, in the order a save writes them.
    const std::vector<MapZone>& Zones() const { return zones_; }

    // Each edit sorts the zones by area, as a save does, and returns where its zone went:
    // after the zones of its area when it is new or resized, in its place otherwise.
    std::size_t AddZone(const MapZone& zone);
    std::size_t ChangeZone(std::size_t index, const MapZone& zone);
    void RemoveZone(std::size_t index);
    // Puts back a list Zones() gave, as it was: for undo.
    void SetZones(std::vector<MapZone> zones) { zones_ = std::move(zones); }

    // The file as read with its ZONE chunk (of several, the last, the one read) holding
    // the zones, sorted by area: every other byte as it was. A map that had no ZONE chunk
    // gets one after its last whole chunk, before anything that follows (padding, a chunk
    // cut off by the end of the file), where the reader, which stops there, still finds
    // it. Throws FileError when the result would be larger than a map file may be.
    std::vector<uint8_t> Serialize() const;
    // Serialize() written through the one safe save, keeping the old file as .bak; a map
    // too large is refused before anything is written.
    void Save(const std::string& path) const;

private:
    void ParseBytes(std::vector<uint8_t> bytes, const std::string& name, Progress& shown);
    // Throws FileError naming `name` when there is no file to save or the saved file
    // would be too large.
    void RequireSaveable(const std::string& name) const;
    void RequireZoneIndex(std::size_t index) const;

    // Block numbers, column by column: cell (x, y, z) at (y * 256 + x) * 8 + z. Empty
    // until a map is loaded.
    std::vector<uint32_t> grid_;
    std::vector<MapBlock> blocks_;
    std::vector<MapZone> zones_;

    // The file as read, and where its ZONE chunk (the last, the one read) lies in it:
    // its header's offset and the end of its body; both the end of the chunks when the
    // file has none.
    std::vector<uint8_t> file_;
    std::string name_;
    std::size_t zoneAt_ = 0;
    std::size_t zoneEnd_ = 0;
    bool hasZoneChunk_ = false;
};
