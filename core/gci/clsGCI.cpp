#include "core/gci/clsGCI.h"

#include <bit>
#include <ctime>
#include <limits>
#include <stdexcept>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/common/modGTA2.h"
#include "core/gci/GCIProperties.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"

namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kEmptyLine = "\r\n\r\n";

// A zero byte, or a control character other than tab, CR and LF: no text file holds one.
bool NonText(uint8_t b)
{
    return (b < 0x20 && b != '\t' && b != '\r' && b != '\n') || b == 0x7F;
}

// What one pass over a car file finds: where every LF lies, whether one lacks its CR,
// and the first byte no text file holds (npos when there is none).
struct TextScan {
    std::vector<std::size_t> lineFeeds;
    bool bareLineFeed = false;
    std::size_t firstNonText = std::string::npos;
};

// Every car file is read through this, so on x86 it takes 16 bytes at once: the
// comparisons that rule out a stray control character also find the line breaks.
TextScan ScanText(std::span<const uint8_t> bytes)
{
    TextScan scan;
    // Room for the line feeds is made ahead, so that each is one store.
    std::vector<std::size_t>& feeds = scan.lineFeeds;
    feeds.resize(bytes.size() / 16 + 16);
    std::size_t found = 0;
    bool bare = false;
    std::size_t at = 0;
    uint32_t crBefore = 0;  // 1 when the byte before `at` is a CR
#if defined(__SSE2__)
    const __m128i lastControl = _mm_set1_epi8(0x1F), tab = _mm_set1_epi8('\t'), lineFeed = _mm_set1_epi8('\n'),
                  carriageReturn = _mm_set1_epi8('\r'), del = _mm_set1_epi8(0x7F);
    for (; at + 16 <= bytes.size(); at += 16) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + at));
        const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(b, lastControl), b);
        const __m128i lf = _mm_cmpeq_epi8(b, lineFeed);
        const __m128i cr = _mm_cmpeq_epi8(b, carriageReturn);
        // Tab, LF and CR are all control characters, so taking them out is an exclusive or.
        const __m128i allowed = _mm_or_si128(_mm_or_si128(lf, cr), _mm_cmpeq_epi8(b, tab));
        if (_mm_movemask_epi8(_mm_or_si128(_mm_xor_si128(control, allowed), _mm_cmpeq_epi8(b, del))) != 0)
            break;  // the byte-by-byte loop finds which
        auto lineFeeds = static_cast<uint32_t>(_mm_movemask_epi8(lf));
        const auto crs = static_cast<uint32_t>(_mm_movemask_epi8(cr));
        bare |= (lineFeeds & ~(crs << 1 | crBefore)) != 0;
        crBefore = crs >> 15;
        if (found + 16 > feeds.size())
            feeds.resize(2 * feeds.size());
        for (; lineFeeds != 0; lineFeeds &= lineFeeds - 1)
            feeds[found++] = at + static_cast<std::size_t>(std::countr_zero(lineFeeds));
    }
#endif
    feeds.resize(found);
    for (; at < bytes.size(); ++at) {
        const uint8_t b = bytes[at];
        if (NonText(b)) {
            scan.firstNonText = at;
            break;
        }
        if (b == '\n') {
            bare |= crBefore == 0;
            feeds.push_back(at);
        }
        crBefore = b == '\r';
    }
    scan.bareLineFeed = bare;
    return scan;
}

// Files written by other tools often end their lines with LF alone; read those like
// CR LF so their cars are found. A CR LF already there stays as it is. `lineFeeds` holds
// where each LF of `bytes` lies and receives where it lies in the result.
std::vector<uint8_t> WithCrLf(const std::vector<uint8_t>& bytes, std::vector<std::size_t>& lineFeeds)
{
    std::vector<uint8_t> text;
    text.reserve(bytes.size() + lineFeeds.size());
    // Copied a stretch at a time, each up to an LF, which begins the next stretch.
    std::size_t from = 0;
    for (std::size_t& at : lineFeeds) {
        text.insert(text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(from),
                    bytes.begin() + static_cast<std::ptrdiff_t>(at));
        if (at == 0 || bytes[at - 1] != '\r')
            text.push_back('\r');
        from = at;
        at = text.size();
    }
    text.insert(text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end());
    return text;
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
    TextScan scan = ScanText(read);
    if (const std::size_t at = scan.firstNonText; at != std::string::npos)
        throw FileError(sFile, "is not a car file: it holds the byte " + Hex(read[at]) + " at offset " +
                                   std::to_string(at) + ", which no text file has");
    std::vector<std::size_t>& lineFeeds = scan.lineFeeds;
    std::vector<uint8_t> bytes = scan.bareLineFeed ? WithCrLf(read, lineFeeds) : std::move(read);
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
