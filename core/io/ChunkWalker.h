#pragma once
// The walk over a chunked GTA2 file (style, map): a 6-byte file header, then chunks of a
// 4-character type, a signed 32-bit little-endian size and that many bytes. The walker
// hands each chunk to the format; a body the format does not ask for is passed over
// unread, and one that runs past the end of the file only ends the walk. A chunk type of
// four zero bytes ends the walk too: style files are padded with zeros after their last
// chunk, and a run of empty chunks with no type is nothing a format could use.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/io/ByteSource.h"

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
    std::size_t At() const { return at_; }
    std::size_t Size() const { return size_; }
    // `chunk "TYPE" at offset N`, to begin a refusal with.
    std::string Where() const;

    // Refuses the chunk when its body runs past the end of the file.
    void RequireBody() const;
    // The body, valid until the walk goes on: from memory a view, from a file read now.
    std::span<const uint8_t> Body();
    // The body into `out`, for bytes the model keeps as they are.
    void BodyInto(std::vector<uint8_t>& out);
    // The next n bytes of the body, for a reader that takes a large body in pieces so
    // that it never holds two copies of it; what it leaves is passed over. The whole
    // body must be in the file.
    std::span<const uint8_t> Piece(std::size_t n);
    [[noreturn]] void Refuse(const std::string& problem) const;

private:
    friend class ChunkWalker;
    FileChunk(ByteSource& source, ChunkDialect dialect, std::string_view type, std::size_t at, std::size_t size);

    ByteSource& source_;
    ChunkDialect dialect_;
    std::string upper_;
    std::string shown_;
    std::size_t at_;
    std::size_t size_;
    std::size_t taken_ = 0;
};

class ChunkWalker {
public:
    // A walker that does not own the progress window only updates it, for a reader that
    // shows its own around the walk and the work that follows it.
    ChunkWalker(ByteSource& source, ChunkDialect dialect, bool ownProgress = true)
        : source_(source), dialect_(dialect), ownProgress_(ownProgress)
    {
    }

    // Passes over the file header, refusing a shorter file with `tooShort`, then hands
    // every chunk to `visit` in file order, showing progress by position.
    void Walk(const std::string& tooShort, const std::function<void(FileChunk&)>& visit);

private:
    [[noreturn]] void CutHeader(std::size_t at, const std::string& shownType) const;

    ByteSource& source_;
    ChunkDialect dialect_;
    bool ownProgress_;
};
