#include "core/gci/clsGCI.h"

#include <cstring>
#include <ctime>
#include <limits>
#include <stdexcept>
#include <string_view>

#include "core/common/modGTA2.h"
#include "core/gci/GCIProperties.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"

namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kEmptyLine = "\r\n\r\n";

// Files written by other tools often end their lines with LF alone; read those like
// CR LF so their cars are found. A CR LF already there stays as it is. `lineFeeds`
// receives where each LF of the result lies: every one of them follows its CR, so they
// are all the line breaks, found in this one scan. A file whose every LF has its CR
// already, the usual case, is kept as it was read, without a copy.
std::vector<uint8_t> WithCrLf(std::vector<uint8_t> bytes, std::vector<std::size_t>& lineFeeds)
{
    const std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    bool bare = false;
    for (std::size_t at = all.find('\n'); at != std::string_view::npos && !bare; at = all.find('\n', at + 1)) {
        bare = at == 0 || all[at - 1] != '\r';
        lineFeeds.push_back(at);
    }
    if (!bare)
        return bytes;

    lineFeeds.clear();
    std::vector<uint8_t> text;
    text.reserve(bytes.size() + bytes.size() / 16);
    // Copied a stretch at a time, up to each LF that lacks its CR.
    std::size_t from = 0;
    for (std::size_t at = all.find('\n'); at != std::string_view::npos; at = all.find('\n', at + 1)) {
        if (at == 0 || all[at - 1] != '\r') {
            text.insert(text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(from),
                        bytes.begin() + static_cast<std::ptrdiff_t>(at));
            text.push_back('\r');
            from = at;
        }
        lineFeeds.push_back(text.size() + (at - from));
    }
    text.insert(text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end());
    return text;
}

// A zero byte, or a control character other than tab, CR and LF: no text file holds one.
// Bitwise, not short-circuit, so that it also works on vectors of 16 bytes.
template <typename T>
auto NonText(T b)
{
    return ((b < 0x20) & (b != '\t') & (b != '\r') & (b != '\n')) | (b == 0x7F);
}

// Where the first such byte lies; npos when there is none. Every car file is read through
// this, so whole blocks of 16 bytes are checked at once where the compiler allows.
std::size_t FirstNonTextByte(const std::vector<uint8_t>& bytes)
{
    std::size_t at = 0;
#if defined(__GNUC__)
    using Block = uint8_t __attribute__((vector_size(16)));
    for (; at + sizeof(Block) <= bytes.size(); at += sizeof(Block)) {
        Block block;
        std::memcpy(&block, bytes.data() + at, sizeof block);
        const auto hits = NonText(block);
        uint64_t halves[2];
        std::memcpy(halves, &hits, sizeof halves);
        if ((halves[0] | halves[1]) != 0)
            break;
    }
#endif
    for (; at < bytes.size(); ++at)
        if (NonText(bytes[at]))
            return at;
    return std::string::npos;
}

std::string Hex(uint8_t b)
{
    const char digits[] = "0123456789ABCDEF";
    return {'0', 'x', digits[b >> 4], digits[b & 0xF]};
}

// A block of nothing but blanks and line breaks (the space after the last car, or
// several empty lines in a row) is not a car: a car needs at least its name.
bool HoldsText(std::string_view block)
{
    return block.find_first_not_of(" \t\r\n") != std::string_view::npos;
}

// A stretch of the text between two empty lines, and the line feeds inside it.
struct Block {
    std::size_t begin, end;
    std::size_t firstLineFeed, endLineFeed;
};

// The text cut at every CR LF CR LF, taken from the left without overlapping: an empty
// line is a line feed with another two bytes on.
std::vector<Block> CutAtEmptyLines(std::string_view text, const std::vector<std::size_t>& lineFeeds)
{
    std::vector<Block> blocks;
    std::size_t begin = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i + 1 < lineFeeds.size();) {
        if (lineFeeds[i + 1] != lineFeeds[i] + 2) {
            ++i;
            continue;
        }
        const std::size_t separator = lineFeeds[i] - 1;  // its CR
        blocks.push_back({begin, separator, first, i});
        begin = separator + kEmptyLine.size();
        i += 2;
        first = i;
    }
    blocks.push_back({begin, text.size(), first, lineFeeds.size()});
    return blocks;
}

// The lines of a car's block, as places in `text`: one CR LF at its start and one at its
// end are not part of them, and the line feeds in between cut it.
template <typename Span>
void AppendCarLines(std::string_view text, const std::vector<std::size_t>& lineFeeds, Block block,
                    std::vector<Span>& lines)
{
    const auto isLineBreak = [&text](std::size_t at) { return text[at] == '\r' && text[at + 1] == '\n'; };
    if (block.end - block.begin >= 2 && isLineBreak(block.begin)) {
        block.begin += 2;
        ++block.firstLineFeed;
    }
    if (block.end - block.begin >= 2 && isLineBreak(block.end - 2)) {
        block.end -= 2;
        --block.endLineFeed;
    }
    std::size_t start = block.begin;
    for (std::size_t i = block.firstLineFeed; i < block.endLineFeed; ++i) {
        lines.push_back({start, lineFeeds[i] - 1 - start});
        start = lineFeeds[i] + 1;
    }
    lines.push_back({start, block.end - start});
}

std::string LocalTimeText(const char* format)
{
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[128] = {};
    if (!local || std::strftime(text, sizeof text, format, local) == 0)
        return {};
    return text;
}

std::string Banner()
{
    std::string banner;
    for (const std::string& line :
         {std::string("{================================"), std::string("Generated By The Kestrova"),
          std::string("Program Used: Kestrova"), "Date: " + LocalTimeText("%x") + " Time: " + LocalTimeText("%X"),
          std::string("=================================}"), std::string()}) {
        banner += line;
        banner += kLineBreak;
    }
    return banner;
}

}  // namespace

