#pragma once
// The in-memory model of one GTA2 text file (.gxt): a table of 8-byte key names and
// their texts. Names and values are bytes, one character a byte. Entries are numbered
// from 1 in every public operation.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/io/FileError.h"

inline constexpr char kInvalidGXTMessage[] = "Error - No a valid GXT file!";

// A file that can be read but is no text table.
class InvalidGXT : public FileError {
public:
    explicit InvalidGXT(const std::string& file) : FileError(file, kInvalidGXTMessage) {}
};

// One key record as it lies in the file: the text's offset in the text block, then the
// name padded with zero bytes to 8.
struct GXTKey {
    int32_t Offset = 0;
    std::array<char, 8> Name{};
};

class clsGXT {
public:
    // Replaces the whole model with the file. Throws FileError naming the file when it
    // cannot be read, InvalidGXT when it is damaged; the model then stays as it was.
    void ReadGXT(const std::string& sFile);
    // ReadGXT with a message to the user instead of the throw; false when refused.
    bool LoadGXT(const std::string& sFile);
    // Writes the whole model to sFile, keeping the previous file as sFile + ".bak".
    // Throws FileError naming the file when it cannot be written or backed up; the
    // previous file is then untouched.
    bool SaveGXT(const std::string& sFile);

    int32_t GetEntries() const { return EntryCount; }
    // The 8-character name, padding zeros included.
    std::string GetKey(int32_t Idx) const;
    std::string GetValue(int32_t Idx) const;
    void SetValue(int32_t Idx, const std::string& Value);
    // The value of the first entry whose name (up to its first zero) is sKey, or "".
    std::string GetValueFromKey(const std::string& sKey) const;

private:
    static bool HasPrefixCode(std::string_view Value);
    // Appends the bytes a value is written as, terminator included.
    static void EncodeValue(std::string& out, std::string_view Value, const std::string& KeptPrefix);
    // Fills this (fresh) model from the file's bytes; throws on anything damaged.
    void ReadFrom(std::span<const uint8_t> file);
    std::size_t Element(int32_t Idx) const;

    // Where a value lies in Texts.
    struct TextSpan {
        std::size_t at = 0;
        std::size_t size = 0;
    };
    std::string_view ValueOf(std::size_t k) const
    {
        return std::string_view(Texts).substr(Values[k].at, Values[k].size);
    }

    // Every value back to back, followed by those SetValue has stored since: a load
    // makes one allocation for all texts, not one each.
    std::string Texts;
    std::vector<TextSpan> Values;
    std::vector<GXTKey> Keys;
    // Per entry: the letter and "!" the loaded text began with when they were stored as
    // two single bytes (the game's files have such prefixes beyond the seven codes), or
    // "" when it did not. Saving writes that prefix the same way while the value keeps it.
    std::vector<std::string> SingleBytePrefix;
    int32_t EntryCount = 0;
};
