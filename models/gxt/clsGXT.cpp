#include "models/gxt/clsGXT.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <utility>

#include "app/modGTA2.h"
#include "models/io/ByteReader.h"
#include "models/io/FileError.h"
#include "models/io/FileIO.h"

namespace {

const char kInvalidFile[] = "Error - No a valid GXT file!";
constexpr int32_t kKeyRecordSize = 12;
constexpr std::size_t kNameSize = 8;
constexpr std::size_t kLargestBlock = static_cast<std::size_t>(std::numeric_limits<int32_t>::max());

// Anything in the file's layout that does not hold together. Caught by LoadGXT only.
class InvalidGXT : public std::runtime_error {
public:
    InvalidGXT() : std::runtime_error(kInvalidFile) {}
};

void Expect(ByteReader& r, const char (&tag)[5])
{
    if (r.Text(4) != tag)
        throw InvalidGXT();
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
// characters when they are a letter and "!" stored as two single bytes.
std::string ReadText(ByteReader& block, int32_t offset, std::string& singleBytePrefix)
{
    if (offset < 0 || static_cast<std::size_t>(offset) >= block.Size())
        throw InvalidGXT();
    block.Seek(static_cast<std::size_t>(offset));

    std::string value;
    std::size_t raw = 0;  // bytes consumed so far
    bool firstTwoAdjacent = true;
    bool previousZero = false;
    for (;; ++raw) {
        const uint8_t b = block.U8();  // running off the block means there was no terminator
        if (b == 0) {
            if (previousZero)
                break;
            previousZero = true;
            continue;
        }
        previousZero = false;
        if (value.size() < 2 && raw != value.size())
            firstTwoAdjacent = false;
        value.push_back(static_cast<char>(b));
    }
    singleBytePrefix.clear();
    if (value.size() >= 2 && firstTwoAdjacent && IsLetter(value[0]) && value[1] == '!')
        singleBytePrefix = value.substr(0, 2);
    return value;
}

}  // namespace

bool clsGXT::LoadGXT(const std::string& sFile)
{
    std::vector<uint8_t> bytes;
    try {
        bytes = ReadWholeFile(sFile);
    } catch (const FileError& e) {
        ShowUserMessage(e.what(), "Error", MessageIcon::Warning);
        return false;
    }

    clsGXT fresh;
    try {
        fresh.ReadFrom(bytes);
    } catch (const InvalidGXT&) {
        ShowUserMessage(kInvalidFile, "Error", MessageIcon::Warning);
        return false;
    } catch (const TruncatedData&) {
        ShowUserMessage(kInvalidFile, "Error", MessageIcon::Warning);
        return false;
    }
    *this = std::move(fresh);
    return true;
}

void clsGXT::ReadFrom(std::span<const uint8_t> file)
{
    ByteReader r(file);
    if (r.Text(5) != "GBLEd")
        throw InvalidGXT();
    r.Skip(1);  // written as 0, any value accepted
    Expect(r, "TKEY");

    const int32_t tableSize = r.I32();
    if (tableSize < 0 || tableSize % kKeyRecordSize != 0)
        throw InvalidGXT();
    ByteReader table = r.Sub(static_cast<std::size_t>(tableSize));
    const int32_t count = tableSize / kKeyRecordSize;
    std::vector<GXTKey> keys(static_cast<std::size_t>(count));
    for (GXTKey& key : keys) {
        key.Offset = table.I32();
        const auto name = table.Bytes(kNameSize);
        std::copy(name.begin(), name.end(), key.Name.begin());
    }

    Expect(r, "TDAT");
    const int32_t blockSize = r.I32();
    if (blockSize < 0)
        throw InvalidGXT();
    ByteReader block = r.Sub(static_cast<std::size_t>(blockSize));
    // Whatever follows the text block is ignored.

    std::vector<std::string> values(keys.size());
    std::vector<std::string> prefixes(keys.size());
    {
        ProgressScope progress(1, count, "Loading...");
        for (std::size_t k = 0; k < keys.size(); ++k) {
            UpdateProgress(static_cast<double>(k + 1), "Loading...");
            values[k] = ReadText(block, keys[k].Offset, prefixes[k]);
        }
    }
    Keys = std::move(keys);
    Values = std::move(values);
    SingleBytePrefix = std::move(prefixes);
    EntryCount = count;
}

bool clsGXT::SaveGXT(const std::string& sFile)
{
    // Work on copies: the progress updates let other events run while we encode.
    const std::vector<std::string> values = Values;
    const std::vector<std::string> prefixes = SingleBytePrefix;
    const std::vector<GXTKey> keys = Keys;

    std::vector<int32_t> offsets(values.size());
    std::string texts;
    {
        ProgressScope progress(1, static_cast<double>(values.size()), "Saving...");
        for (std::size_t k = 0; k < values.size(); ++k) {
            UpdateProgress(static_cast<double>(k + 1), "Saving...");
            offsets[k] = static_cast<int32_t>(texts.size());
            texts += EncodeValue(values[k], prefixes[k]);
            // Offsets and the block size are signed 32-bit in the file.
            if (texts.size() > kLargestBlock)
                throw FileError(sFile, "the texts are too long to be stored in a GXT file");
        }
    }

    std::string out;
    out.reserve(22 + keys.size() * kKeyRecordSize + texts.size());
    out += "GBLEd";
    out.push_back('\0');
    out += "TKEY";
    PutI32(out, static_cast<int32_t>(keys.size()) * kKeyRecordSize);
    for (std::size_t k = 0; k < keys.size(); ++k) {
        PutI32(out, offsets[k]);
        out.append(keys[k].Name.data(), kNameSize);
    }
    out += "TDAT";
    PutI32(out, static_cast<int32_t>(texts.size()));
    out += texts;

    SaveWithBackup(sFile, AsBytes(out));

    // The offsets describe the file just written; keep them unless the model was
    // replaced in the meantime.
    if (Keys.size() == offsets.size())
        for (std::size_t k = 0; k < offsets.size(); ++k)
            Keys[k].Offset = offsets[k];
    return true;
}

std::string clsGXT::EncodeValue(const std::string& Value, const std::string& KeptPrefix)
{
    std::string out;
    out.reserve(Value.size() * 2 + 2);
    std::size_t start = 0;
    if ((!KeptPrefix.empty() && Value.starts_with(KeptPrefix)) || HasPrefixCode(Value)) {
        out.append(Value, 0, 2);
        start = 2;
    }
    for (std::size_t i = start; i < Value.size(); ++i) {
        out.push_back(Value[i]);
        out.push_back('\0');
    }
    out.append(2, '\0');
    return out;
}

bool clsGXT::HasPrefixCode(const std::string& Value)
{
    static const char* const kCodes[] = {"n!", "y!", "l!", "r!", "s!", "m!", "k!"};
    const std::string firstTwo = Value.substr(0, 2);
    for (const char* code : kCodes)
        if (firstTwo == code)
            return true;
    return false;
}

std::size_t clsGXT::Element(int32_t Idx) const
{
    if (Idx < 1 || Idx > EntryCount)
        throw std::out_of_range("text entry " + std::to_string(Idx) + " is outside 1 to " +
                                std::to_string(EntryCount));
    return static_cast<std::size_t>(Idx - 1);
}

std::string clsGXT::GetKey(int32_t Idx) const
{
    const GXTKey& key = Keys[Element(Idx)];
    return std::string(key.Name.data(), kNameSize);
}

std::string clsGXT::GetValue(int32_t Idx) const
{
    return Values[Element(Idx)];
}

void clsGXT::SetValue(int32_t Idx, const std::string& Value)
{
    Values[Element(Idx)] = Value;
}

std::string clsGXT::GetValueFromKey(const std::string& sKey) const
{
    for (std::size_t k = 0; k < Keys.size(); ++k) {
        const std::array<char, 8>& name = Keys[k].Name;
        const auto end = std::find(name.begin(), name.end(), '\0');
        if (std::string(name.begin(), end) == sKey)
            return Values[k];
    }
    return {};
}
