#include "core/gxt/clsGXT.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>
#include <utility>

#include "core/common/modGTA2.h"
#include "core/io/ByteReader.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"

namespace {

constexpr int32_t kKeyRecordSize = 12;
constexpr std::size_t kNameSize = 8;
constexpr std::size_t kLargestBlock = static_cast<std::size_t>(std::numeric_limits<int32_t>::max());

// Anything in the file's layout that does not hold together. Caught by ReadGXT only.
class BadLayout : public std::runtime_error {
public:
    BadLayout() : std::runtime_error(kInvalidGXTMessage) {}
};

void Expect(ByteReader& r, const char (&tag)[5])
{
    if (r.Text(4) != tag)
        throw BadLayout();
}

bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

void PutI32(std::string& out, int32_t v)
{
    const auto u = static_cast<uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((u >> shift) & 0xFF));
}

// Reads the text starting at `offset` up to the first pair of zero bytes, at any
// alignment, dropping every zero byte. `singleBytePrefix` receives the first two
// characters when they are a letter and "!" stored as two single bytes. `scratch`
// has room for the whole block; the text is gathered there. Every read is of bytes
// between `offset` and the end of the block.
std::string_view ReadText(std::span<const uint8_t> block, int32_t offset, std::string& singleBytePrefix, char* scratch)
{
    if (offset < 0 || static_cast<std::size_t>(offset) >= block.size())
        throw BadLayout();
    const uint8_t* const start = block.data() + offset;
    const uint8_t* const end = block.data() + block.size();
    const uint8_t* p = start;
    char* out = scratch;
    bool previousZero = false;
    for (;;) {
        if constexpr (std::endian::native == std::endian::little) {
            // The common case, sixteen bytes at a time: eight cells, each a character
            // other than zero followed by a zero byte. No terminator can lie among them.
            constexpr uint64_t kHighBytes = 0xFF00FF00FF00FF00u;
            constexpr uint64_t kLowBytes = 0x00FF00FF00FF00FFu;
            constexpr uint64_t kCarries = 0x0100010001000100u;
            const uint8_t* const before = p;
            while (end - p >= 16) {
                uint64_t first = 0;
                uint64_t second = 0;
                std::memcpy(&first, p, 8);
                std::memcpy(&second, p + 8, 8);
                if (((first | second) & kHighBytes) != 0 ||
                    ((first + kLowBytes) & (second + kLowBytes) & kCarries) != kCarries)
                    break;
                first = (first | first >> 8) & 0x0000FFFF0000FFFFu;
                second = (second | second >> 8) & 0x0000FFFF0000FFFFu;
                first = (first | first >> 16) & 0xFFFFFFFFu;
                second = (second | second >> 16) << 32;
                const uint64_t eight = first | second;
                std::memcpy(out, &eight, 8);
                out += 8;
                p += 16;
            }
            if (p != before)
                previousZero = true;
        }
        if (p == end)
            throw BadLayout();  // running off the block means there was no terminator
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

    singleBytePrefix.clear();
    // Two characters were read before the terminator, so start[1] lies inside the block.
    if (value.size() >= 2 && start[0] != 0 && start[1] != 0 && IsLetter(value[0]) && value[1] == '!')
        singleBytePrefix = value.substr(0, 2);
    return value;
}

}  // namespace

void clsGXT::ReadGXT(const std::string& sFile)
{
    const std::vector<uint8_t> bytes = ReadWholeFile(sFile);
    clsGXT fresh;
    try {
        fresh.ReadFrom(bytes);
    } catch (const BadLayout&) {
        throw InvalidGXT(sFile);
    } catch (const TruncatedData&) {
        throw InvalidGXT(sFile);
    }
    *this = std::move(fresh);
}

bool clsGXT::LoadGXT(const std::string& sFile)
{
    try {
        ReadGXT(sFile);
        return true;
    } catch (const InvalidGXT&) {
        ShowUserMessage(kInvalidGXTMessage, "Error", MessageIcon::Warning);
    } catch (const FileError& e) {
        ShowUserMessage(e.what(), "Error", MessageIcon::Warning);
    }
    return false;
}

