#include "core/gxt/clsGXT.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/common/modGTA2.h"
#include "core/io/ByteReader.h"
#include "core/io/FileIO.h"
#include "core/io/LittleEndian.h"

namespace {

constexpr int32_t kKeyRecordSize = 12;
constexpr std::size_t kNameSize = 8;
constexpr std::size_t kTableAt = 14;
constexpr std::size_t kLargestBlock = static_cast<std::size_t>(std::numeric_limits<int32_t>::max());

// Thrown wherever the layout does not hold together; ParseGXT names the file.
struct Damaged {};
// Thrown for a header in a language we do not handle.
struct OtherLanguage {
    char letter;
};

// "GBL", the language letter, 'd' (version 100 as a 16-bit number: its second byte is
// not checked, and is written back as 0). Returns the letter.
char ReadHeader(ByteReader& r)
{
    const std::string head = r.Text(5);
    if (head.compare(0, 3, "GBL") != 0 || head[4] != 'd')
        throw Damaged();
    if (std::string_view("EFGIS").find(head[3]) == std::string_view::npos)
        throw OtherLanguage{head[3]};
    r.Skip(1);
    return head[3];
}

void Expect(ByteReader& r, const char (&tag)[5])
{
    if (r.Text(4) != tag)
        throw Damaged();
}

bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

void StoreLE32(std::string& out, std::size_t at, std::size_t value)
{
    ::StoreLE32(reinterpret_cast<uint8_t*>(out.data() + at), static_cast<uint32_t>(value));
}

// Whether `value`, read from `start`, begins with a letter and "!" stored as two single
// bytes.
bool HasSingleBytePrefix(const uint8_t* start, std::string_view value)
{
    // Two characters were read before the terminator, so start[1] lies inside the block.
    return value.size() >= 2 && start[0] != 0 && start[1] != 0 && IsLetter(value[0]) && value[1] == '!';
}

// The game's text files are about 340 KB; even one with every text of every language
// stays far below this.
constexpr SizeLimit kLargestTextFile{uint64_t{64} << 20, "text file"};

// Reads the text starting at `offset` up to the first pair of zero bytes, at any
// alignment, dropping every zero byte. `scratch` has room for the whole block; the text
// is gathered there. Every read is of bytes between `offset` and the end of the block.
// `terminator` receives where the two zero bytes that end it lie: a text read from any
// offset up to there is a tail of this one.
std::string_view ReadText(std::span<const uint8_t> block, int32_t offset, char* scratch, std::size_t& terminator)
{
    if (offset < 0 || static_cast<std::size_t>(offset) >= block.size())
        throw Damaged();
    const uint8_t* const end = block.data() + block.size();
    const uint8_t* p = block.data() + offset;
    char* out = scratch;
    bool previousZero = false;
#if defined(__SSE2__)
    // The common case, thirty-two bytes at a time: cells that are each a character other
    // than zero followed by a zero byte, that is 16-bit numbers from 1 to 255, their
    // sixteen characters packed in one step. No terminator can lie among them. Where a
    // cell of another kind comes, the characters before it are kept.
    const __m128i zero = _mm_setzero_si128(), beyond = _mm_set1_epi16(256);
    const auto cells = [&](__m128i b) {
        return static_cast<uint32_t>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpgt_epi16(b, zero), _mm_cmplt_epi16(b, beyond))));
    };
#endif
    for (;;) {
#if defined(__SSE2__)
        const uint8_t* const before = p;
        while (end - p >= 32) {
            const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
            // Sixteen characters are stored, fewer may be kept: `out` is never further into
            // `scratch`, which is as large as the block, than `p` is into the block.
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(first, second));
            const int kept = std::countr_one(cells(first) | cells(second) << 16) / 2;
            out += kept;
            p += 2 * kept;
            if (kept < 16)
                break;
        }
        if (p != before)
            previousZero = true;
#endif
        if (p == end)
            throw Damaged();  // running off the block means there was no terminator
        const uint8_t b = *p++;
        if (b == 0) {
            if (previousZero)
                break;
            previousZero = true;
            continue;
        }
        previousZero = false;
        *out++ = static_cast<char>(b);
    }
    const std::string_view value(scratch, static_cast<std::size_t>(out - scratch));
    terminator = static_cast<std::size_t>(p - block.data()) - 2;
    return value;
}

}  // namespace

