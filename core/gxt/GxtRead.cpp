// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a text file: the header, the key table and a check of every key's text. The
// texts themselves are read when asked for, from the text block kept as it was.

#include <algorithm>
#include <cstring>
#include <numeric>

#include "core/common/Numbers.h"
#include "core/gxt/GxtTextBytes.h"
#include "core/gxt/clsGXT.h"
#include "core/io/ByteReader.h"

namespace {

constexpr std::size_t kRecordSize = 12;
constexpr std::size_t kNameSize = 8;
constexpr std::size_t kTableAt = 14;

// Thrown wherever the layout does not hold together, saying what is wrong; ParseGXT
// names the file.
struct Damaged {
    std::string why;
};
// Thrown for a header in a language we do not handle.
struct OtherLanguage {
    char letter;
};

// 2147483648 as "2,147,483,648".
std::string Bytes(uint64_t n)
{
    return Grouped(n) + (n == 1 ? " byte" : " bytes");
}

// A key's name up to its first zero, quoted, with anything unprintable as "?".
std::string Shown(const std::array<char, kNameSize>& key)
{
    std::string name = "\"";
    for (auto c = key.begin(); c != key.end() && *c != '\0'; ++c)
        name += *c > ' ' && *c < 0x7F ? *c : '?';
    return name + "\"";
}

struct Head {
    char language;
    uint8_t version;
    uint32_t tableSize;
};

// "GBL", the language letter, 'd' (version 100 as a 16-bit number: its second byte is
// not checked), "TKEY" and the key table's size, which must leave room for the text
// block's tag and size in a file of `fileSize` bytes.
Head ReadHead(ByteReader& r, uint64_t fileSize)
{
    if (fileSize < kTableAt)
        throw Damaged{"The file has " + Bytes(fileSize) + ", fewer than the 14 of a text file's header."};
    const std::string start = r.Text(5);
    if (start.compare(0, 3, "GBL") != 0 || start[4] != 'd')
        throw Damaged{"It does not begin with \"GBL\", a language letter and \"d\"."};
    if (std::string_view("EFGIS").find(start[3]) == std::string_view::npos)
        throw OtherLanguage{start[3]};
    const uint8_t version = r.U8();
    if (r.Text(4) != "TKEY")
        throw Damaged{"It has no key table (\"TKEY\") at byte 6."};
    const uint32_t tableSize = r.U32();
    if (kTableAt + uint64_t{tableSize} > fileSize)
        throw Damaged{"The key table claims " + Bytes(tableSize) + ", but the file has " + Bytes(fileSize) + "."};
    if (kTableAt + uint64_t{tableSize} + 8 > fileSize)
        throw Damaged{"The key table claims " + Bytes(tableSize) + ", which leaves no room for the text block."};
    if (tableSize % kRecordSize != 0)
        throw Damaged{"The key table's " + Bytes(tableSize) + " are not a whole number of 12-byte keys."};
    return {start[3], version, tableSize};
}

// Every key points into the block at a text that ends there. Texts are checked in the
// order of their offsets, each run of overlapping texts scanned once, so that a million
// keys into one long text cost no more than the text.
template <class Entries>
void CheckTexts(std::span<const uint8_t> block, const Entries& entries, Progress& progress)
{
    std::vector<uint32_t> order(entries.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(),
              [&](uint32_t a, uint32_t b) { return entries[a].original < entries[b].original; });
    ProgressScope checking(progress, 1, static_cast<double>(order.size()), "Loading...");
    std::size_t runEnd = 0, checked = 0;
    for (const uint32_t k : order) {
        checking.Update(static_cast<double>(++checked));
        const std::size_t at = entries[k].original;
        if (at >= block.size())
            throw Damaged{"Key " + Shown(entries[k].key) + " points at byte " + Grouped(at) + " of a text block of " +
                          Bytes(block.size()) + "."};
        if (at + 2 <= runEnd)
            continue;  // inside the run: its text ends where the run does
        runEnd = gxt_bytes::TextEnd(block, at);
        if (runEnd == 0)
            throw Damaged{"The text of key " + Shown(entries[k].key) +
                          " runs to the end of the text block without its two zero bytes."};
    }
}

// Runs `work`, turning what the reader throws into refusals naming `file`.
template <class Work>
void Refusing(const std::string& file, Work&& work)
{
    RefuseWhenOutOfMemory(file, [&] {
        try {
            work();
        } catch (const Damaged& damaged) {
            throw InvalidGXT(file, damaged.why);
        } catch (const TruncatedData& early) {
            throw InvalidGXT(file, std::string("It ends early: ") + early.what() + ".");
        } catch (const OtherLanguage& other) {
            throw UnsupportedGxtLanguage(file, other.letter);
        }
    });
}

}  // namespace

void clsGXT::ReadGXT(const std::string& sFile, Progress& progress)
{
    // A key table that cannot fit is refused before the file is read.
    const auto checkHead = [&sFile](std::span<const uint8_t> head, uint64_t fileSize) {
        Refusing(sFile, [&] {
            ByteReader r(head);
            ReadHead(r, fileSize);
        });
    };
    RefuseWhenOutOfMemory(sFile, [&] {
        ParseGXT(ReadWholeFile(sFile, kLargestTextFile, kTableAt, checkHead, progress), sFile, progress);
    });
}

void clsGXT::ParseGXT(std::span<const uint8_t> bytes, const std::string& sFile, Progress& progress)
{
    clsGXT fresh;
    Refusing(sFile, [&] {
        fresh.ReadFrom(bytes, progress);
        fresh.charset_ = DetectCharset(fresh.Block(), sFile);
    });
    *this = std::move(fresh);
}

bool clsGXT::LoadGXT(const std::string& sFile)
{
    try {
        ReadGXT(sFile);
        return true;
    } catch (const FileError&) {
        return false;
    }
}

void clsGXT::ReadFrom(std::span<const uint8_t> file, Progress& progress)
{
    ByteReader r(file);
    const Head head = ReadHead(r, file.size());
    ByteReader table = r.Sub(head.tableSize);
    if (r.Text(4) != "TDAT")
        throw Damaged{"It has no text block (\"TDAT\") after the key table."};
    const uint32_t blockSize = r.U32();
    if (blockSize > r.Remaining())
        throw Damaged{"The text block claims " + Bytes(blockSize) + ", but the file has only " + Bytes(r.Remaining()) +
                      " more."};

    std::vector<Entry> entries(head.tableSize / kRecordSize);
    for (Entry& e : entries) {
        e.original = table.U32();
        std::memcpy(e.key.data(), table.Bytes(kNameSize).data(), kNameSize);
    }
    CheckTexts(r.Rest().first(blockSize), entries, progress);
    // The block and whatever follows it, kept for the texts and for the save.
    read_ = std::make_shared<const std::vector<uint8_t>>(r.Rest().begin(), r.Rest().end());
    blockSize_ = blockSize;
    entries_ = std::move(entries);
    language_ = head.language;
    version_ = head.version;
}
