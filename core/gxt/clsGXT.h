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

#include "core/gxt/GxtCharset.h"
#include "core/io/FileError.h"

// What the user is told of a file whose layout does not hold together.
inline constexpr char kInvalidGXTMessage[] = "Error - No a valid GXT file!";

// A file that was read but is not a text file we can take apart.
class InvalidGXT : public FileError {
public:
    explicit InvalidGXT(const std::string& file) : FileError(file, kInvalidGXTMessage) {}
};

// A text file in a language we do not handle: Japanese, whose texts are glyph numbers
// rather than characters, or a letter the game does not use.
class UnsupportedGxtLanguage : public FileError {
public:
    UnsupportedGxtLanguage(const std::string& file, char letter);
};

class clsGXT {
public:
    // Replaces the whole model with the file. An unreadable file throws FileError, a
    // damaged one InvalidGXT; either way the model stays as it was.
    void ReadGXT(const std::string& sFile);
    // The same from bytes in memory; sFile names them in messages.
    void ParseGXT(std::span<const uint8_t> bytes, const std::string& sFile);
    // ReadGXT, telling only whether the file was taken.
    bool LoadGXT(const std::string& sFile);
    // Writes the whole model to sFile, keeping the previous file as sFile + ".bak", and
    // returns true. Throws FileError naming the file when it cannot be written or backed
    // up; the previous file is then untouched.
    bool SaveGXT(const std::string& sFile);

    int32_t GetEntries() const { return EntryCount; }
    // The 8-character name, padding zeros included.
    std::string GetKey(int32_t Idx) const;
    std::string GetValue(int32_t Idx) const;
    void SetValue(int32_t Idx, const std::string& Value);
    // The value of the first entry whose name (up to its first zero) is sKey, or "".
    std::string GetValueFromKey(const std::string& sKey) const;

    // The header's language letter: E, F, G, I or S ('E' for a new model).
    char Language() const { return Language_; }
    // How the texts' bytes are shown; set at load from the bytes and the file name.
    GxtCharset Charset() const { return Charset_; }
    // Changes only how bytes are shown and typed, never a byte.
    void SetCharset(GxtCharset charset) { Charset_ = charset; }
    // The text as UTF-8 through the charset.
    std::string GetText(int32_t Idx) const;
    // Stores UTF-8 through the charset; throws UnstorableCharacter (an
    // std::invalid_argument) for the first character it has no byte for, changing nothing.
    void SetText(int32_t Idx, std::string_view utf8);

    // A key is 1 to 7 printable ASCII characters, no space, unique in the file (case
    // counts); anything else is refused with std::invalid_argument saying why.
    // Appends an entry and returns its index.
    int32_t AddEntry(const std::string& key, std::string_view utf8);
    void RenameEntry(int32_t Idx, const std::string& key);
    void RemoveEntry(int32_t Idx);
    // The index of the first entry named `key` (up to its first zero), 0 when none is.
    int32_t FindKey(std::string_view key) const;

private:
    // Throws std::invalid_argument unless `key` may name entry `self` (0: a new one).
    void CheckKey(const std::string& key, int32_t self) const;
    static std::array<char, 8> PaddedKey(const std::string& key);
    // The charset the texts' bytes and the file's name point to.
    static GxtCharset DetectCharset(std::string_view texts, const std::string& file);

    static bool HasPrefixCode(std::string_view Value);
    // Appends the bytes a value is written as, terminator included.
    static void EncodeValue(std::string& out, std::string_view Value, const std::string& KeptPrefix);
    // How many leading characters EncodeValue writes as single bytes: 0 or 2.
    static std::size_t SingleBytes(std::string_view Value, const std::string& KeptPrefix);
    // Fills this (fresh) model from the file's bytes; throws on anything damaged.
    void ReadFrom(std::span<const uint8_t> file);
    using KeyName = std::array<char, 8>;
    std::size_t Element(int32_t Idx) const;

    // Where a value lies in Texts. Entries whose texts overlap in the file (the same
    // text, or a tail of it) share their bytes here too, until one is edited; `shared`
    // marks them, and a save writes each such text once, with the others pointing into it.
    struct TextSpan {
        std::size_t at = 0;
        std::size_t size = 0;
        bool shared = false;
    };
    std::string_view ValueOf(std::size_t k) const
    {
        return std::string_view(Texts).substr(Values[k].at, Values[k].size);
    }

    // Drops the bytes no value uses any more, keeping shared bytes shared.
    void CompactTexts();

    // Every value back to back, followed by those SetValue has stored since: a load
    // makes one allocation for all texts, not one each.
    std::string Texts;
    // The size of Texts after the load or the last compaction: SetValue compacts once
    // the texts have grown to twice that, so edits never grow memory without bound.
    std::size_t CompactedSize = 0;
    std::vector<TextSpan> Values;
    // Each entry's name as stored, padded with zero bytes to 8.
    std::vector<KeyName> Keys;
    // Per entry: the letter and "!" the loaded text began with when they were stored as
    // two single bytes (the game's files have such prefixes beyond the seven codes), or
    // "" when it did not. Saving writes that prefix the same way while the value keeps it.
    std::vector<std::string> SingleBytePrefix;
    int32_t EntryCount = 0;
    char Language_ = 'E';
    GxtCharset Charset_ = GxtCharset::GameFont;
};