void clsGXT::ReadGXT(const std::string& sFile)
{
    // The key table must fit in the file before the file is read. The language letter
    // is left to the parse, which names a language it does not take.
    const auto checkHead = [&sFile](std::span<const uint8_t> head, uint64_t fileSize) {
        if (head.size() < kTableAt || std::memcmp(head.data(), "GBL", 3) != 0 || head[4] != 'd' ||
            std::memcmp(head.data() + 6, "TKEY", 4) != 0)
            throw InvalidGXT(sFile);
        const auto tableSize = static_cast<int32_t>(LE32(head.data() + 10));
        if (tableSize < 0 || kTableAt + static_cast<uint64_t>(tableSize) + 8 > fileSize)
            throw InvalidGXT(sFile);
    };
    RefuseWhenOutOfMemory(sFile, [&] { ParseGXT(ReadWholeFile(sFile, kLargestTextFile, kTableAt, checkHead), sFile); });
}

void clsGXT::ParseGXT(std::span<const uint8_t> bytes, const std::string& sFile)
{
    clsGXT fresh;
    RefuseWhenOutOfMemory(sFile, [&] {
        try {
            fresh.ReadFrom(bytes);
        } catch (const Damaged&) {
            throw InvalidGXT(sFile);
        } catch (const TruncatedData&) {
            throw InvalidGXT(sFile);
        } catch (const OtherLanguage& other) {
            throw UnsupportedGxtLanguage(sFile, other.letter);
        }
        fresh.Charset_ = DetectCharset(fresh.Texts, sFile);
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

void clsGXT::ReadFrom(std::span<const uint8_t> file)
{
    ByteReader r(file);
    Language_ = ReadHeader(r);
    Expect(r, "TKEY");

    const int32_t tableSize = r.I32();
    if (tableSize < 0 || tableSize % kKeyRecordSize != 0)
        throw Damaged();
    // The whole table in one checked read, then cut into its records.
    const std::span<const uint8_t> table = r.Bytes(static_cast<std::size_t>(tableSize));
    const int32_t count = tableSize / kKeyRecordSize;
    std::vector<KeyName> keys(static_cast<std::size_t>(count));
    std::vector<int32_t> offsets(keys.size());
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const uint8_t* record = table.data() + k * kKeyRecordSize;
        offsets[k] = static_cast<int32_t>(LE32(record));
        std::memcpy(keys[k].data(), record + 4, kNameSize);
    }

    Expect(r, "TDAT");
    const int32_t blockSize = r.I32();
    if (blockSize < 0)
        throw Damaged();
    const std::span<const uint8_t> block = r.Bytes(static_cast<std::size_t>(blockSize));
    // Whatever follows the text block is ignored.

    std::string texts;
    texts.reserve(block.size() / 2);  // most texts are cells of two bytes a character
    std::vector<TextSpan> values(keys.size());
    std::vector<std::string> prefixes(keys.size());
    // No text is longer than the block, whatever the offsets.
    const auto scratch = std::make_unique_for_overwrite<char[]>(block.size());
    // Texts are read in the order of their offsets (the file's own order, as a rule), so
    // that an entry whose offset lies inside the text just read shares its bytes: each
    // byte of the block is read once, and the texts never take more than the block.
    std::vector<uint32_t> order;
    if (!std::is_sorted(offsets.begin(), offsets.end())) {
        order.resize(keys.size());
        for (std::size_t k = 0; k < order.size(); ++k)
            order[k] = static_cast<uint32_t>(k);
        std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return offsets[a] < offsets[b]; });
    }
    struct Run {
        std::size_t start, terminator, cursor, cursorText, textEnd, first;
    };
    std::optional<Run> run;
    {
        ProgressScope progress(1, count, "Loading...");
        for (std::size_t n = 0; n < keys.size(); ++n) {
            UpdateProgress(static_cast<double>(n + 1), "Loading...");
            const std::size_t k = order.empty() ? n : order[n];
            const int32_t offset = offsets[k];
            if (run && offset >= 0 && static_cast<std::size_t>(offset) <= run->terminator) {
                for (; run->cursor < static_cast<std::size_t>(offset); ++run->cursor)
                    run->cursorText += block[run->cursor] != 0;
                values[k] = {run->cursorText, run->textEnd - run->cursorText, true};
                values[run->first].shared = true;
                if (const std::string_view head = std::string_view(texts).substr(values[k].at, 2);
                    HasSingleBytePrefix(block.data() + offset, head))
                    prefixes[k] = head;
                continue;
            }
            std::size_t terminator = 0;
            const std::string_view text = ReadText(block, offset, scratch.get(), terminator);
            if (HasSingleBytePrefix(block.data() + offset, text))
                prefixes[k] = text.substr(0, 2);
            values[k] = {texts.size(), text.size()};
            texts += text;
            const auto at = static_cast<std::size_t>(offset);
            run = Run{at, terminator, at, values[k].at, texts.size(), k};
        }
    }
    CompactedSize = texts.size();
    Keys = std::move(keys);
    Texts = std::move(texts);
    Values = std::move(values);
    SingleBytePrefix = std::move(prefixes);
    EntryCount = count;
}

