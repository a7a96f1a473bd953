// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The in-memory model of one GTA2 text file (.gxt): a table of 8-byte key names and
// their texts. Names and values are bytes, one character a byte. Entries are numbered
// from 1 in every public operation.
//
// The model keeps the text block as it was read and, per entry, where its text stood in
// it. A save without an edit gives back the file read, byte for byte; an edited text is
// written in its own place with the texts after it moved along, so that a binary diff of
// a one-word fix shows that word and the offsets after it. The key table is written
// sorted by the 8-byte names, as the game looks keys up by halving it.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/Progress.h"
#include "core/gxt/GxtCharset.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"

// What the user is told of a file whose layout does not hold together.
inline constexpr char kInvalidGXTMessage[] = "Error - No a valid GXT file!";

// The largest text file read or written. The game's text files are about 340 KB; even
// one with every text of every language stays far below this.
inline constexpr SizeLimit kLargestTextFile{uint64_t{64} << 20, "text file"};

// A file that was read but is not a text file we can take apart. The message is
// kInvalidGXTMessage, then on a line of its own what is wrong.
class InvalidGXT : public FileError {
public:
    InvalidGXT(const std::string& file, const std::string& why)
        : FileError(file, std::string(kInvalidGXTMessage) + "\n" + why)
    {
    }
};

// A text file in a language we do not handle: Japanese, whose texts are glyph numbers
// rather than characters, or a letter the game does not use.
class UnsupportedGxtLanguage : public FileError {
public:
    UnsupportedGxtLanguage(const std::string& file, char letter);
};

// The texts would make a file larger than kLargestTextFile; nothing was written.
class GxtTooLarge : public std::runtime_error {
public:
    explicit GxtTooLarge(uint64_t bytes);
};

class clsGXT {
public:
    // Replaces the whole model with the file. An unreadable file throws FileError, a
    // damaged one InvalidGXT; either way the model stays as it was.
    void ReadGXT(const std::string& sFile, Progress& progress = NoProgress());
    // The same from bytes in memory; sFile names them in messages.
    void ParseGXT(std::span<const uint8_t> bytes, const std::string& sFile, Progress& progress = NoProgress());
    // ReadGXT, telling only whether the file was taken.
    bool LoadGXT(const std::string& sFile);
    // The bytes a save writes. Throws GxtTooLarge when they would pass kLargestTextFile.
    std::vector<uint8_t> Serialize(Progress& progress = NoProgress()) const;
    // Writes Serialize() to sFile, keeping the previous file as sFile + ".bak", and
    // returns true. Throws FileError naming the file when it cannot be written or backed
    // up, or would be too large; the previous file is then untouched.
    bool SaveGXT(const std::string& sFile, Progress& progress = NoProgress());

    int32_t GetEntries() const { return static_cast<int32_t>(entries_.size()); }
    // The 8-character name, padding zeros included.
    std::string GetKey(int32_t Idx) const;
    std::string GetValue(int32_t Idx) const;
    // Setting a text back to what the file held makes it unedited again: it is saved
    // as it was read.
    void SetValue(int32_t Idx, const std::string& Value);
    // The value of the first entry whose name (up to its first zero) is sKey, or "".
    std::string GetValueFromKey(const std::string& sKey) const;

    // The header's language letter: E, F, G, I or S ('E' for a new model).
    char Language() const { return language_; }
    // How the texts' bytes are shown; set at load from the bytes and the file name.
    GxtCharset Charset() const { return charset_; }
    // Changes only how bytes are shown and typed, never a byte.
    void SetCharset(GxtCharset charset) { charset_ = charset; }
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
    // The entry's text stays in the text block (as bytes no key points at, unless others
    // share it), so that the texts after it keep their offsets.
    void RemoveEntry(int32_t Idx);
    // The index of the first entry named `key` (up to its first zero), 0 when none is.
    int32_t FindKey(std::string_view key) const;

private:
    using KeyName = std::array<char, 8>;
    // Marks an entry added since the load: it has no text in the block read.
    static constexpr uint32_t kNoText = UINT32_MAX;

    // 24 bytes an entry: a file of millions of keys loads in a few times its own size.
    struct Entry {
        KeyName key{};                // as stored, padded with zero bytes
        uint32_t original = kNoText;  // where its text starts in the block read
        // Once edited, its text is edits_[at, at + size).
        uint32_t at = 0;
        uint32_t size = 0;
        bool edited = false;
    };
    static_assert(sizeof(Entry) == 24);

    // Fills this (fresh) model from the file's bytes; throws on anything damaged.
    void ReadFrom(std::span<const uint8_t> file, Progress& progress);
    // The charset the texts' bytes and the file's name point to.
    static GxtCharset DetectCharset(std::span<const uint8_t> texts, const std::string& file);

    std::size_t Element(int32_t Idx) const;
    // Throws std::invalid_argument unless `key` may name entry `self` (0: a new one).
    void CheckKey(const std::string& key, int32_t self) const;
    static KeyName PaddedKey(const std::string& key);
    static std::string_view NameOf(const KeyName& key);
    // The game's order of keys: the 8 padded bytes compared one by one, unsigned.
    static bool KeyBefore(const KeyName& a, const KeyName& b);

    // The text block read, and what followed it in the file.
    std::span<const uint8_t> Block() const;
    std::span<const uint8_t> Tail() const;
    std::string ValueOf(const Entry& e) const;
    void Store(Entry& e, std::string_view value);
    void CompactEdits();

    // The new text block appended to `out`; `at` gets each entry's offset in it.
    void LayOutTexts(std::vector<uint8_t>& out, std::vector<uint32_t>& at) const;
    // Whether `value`, the edited text of `e`, begins with a letter and "!" written as
    // two single bytes.
    bool PrefixAsBytes(const Entry& e, std::string_view value) const;

    // The file from its text block on, as read; copies of the model share it.
    std::shared_ptr<const std::vector<uint8_t>> read_;
    std::size_t blockSize_ = 0;
    std::vector<Entry> entries_;
    // The edited texts back to back, with those replaced since the last compaction.
    std::string edits_;
    // The size of edits_ after the last compaction: Store compacts once it has grown to
    // twice that, so edits never grow memory without bound.
    std::size_t compactedSize_ = 0;
    char language_ = 'E';
    uint8_t version_ = 0;  // the header's sixth byte, written back as read
    GxtCharset charset_ = GxtCharset::GameFont;
};
