// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The walk over a chunked GTA2 file (style, map) held in memory: a 6-byte file header,
// then chunks of a 4-character type, a signed 32-bit little-endian size and that many
// bytes. The walker hands each chunk to the format with a reader over its body; a body
// that runs past the end of the file is refused only when the format asks for it, and
// otherwise ends the walk. A chunk type of four zero bytes ends the walk too: style files
// are padded with zeros after their last chunk, and a run of empty chunks with no type
// is nothing a format could use.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/Progress.h"
#include "core/io/ByteReader.h"

// The file header: a 4-character tag naming the kind of file, then a 16-bit version.
inline constexpr std::size_t kChunkedFileHeaderSize = 6;
// The tag a chunked file begins with; empty when the bytes are too few to hold one.
std::string_view FileTag(std::span<const uint8_t> bytes);
// A chunk's header: its 4-character type and the signed 32-bit size of its body.
inline constexpr std::size_t kChunkHeaderSize = 8;
// Appends a chunk of `type` (4 characters, spelt as the file has it) holding `body`.
void AppendChunk(std::vector<uint8_t>& out, std::string_view type, std::span<const uint8_t> body);

// The type as the user should see it: the file's 8-bit characters as UTF-8, control
// characters as '?'.
std::string PrintableTag(std::string_view tag);
// ASCII letters in upper case, every other byte as it is.
std::string UpperAscii(std::string_view text);

// The two formats word two refusals differently.
enum class ChunkDialect { Style, Map };

class FileChunk {
public:
    const std::string& Type() const { return upper_; }  // upper case, for comparing
    const std::string& Shown() const { return shown_; }
    std::size_t At() const { return at_; }  // of the chunk's header in the file
    std::size_t BodyAt() const;             // of its body in the file
    std::size_t Size() const { return size_; }
    // `chunk "TYPE" at offset N`, to begin a refusal with.
    std::string Where() const;

    // Refuses the chunk when its body runs past the end of the file.
    void RequireBody() const;
    // A reader over the whole body, refused as RequireBody refuses.
    ByteReader Body() const;
    [[noreturn]] void Refuse(const std::string& problem) const;

private:
    friend class ChunkWalker;
    FileChunk(const std::string& file, ChunkDialect dialect, std::string_view type, std::size_t at, std::size_t size,
              std::span<const uint8_t> present);

    const std::string& file_;
    ChunkDialect dialect_;
    std::string upper_;
    std::string shown_;
    std::size_t at_;
    std::size_t size_;
    std::span<const uint8_t> present_;  // as much of the body as the file holds
};

class ChunkWalker {
public:
    // `name` is what messages call the bytes; the walk is shown on `progress` by position.
    ChunkWalker(std::span<const uint8_t> bytes, const std::string& name, ChunkDialect dialect,
                Progress& progress = NoProgress())
        : bytes_(bytes), name_(name), dialect_(dialect), progress_(progress)
    {
    }

    // Passes over the file header, refusing a shorter file with `tooShort`, then hands
    // every chunk to `visit` in file order, showing progress by position.
    void Walk(const std::string& tooShort, const std::function<void(const FileChunk&)>& visit);

private:
    [[noreturn]] void CutHeader(std::size_t at, const std::string& shownType) const;

    std::span<const uint8_t> bytes_;
    std::string name_;
    ChunkDialect dialect_;
    Progress& progress_;
};