bool clsGXT::SaveGXT(const std::string& sFile)
{
    const std::size_t count = Values.size();
    const std::size_t textsAt = kTableAt + count * kKeyRecordSize + 8;
    std::size_t largest = textsAt;
    // Entries sharing bytes end where their text ends: each such group is written as its
    // longest text, the others pointing into it, as they did in the file loaded.
    std::unordered_map<std::size_t, std::size_t> longest;  // text end -> entry
    for (std::size_t k = 0; k < count; ++k) {
        const TextSpan& value = Values[k];
        if (!value.shared || value.size == 0) {  // an empty text gets a terminator of its own: a reload cannot tell it
                                                 // shared one, and saves must repeat
            largest += value.size * 2 + 2;
            continue;
        }
        const auto [it, isNew] = longest.try_emplace(value.at + value.size, k);
        if (isNew || value.size > Values[it->second].size)
            it->second = k;
    }
    std::unordered_map<std::size_t, std::size_t> writtenAt;  // text end -> offset of the group's text
    std::string out;
    out.reserve(largest);
    out += "GBL";
    out += Language_;
    out += 'd';
    out.push_back('\0');
    out += "TKEY";
    PutLE32(out, static_cast<uint32_t>(count * kKeyRecordSize));
    out.resize(textsAt - 8);  // the key records, filled in as their texts are laid out
    out += "TDAT";
    PutLE32(out, 0);  // the block size, filled in at the end
    {
        ProgressScope progress(1, static_cast<double>(count), "Saving...");
        for (std::size_t k = 0; k < count; ++k) {
            UpdateProgress(static_cast<double>(k + 1), "Saving...");
            const std::size_t record = kTableAt + k * kKeyRecordSize;
            std::memcpy(out.data() + record + 4, Keys[k].data(), kNameSize);
            if (Values[k].shared && Values[k].size != 0) {
                const std::size_t end = Values[k].at + Values[k].size, head = longest.at(end);
                const auto [it, isNew] = writtenAt.try_emplace(end, out.size() - textsAt);
                if (isNew)
                    EncodeValue(out, ValueOf(head), SingleBytePrefix[head]);
                // The tail starts at its first character's byte: decoding drops the zeros.
                const std::size_t skipped = Values[k].at - Values[head].at;
                const std::size_t singles = std::min(skipped, SingleBytes(ValueOf(head), SingleBytePrefix[head]));
                StoreLE32(out, record, it->second + singles + (skipped - singles) * 2);
            } else {
                StoreLE32(out, record, out.size() - textsAt);
                EncodeValue(out, ValueOf(k), SingleBytePrefix[k]);
            }
            // Offsets and the block size are signed 32-bit in the file.
            if (out.size() - textsAt > kLargestBlock)
                throw FileError(sFile, "the texts are too long to be stored in a GXT file");
        }
    }
    StoreLE32(out, textsAt - 4, out.size() - textsAt);
    SaveWithBackup(sFile, AsBytes(out));
    return true;
}

std::size_t clsGXT::SingleBytes(std::string_view Value, const std::string& KeptPrefix)
{
    return (!KeptPrefix.empty() && Value.starts_with(KeptPrefix)) || HasPrefixCode(Value) ? 2 : 0;
}

void clsGXT::EncodeValue(std::string& out, std::string_view Value, const std::string& KeptPrefix)
{
    const std::size_t start = SingleBytes(Value, KeptPrefix);
    // Each later character is a cell of the character and a zero byte; two zero bytes end it.
    const std::size_t at = out.size();
    out.resize(at + start + (Value.size() - start) * 2 + 2, '\0');
    char* cells = out.data() + at;
    for (std::size_t i = 0; i < start; ++i)
        *cells++ = Value[i];
    for (std::size_t i = start; i < Value.size(); ++i, cells += 2)
        *cells = Value[i];
}