// The game's car file is 39 KB; room for far more cars than the game's 32767 without
// letting a stray huge file be read.
constexpr SizeLimit kLargestCarFile{uint64_t{16} << 20, "car file"};

void clsGCI::LoadCars(const std::string& sFile)
{
    RefuseWhenOutOfMemory(sFile, [&] { Take(ReadWholeFile(sFile, kLargestCarFile), sFile); });
}

void clsGCI::ParseCars(std::span<const uint8_t> bytes, const std::string& sFile)
{
    RefuseWhenOutOfMemory(sFile, [&] { Take(std::vector<uint8_t>(bytes.begin(), bytes.end()), sFile); });
}

void clsGCI::Take(std::vector<uint8_t> read, const std::string& sFile)
{
    if (const std::size_t at = FirstNonTextByte(read); at != std::string::npos)
        throw FileError(sFile, "is not a car file: it holds the byte " + Hex(read[at]) + " at offset " +
                                   std::to_string(at) + ", which no text file has");
    std::vector<std::size_t> lineFeeds;
    lineFeeds.reserve(1024);
    std::vector<uint8_t> bytes = WithCrLf(std::move(read), lineFeeds);
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::vector<Block> blocks = CutAtEmptyLines(text, lineFeeds);

    // Block 0 is the header comment; every later block that holds text is a car, the
    // last one included even when no empty line follows it.
    std::vector<Block> carBlocks;
    for (std::size_t b = 1; b < blocks.size(); ++b)
        if (HoldsText(text.substr(blocks[b].begin, blocks[b].end - blocks[b].begin)))
            carBlocks.push_back(blocks[b]);
    if (carBlocks.size() > static_cast<std::size_t>(std::numeric_limits<int16_t>::max()))
        throw FileError(sFile,
                        "holds " + std::to_string(carBlocks.size()) + " cars, more than the 32767 a car file can have");

    const auto count = static_cast<int16_t>(carBlocks.size());
    std::vector<LineSpan> lines;
    lines.reserve(carBlocks.size() * 22);
    std::vector<std::size_t> firstLine{0};
    firstLine.reserve(carBlocks.size() + 1);
    if (count > 0) {
        ProgressScope progress(1, count, "Loading...");
        for (int16_t i = 0; i < count; ++i) {
            UpdateProgress(i + 1, "Loading...");
            AppendCarLines(text, lineFeeds, carBlocks[static_cast<std::size_t>(i)], lines);
            firstLine.push_back(lines.size());
        }
    }
    Text.swap(bytes);
    Lines.swap(lines);
    FirstLine.swap(firstLine);
    iNumOfCars = count;
}

void clsGCI::SaveCars(const std::string& sFileName)
{
    if (iNumOfCars == 0)
        return;
    std::string text = Banner();
    text.reserve(text.size() + Text.size() + Lines.size() * kLineBreak.size() + 2 * iNumOfCars);
    ProgressScope progress(1, iNumOfCars, "Saving...");
    for (int16_t c = 0; c < iNumOfCars; ++c) {
        UpdateProgress(c + 1, "Saving...");
        const auto car = static_cast<std::size_t>(c);
        for (std::size_t l = FirstLine[car]; l < FirstLine[car + 1]; ++l) {
            text += TextOf(Lines[l]);
            text += kLineBreak;
        }
        text += kLineBreak;
    }
    SaveWithBackup(sFileName, AsBytes(text));
}

void clsGCI::SetVal(int iCarIdx, int iValIdx, const std::string& sNewVal)
{
    Line(iCarIdx, iValIdx);  // refuses indices that address no line
    if (iValIdx == 0 || iValIdx == 1)
        return;
    const std::string prefix = iValIdx > 4 ? "f" : "";
    const std::string line = prefix + sNewVal + PropertyLabel(iValIdx);
    Lines[FirstLine[static_cast<std::size_t>(iCarIdx)] + static_cast<std::size_t>(iValIdx)] = {Text.size(),
                                                                                               line.size()};
    Text.insert(Text.end(), line.begin(), line.end());
}

std::string clsGCI::GetVal(int iCarIdx, int iValIdx) const
{
    const std::string_view line = Line(iCarIdx, iValIdx);
    if (line.empty())
        return {};
    if (iValIdx == 0)
        return line.size() < 2 ? std::string() : std::string(line.substr(1, line.size() - 2));
    const std::string_view head = line.substr(0, line.find(' '));
    if (iValIdx <= 4)
        return std::string(head);
    // Decimal lines begin with the letter "f"; a line that begins with a blank has no value.
    return head.empty() ? std::string() : std::string(head.substr(1));
}

int clsGCI::GetNumOfLines(int iCarIdx) const
{
    if (iCarIdx < 0 || iCarIdx >= iNumOfCars)
        throw std::out_of_range("car " + std::to_string(iCarIdx) + " does not exist (" + std::to_string(iNumOfCars) +
                                " cars loaded)");
    const auto car = static_cast<std::size_t>(iCarIdx);
    return static_cast<int>(FirstLine[car + 1] - FirstLine[car]);
}

std::string_view clsGCI::Line(int iCarIdx, int iValIdx) const
{
    const int lines = GetNumOfLines(iCarIdx);
    CheckPropertyIndex(iValIdx);
    const auto car = static_cast<std::size_t>(iCarIdx);
    if (iValIdx >= lines)
        throw std::out_of_range("car " + std::to_string(iCarIdx) + " has no line " + std::to_string(iValIdx) +
                                " (it has " + std::to_string(lines) + " lines)");
    return TextOf(Lines[FirstLine[car] + static_cast<std::size_t>(iValIdx)]);
}