void clsGXT::ReadFrom(std::span<const uint8_t> file)
{
    ByteReader r(file);
    if (r.Text(5) != "GBLEd")
        throw BadLayout();
    r.Skip(1);  // written as 0, any value accepted
    Expect(r, "TKEY");

    const int32_t tableSize = r.I32();
    if (tableSize < 0 || tableSize % kKeyRecordSize != 0)
        throw BadLayout();
    // The whole table in one checked read, then cut into its records.
    const std::span<const uint8_t> table = r.Bytes(static_cast<std::size_t>(tableSize));
    const int32_t count = tableSize / kKeyRecordSize;
    std::vector<GXTKey> keys(static_cast<std::size_t>(count));
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const uint8_t* record = table.data() + k * kKeyRecordSize;
        keys[k].Offset = static_cast<int32_t>(uint32_t{record[0]} | uint32_t{record[1]} << 8 |
                                              uint32_t{record[2]} << 16 | uint32_t{record[3]} << 24);
        std::memcpy(keys[k].Name.data(), record + 4, kNameSize);
    }

    Expect(r, "TDAT");
    const int32_t blockSize = r.I32();
    if (blockSize < 0)
        throw BadLayout();
    const std::span<const uint8_t> block = r.Bytes(static_cast<std::size_t>(blockSize));
    // Whatever follows the text block is ignored.

    std::string texts;
    texts.reserve(block.size() / 2);  // most texts are cells of two bytes a character
    std::vector<TextSpan> values(keys.size());
    std::vector<std::string> prefixes(keys.size());
    // No text is longer than the block, whatever the offsets.
    const auto scratch = std::make_unique_for_overwrite<char[]>(block.size());
    {
        ProgressScope progress(1, count, "Loading...");
        for (std::size_t k = 0; k < keys.size(); ++k) {
            UpdateProgress(static_cast<double>(k + 1), "Loading...");
            const std::string_view text = ReadText(block, keys[k].Offset, prefixes[k], scratch.get());
            values[k] = {texts.size(), text.size()};
            texts += text;
        }
    }
    Keys = std::move(keys);
    Texts = std::move(texts);
    Values = std::move(values);
    SingleBytePrefix = std::move(prefixes);
    EntryCount = count;
}

bool clsGXT::SaveGXT(const std::string& sFile)
{
    // The whole file is built in one buffer before the progress loop: the progress
    // updates let other events run, which may change or replace the model, and what is
    // written is the model as it was when the save began.
    const std::size_t count = Values.size();
    const std::size_t tableAt = 14;
    const std::size_t textsAt = tableAt + count * kKeyRecordSize + 8;
    std::size_t largest = 0;
    for (const TextSpan& value : Values)
        largest += value.size * 2 + 2;

    std::string out;
    out.reserve(textsAt + largest);
    out += "GBLEd";
    out.push_back('\0');
    out += "TKEY";
    PutI32(out, static_cast<int32_t>(count) * kKeyRecordSize);
    out.resize(textsAt - 8);  // the key records, filled in below
    out += "TDAT";
    PutI32(out, 0);  // the block size, filled in below

    std::vector<int32_t> offsets(count);
    std::size_t tooLongAt = count;  // the first entry that does not fit, if any
    for (std::size_t k = 0; k < count; ++k) {
        offsets[k] = static_cast<int32_t>(out.size() - textsAt);
        EncodeValue(out, ValueOf(k), SingleBytePrefix[k]);
        // Offsets and the block size are signed 32-bit in the file.
        if (out.size() - textsAt > kLargestBlock) {
            tooLongAt = k;
            break;
        }
    }
    if (tooLongAt == count) {
        std::string record;
        for (std::size_t k = 0; k < count; ++k) {
            record.clear();
            PutI32(record, offsets[k]);
            record.append(Keys[k].Name.data(), kNameSize);
            out.replace(tableAt + k * kKeyRecordSize, kKeyRecordSize, record);
        }
        std::string blockSize;
        PutI32(blockSize, static_cast<int32_t>(out.size() - textsAt));
        out.replace(textsAt - 4, 4, blockSize);
    }

    {
        ProgressScope progress(1, static_cast<double>(count), "Saving...");
        for (std::size_t k = 0; k < count; ++k) {
            UpdateProgress(static_cast<double>(k + 1), "Saving...");
            if (k == tooLongAt)
                throw FileError(sFile, "the texts are too long to be stored in a GXT file");
        }
    }

    SaveWithBackup(sFile, AsBytes(out));

    // The offsets describe the file just written; keep them unless the model was
    // replaced in the meantime.
    if (Keys.size() == offsets.size())
        for (std::size_t k = 0; k < offsets.size(); ++k)
            Keys[k].Offset = offsets[k];
    return true;
}

void clsGXT::EncodeValue(std::string& out, std::string_view Value, const std::string& KeptPrefix)
{
    std::size_t start = 0;
    if ((!KeptPrefix.empty() && Value.starts_with(KeptPrefix)) || HasPrefixCode(Value))
        start = 2;
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
    const GXTKey& key = Keys[Element(Idx)];
    return std::string(key.Name.data(), kNameSize);
}

std::string clsGXT::GetValue(int32_t Idx) const
{
    return std::string(ValueOf(Element(Idx)));
}

void clsGXT::SetValue(int32_t Idx, const std::string& Value)
{
    const std::size_t k = Element(Idx);
    Values[k] = {Texts.size(), Value.size()};
    Texts += Value;
}

std::string clsGXT::GetValueFromKey(const std::string& sKey) const
{
    for (std::size_t k = 0; k < Keys.size(); ++k) {
        const std::array<char, 8>& name = Keys[k].Name;
        const auto end = std::find(name.begin(), name.end(), '\0');
        if (std::string(name.begin(), end) == sKey)
            return std::string(ValueOf(k));
    }
    return {};
}