bool clsGXT::HasPrefixCode(std::string_view Value)
{
    static const char* const kCodes[] = {"n!", "y!", "l!", "r!", "s!", "m!", "k!"};
    const std::string_view firstTwo = Value.substr(0, 2);
    for (const char* code : kCodes)
        if (firstTwo == code)
            return true;
    return false;
}

std::size_t clsGXT::Element(int32_t Idx) const
{
    if (Idx < 1 || Idx > EntryCount)
        throw std::out_of_range("text entry " + std::to_string(Idx) + " is outside 1 to " + std::to_string(EntryCount));
    return static_cast<std::size_t>(Idx - 1);
}

std::string clsGXT::GetKey(int32_t Idx) const
{
    const KeyName& name = Keys[Element(Idx)];
    return std::string(name.data(), kNameSize);
}

std::string clsGXT::GetValue(int32_t Idx) const
{
    return std::string(ValueOf(Element(Idx)));
}

void clsGXT::SetValue(int32_t Idx, const std::string& Value)
{
    const std::size_t k = Element(Idx);
    Values[k] = {};
    if (Texts.size() + Value.size() > 2 * CompactedSize + (std::size_t{64} << 10))
        CompactTexts();
    Values[k] = {Texts.size(), Value.size()};
    Texts += Value;
}

void clsGXT::CompactTexts()
{
    // Spans by where they start, longest first: each run of overlapping spans is kept
    // once, and every span in it moves with it.
    std::vector<std::size_t> order(Values.size());
    for (std::size_t k = 0; k < order.size(); ++k)
        order[k] = k;
    std::sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return Values[a].at != Values[b].at ? Values[a].at < Values[b].at : Values[a].size > Values[b].size;
    });
    std::string kept;
    std::size_t runStart = 0, runEnd = 0, runKeptAt = 0;
    bool inRun = false;
    for (const std::size_t k : order) {
        TextSpan& span = Values[k];
        if (span.size == 0) {
            span.at = 0;
            continue;
        }
        if (!inRun || span.at >= runEnd) {
            runStart = span.at;
            runEnd = span.at;
            runKeptAt = kept.size();
            inRun = true;
        }
        if (span.at + span.size > runEnd) {
            kept.append(Texts, runEnd, span.at + span.size - runEnd);
            runEnd = span.at + span.size;
        }
        span.at = runKeptAt + (span.at - runStart);
    }
    Texts = std::move(kept);
    CompactedSize = Texts.size();
}

std::string clsGXT::GetValueFromKey(const std::string& sKey) const
{
    for (std::size_t k = 0; k < Keys.size(); ++k) {
        const KeyName& name = Keys[k];
        const auto end = std::find(name.begin(), name.end(), '\0');
        if (std::string(name.begin(), end) == sKey)
            return std::string(ValueOf(k));
    }
    return {};
}

UnsupportedGxtLanguage::UnsupportedGxtLanguage(const std::string& file, char letter)
    : FileError(file, [letter] {
          std::string language;
          if (letter > ' ' && letter < 0x7F) {
              language = std::string("'") + letter + "'";
              if (letter == 'J')
                  language += " (Japanese)";
          } else {
              static const char kHex[] = "0123456789ABCDEF";
              const auto b = static_cast<unsigned char>(letter);
              language = std::string("byte 0x") + kHex[b >> 4] + kHex[b & 15];
          }
          return "the language " + language +
                 " is not supported: only English, French, German, Italian and Spanish GXT files are";
      }())
{
}

GxtCharset clsGXT::DetectCharset(std::string_view texts, const std::string& file)
{
    std::size_t gameFont = 0, windows1252 = 0, at = 0;
#if defined(__SSE2__)
    // Every load counts every byte: 64 at a time on x86, in lanes of one byte that are
    // emptied into the totals before they can overflow. As signed bytes, 0x80 to 0xB0
    // are those below -79; with the top bit flipped, 0xC0 to 0xFF are those above 63.
    const __m128i gameFontEnd = _mm_set1_epi8(-79), topBit = _mm_set1_epi8(-128), windowsStart = _mm_set1_epi8(63);
    constexpr std::size_t kStepsPerRound = 63;
    const auto total = [](__m128i lanes) {
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());  // two halves, each summed
        return static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
               static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    };
    const auto count = [&](__m128i b, __m128i& inGameFont, __m128i& inWindows1252) {
        inGameFont = _mm_sub_epi8(inGameFont, _mm_cmplt_epi8(b, gameFontEnd));  // a true lane is -1
        inWindows1252 = _mm_sub_epi8(inWindows1252, _mm_cmpgt_epi8(_mm_xor_si128(b, topBit), windowsStart));
    };
    const auto block = [&texts](std::size_t from) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(texts.data() + from));
    };
    while (at + 64 <= texts.size()) {
        __m128i inGameFont = _mm_setzero_si128(), inWindows1252 = _mm_setzero_si128();
        // Four blocks a step, at most 63 steps: a lane counts to 252 at most.
        for (std::size_t n = 0; n < kStepsPerRound && at + 64 <= texts.size(); ++n, at += 64) {
            const __m128i b[4] = {block(at), block(at + 16), block(at + 32), block(at + 48)};
            if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(b[0], b[1]), _mm_or_si128(b[2], b[3]))) == 0)
                continue;  // plain ASCII, most of most files: nothing to count
            for (const __m128i& each : b)
                count(each, inGameFont, inWindows1252);
        }
        gameFont += total(inGameFont);
        windows1252 += total(inWindows1252);
    }
