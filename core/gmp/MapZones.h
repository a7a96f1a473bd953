// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The named zones of a map: what a zone is, which ones the game takes, the order it needs
// them in, their bytes in the ZONE chunk, and what a check of them finds.
//
// A zone is a type, a rectangle of whole blocks and a name of up to 255 bytes. The game
// looks zones up by name and needs them sorted by area, smallest first.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct MapZone {
    uint8_t type, x, y, w, h;
    std::string name;

    bool operator==(const MapZone&) const = default;
};

inline constexpr int kMostZoneType = 20;
// Type 1 zones name the districts; 15 the smaller places inside them; 20 is where the
// player starts again after an arrest.
inline constexpr uint8_t kNavigationZone = 1;
inline constexpr uint8_t kLocalNavigationZone = 15;
inline constexpr uint8_t kArrestRestartZone = 20;
// The game's maps hold 4 to 189 zones. A file of nothing but unnamed zones could hold
// millions, each taking several times its six bytes in memory; past one for every square
// of the map a file is refused (and an edit too), so that zones never take more than
// about 20 MB.
inline constexpr std::size_t kMostZones = 65536;

// Whether the game uses zones of `type`: 0 to 20 but for 3, 4, 9, 17, 18 and 19.
bool IsZoneType(int type);
// "bus stop" for 7; "unused" for the numbers between 0 and 20 the game leaves out, and
// "unknown" above them.
const char* ZoneTypeName(int type);

inline int ZoneArea(const MapZone& zone)
{
    return zone.w * zone.h;
}

// Throws std::invalid_argument, saying what is wrong, for a zone no edit may make: a type
// the game does not use, a rectangle 0 blocks wide or high or reaching past block 255, a
// name longer than 255 bytes or holding a byte outside printable ASCII.
void RequireEditableZone(const MapZone& zone);

// Sorts `zones` by area, smallest first, keeping the order of zones of the same area;
// returns where the zone at `follow` went. A zone added or resized is put last before the
// sort, so that it goes after every zone of its area.
std::size_t SortByArea(std::vector<MapZone>& zones, std::size_t follow);

// The ZONE chunk's body: each zone's type, x, y, w, h, name length and name.
std::vector<uint8_t> ZoneChunkBody(const std::vector<MapZone>& zones);

struct ZoneFinding {
    enum class Severity { Error, Warning };
    Severity severity;
    std::size_t zone;  // its index in the list, from 0
    std::string name;
    std::string problem;  // "is outside the map: ...", to follow "zone 3 (name) "
};
const char* SeverityName(ZoneFinding::Severity severity);

// What the game would trip over, in zone order: a zone out of area order (smaller than the
// one before it), reaching past the map or with no area, of a type the game does not use,
// or of navigation (or local navigation) that overlaps an earlier one of its type and area.
// Arrest restart zones of more than one block are warnings: the notes want one block, but
// the game's own maps have larger ones.
std::vector<ZoneFinding> CheckZones(const std::vector<MapZone>& zones);
