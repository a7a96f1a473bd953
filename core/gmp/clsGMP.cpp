// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gmp/clsGMP.h"

#include <stdexcept>
#include <utility>

#include "core/gmp/MapFile.h"
#include "core/io/ByteReader.h"
#include "core/io/ChunkWalker.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"

namespace {

constexpr std::size_t kRecordHeaderSize = 6;

}  // namespace

void clsGMP::LoadMap(const std::string& sFile, Progress& progress)
{
    // Read whole: the game's maps are a megabyte or two.
    RefuseWhenOutOfMemory(sFile,
                          [&] { Parse(ReadWholeFile(sFile, kLargestMapFile, 0, {}, progress), sFile, progress); });
}

void clsGMP::ParseMap(std::span<const uint8_t> bytes, const std::string& sFile, Progress& progress)
{
    RefuseWhenOutOfMemory(sFile, [&] { Parse(bytes, sFile, progress); });
}

void clsGMP::Parse(std::span<const uint8_t> bytes, const std::string& sFile, Progress& progress)
{
    // The version after the tag is not checked.
    if (bytes.size() >= kChunkedFileHeaderSize && FileTag(bytes) != "GBMP")
        throw FileError(sFile, "is not a map file: it does not start with \"GBMP\" and a version");
    // Read into a table of our own and keep it only when the whole file was read.
    std::optional<std::vector<AnimEntry>> table;
    ChunkWalker(bytes, sFile, ChunkDialect::Map, progress)
        .Walk("is not a map file: it is shorter than the 6-byte header", [&table](const FileChunk& chunk) {
            if (chunk.Type() == "ANIM")
                table = ReadAnims(chunk);  // a later "ANIM" chunk replaces an earlier one
            else if (chunk.Type() == "LGHT")
                chunk.RequireBody();  // light records are passed over, but must be there whole
        });
    if (table)
        aAnims = std::move(table);
}

std::vector<clsGMP::AnimEntry> clsGMP::ReadAnims(const FileChunk& chunk)
{
    // Past the largest table, every byte more starts one animation too many: refused
    // before a chunk of any size is read.
    constexpr std::size_t kLargestTable = static_cast<std::size_t>(kMaxAnims) * (kRecordHeaderSize + 2 * 255);
    if (chunk.Size() > kLargestTable)
        chunk.Refuse(chunk.Where() + " holds more than " + std::to_string(kMaxAnims) +
                     " animations, the most this table takes");
    ByteReader body = chunk.Body();
    std::vector<AnimEntry> anims;
    while (!body.AtEnd()) {
        const auto record = [&] { return "animation " + std::to_string(anims.size()) + " in the " + chunk.Where(); };
        if (anims.size() == static_cast<std::size_t>(kMaxAnims))
            chunk.Refuse(chunk.Where() + " holds more than " + std::to_string(kMaxAnims) +
                         " animations, the most this table takes");
        if (!body.CanRead(kRecordHeaderSize))
            chunk.Refuse(record() + " is cut off by the end of the chunk");
        AnimEntry entry;
        entry.iBase = body.I16();
        entry.bDelay = body.U8();
        entry.bByte3 = body.U8();
        entry.bFrames = body.U8();
        entry.bByte5 = body.U8();
        if (!body.CanRead(2u * entry.bFrames))
            chunk.Refuse(record() + " has " + std::to_string(entry.bFrames) +
                         " frames, more than the rest of the chunk holds");
        entry.aiTiles.resize(entry.bFrames);
        for (int16_t& tile : entry.aiTiles)
            tile = body.I16();
        anims.push_back(std::move(entry));
    }
    return anims;
}

const clsGMP::AnimEntry& clsGMP::Entry(int32_t AnimIdx) const
{
    if (!aAnims)
        throw std::out_of_range("no animation table has been read");
    if (AnimIdx < 0 || static_cast<std::size_t>(AnimIdx) >= aAnims->size())
        throw std::out_of_range("animation " + std::to_string(AnimIdx) + " is outside the table of " +
                                std::to_string(aAnims->size()));
    return (*aAnims)[static_cast<std::size_t>(AnimIdx)];
}

int16_t clsGMP::Anims() const
{
    if (!aAnims)
        throw std::out_of_range("no animation table has been read");
    return static_cast<int16_t>(static_cast<int>(aAnims->size()) - 1);
}

int16_t clsGMP::AnimFrames(int32_t AnimIdx) const
{
    return Entry(AnimIdx).bFrames;
}

int16_t clsGMP::AnimTileNumber(int32_t AnimIdx, int32_t FrameIdx) const
{
    const AnimEntry& entry = Entry(AnimIdx);
    if (FrameIdx < 0 || FrameIdx >= entry.bFrames)
        throw std::out_of_range("frame " + std::to_string(FrameIdx) + " is outside the " +
                                std::to_string(entry.bFrames) + " frames of animation " + std::to_string(AnimIdx));
    return entry.aiTiles[static_cast<std::size_t>(FrameIdx)];
}

int16_t clsGMP::AnimDelay(int32_t AnimIdx) const
{
    return Entry(AnimIdx).bDelay;
}