#endif
    for (; at < texts.size(); ++at) {
        const auto b = static_cast<unsigned char>(texts[at]);
        gameFont += b >= 0x80 && b <= 0xB0 ? 1 : 0;
        windows1252 += b >= 0xC0 ? 1 : 0;
    }
    if (gameFont != windows1252)
        return gameFont > windows1252 ? GxtCharset::GameFont : GxtCharset::Windows1252;
    // The front-end menu files are bob_<letter>.gxt.
    const std::size_t slash = file.find_last_of("/\\");
    std::string name = file.substr(slash == std::string::npos ? 0 : slash + 1, 4);
    for (char& c : name)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return name == "bob_" ? GxtCharset::Windows1252 : GxtCharset::GameFont;
}

std::string clsGXT::GetText(int32_t Idx) const
{
    return DecodeGxtText(ValueOf(Element(Idx)), Charset_);
}

void clsGXT::SetText(int32_t Idx, std::string_view utf8)
{
    Element(Idx);
    SetValue(Idx, EncodeGxtText(utf8, Charset_));
}

std::array<char, 8> clsGXT::PaddedKey(const std::string& key)
{
    KeyName name{};
    std::memcpy(name.data(), key.data(), std::min(key.size(), kNameSize));
    return name;
}

int32_t clsGXT::FindKey(std::string_view key) const
{
    for (std::size_t k = 0; k < Keys.size(); ++k) {
        const KeyName& name = Keys[k];
        if (std::string_view(name.data(),
                             static_cast<std::size_t>(std::find(name.begin(), name.end(), '\0') - name.begin())) == key)
            return static_cast<int32_t>(k + 1);
    }
    return 0;
}

void clsGXT::CheckKey(const std::string& key, int32_t self) const
{
    if (key.empty() || key.size() >= kNameSize)
        throw std::invalid_argument("a key has 1 to 7 characters; \"" + key + "\" has " + std::to_string(key.size()));
    for (const char c : key)
        if (c <= ' ' || c >= 0x7F)
            throw std::invalid_argument("a key holds printable ASCII characters other than space only; \"" + key +
                                        "\" does not");
    for (std::size_t k = 0; k < Keys.size(); ++k) {
        const KeyName& name = Keys[k];
        const std::string_view used(name.data(),
                                    static_cast<std::size_t>(std::find(name.begin(), name.end(), '\0') - name.begin()));
        if (static_cast<int32_t>(k + 1) != self && used == key)
            throw std::invalid_argument("the key \"" + key + "\" is already used by entry " + std::to_string(k + 1));
    }
}

int32_t clsGXT::AddEntry(const std::string& key, std::string_view utf8)
{
    CheckKey(key, 0);
    const std::string bytes = EncodeGxtText(utf8, Charset_);
    Keys.push_back(PaddedKey(key));
    Values.push_back({Texts.size(), bytes.size()});
    Texts += bytes;
    SingleBytePrefix.emplace_back();
    return ++EntryCount;
}

void clsGXT::RenameEntry(int32_t Idx, const std::string& key)
{
    const std::size_t k = Element(Idx);
    CheckKey(key, Idx);
    Keys[k] = PaddedKey(key);
}

void clsGXT::RemoveEntry(int32_t Idx)
{
    const auto at = static_cast<std::ptrdiff_t>(Element(Idx));
    Keys.erase(Keys.begin() + at);
    Values.erase(Values.begin() + at);
    SingleBytePrefix.erase(SingleBytePrefix.begin() + at);
    --EntryCount;
}
