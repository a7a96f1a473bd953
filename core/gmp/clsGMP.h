// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tile animation table of a GTA2 map file (.gmp). Everything else in the map
// is passed over; nothing is ever written.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/common/Progress.h"

class FileChunk;

class clsGMP {
public:
    // Reads the file's animation table. A refused file (one that does not start with
    // "GBMP", or is damaged) throws FileError naming the file and the problem and leaves
    // the table as it was; a map with no "ANIM" chunk leaves it as it was too.
    void LoadMap(const std::string& sFile, Progress& progress = NoProgress());
    // The same from bytes in memory; sFile names them in messages.
    void ParseMap(std::span<const uint8_t> bytes, const std::string& sFile, Progress& progress = NoProgress());

    // The highest animation index (animations minus 1; -1 for an empty table).
    // Every query throws std::out_of_range when no table has been read yet or an
    // index lies outside the table or the animation's frames.
    int16_t Anims() const;
    // Whether the file had an animation table; the queries need one.
    bool HasAnims() const { return aAnims.has_value(); }
    int16_t AnimFrames(int32_t AnimIdx) const;
    int16_t AnimTileNumber(int32_t AnimIdx, int32_t FrameIdx) const;
    int16_t AnimDelay(int32_t AnimIdx) const;

    // The table holds at most this many animations; the game's maps use 11 to 14.
    static constexpr int kMaxAnims = 41;

private:
    struct AnimEntry {
        int16_t iBase = 0;
        uint8_t bDelay = 0;
        uint8_t bByte3 = 0;
        uint8_t bFrames = 0;
        uint8_t bByte5 = 0;
        std::vector<int16_t> aiTiles;
    };

    void Parse(std::span<const uint8_t> bytes, const std::string& sFile, Progress& progress);
    static std::vector<AnimEntry> ReadAnims(const FileChunk& chunk);
    const AnimEntry& Entry(int32_t AnimIdx) const;

    // Absent until an "ANIM" chunk has been read.
    std::optional<std::vector<AnimEntry>> aAnims;
};
