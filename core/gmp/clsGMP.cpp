#include "core/gmp/clsGMP.h"

#include <stdexcept>
#include <utility>

#include "core/common/modGTA2.h"
#include "core/io/ByteReader.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"

namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kChunkHeaderSize = 8;
constexpr std::size_t kRecordHeaderSize = 6;

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// Tags come from the file; keep control bytes out of messages.
std::string PrintableTag(const std::string& tag)
{
    std::string out;
    for (char c : tag)
        out += (c >= 0x20 && c < 0x7F) ? c : '?';
    return "\"" + out + "\"";
}

}  // namespace

void clsGMP::LoadMap(const std::string& sFile)
{
    // Read piece by piece: of a map of megabytes only the chunk headers and the small
    // animation table are needed, and every other chunk is passed over unread.
    FileReader file(sFile);
    if (file.Remaining() < kHeaderSize)
        throw FileError(sFile, "is not a map file: it is shorter than the 6-byte header");
    file.Skip(kHeaderSize);  // the header is not checked

    ProgressScope progress(1, static_cast<double>(file.Size()), "Loading...");

    // Read into a table of our own and keep it only when the whole file was read.
    std::optional<std::vector<AnimEntry>> table;
    while (file.Remaining() != 0) {
        const std::size_t chunkAt = file.Position();
        if (file.Remaining() < kChunkHeaderSize)
            throw FileError(
                sFile, "the chunk header at offset " + std::to_string(chunkAt) + " is cut off by the end of the file");
        const std::vector<uint8_t> header = file.Read(kChunkHeaderSize);
        ByteReader headerReader(header);
        const std::string tag = headerReader.Text(4);
        const int32_t size = headerReader.I32();
        UpdateProgress(static_cast<double>(file.Position()), "Loading Section " + tag + "...");

        const std::string where = "chunk " + PrintableTag(tag) + " at offset " + std::to_string(chunkAt);
        if (size < 0)
            throw FileError(sFile, where + " has a negative size (" + std::to_string(size) + ")");
        const std::size_t length = static_cast<std::size_t>(size);
        const std::string upper = UpperAscii(tag);
        const bool known = upper == "ANIM" || upper == "LGHT";
        if (length > file.Remaining()) {
            if (known)
                throw FileError(sFile, where + " needs " + std::to_string(length) + " bytes but only " +
                                           std::to_string(file.Remaining()) + " remain in the file");
            break;  // an unknown chunk cut off by the end: the walk ends, what was read is kept
        }
        if (upper != "ANIM") {
            file.Skip(length);  // light records and other chunks are passed over whole
            continue;
        }
        const std::vector<uint8_t> bytes = file.Read(length);
        ByteReader chunk(bytes);

        std::vector<AnimEntry> anims;
        while (!chunk.AtEnd()) {
            const auto record = [&] { return "animation " + std::to_string(anims.size()) + " in the " + where; };
            if (anims.size() == static_cast<std::size_t>(kMaxAnims))
                throw FileError(sFile, where + " holds more than " + std::to_string(kMaxAnims) +
                                           " animations, the most this table takes");
            if (!chunk.CanRead(kRecordHeaderSize))
                throw FileError(sFile, record() + " is cut off by the end of the chunk");
            AnimEntry entry;
            entry.iBase = chunk.I16();
            entry.bDelay = chunk.U8();
            entry.bByte3 = chunk.U8();
            entry.bFrames = chunk.U8();
            entry.bByte5 = chunk.U8();
            if (!chunk.CanRead(2u * entry.bFrames))
                throw FileError(sFile, record() + " has " + std::to_string(entry.bFrames) +
                                           " frames, more than the rest of the chunk holds");
            entry.aiTiles.resize(entry.bFrames);
            for (int16_t& tile : entry.aiTiles)
                tile = chunk.I16();
            anims.push_back(std::move(entry));
        }
        table = std::move(anims);  // a later "ANIM" chunk replaces an earlier one
    }

    if (table)
        aAnims = std::move(table);
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
