// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a text lies in a text file's text block, shared by the reader and the writer.
//
// A text is 16-bit cells, a character and a zero byte each, ended by two zero bytes; a
// text may begin with a letter and "!" stored as two single bytes (the game's markup,
// e.g. "n!" for a new line of a pager message). A reader takes every non-zero byte up to
// the first two zero bytes in a row, at any alignment, so a key may point into the
// middle of another key's text and read its tail.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gxt_bytes {

// Where the text starting at `from` ends: just past its two zero bytes; 0 when the
// block ends first.
std::size_t TextEnd(std::span<const uint8_t> block, std::size_t from);

// Where the bytes of a text that starts at `from` and ends at `end` (its TextEnd) stop:
// one further when its last two zero bytes end a cell of two, so that the cell's second
// zero byte goes with the text.
std::size_t CellEnd(std::span<const uint8_t> block, std::size_t from, std::size_t end);

// The text starting at `from`, which must end inside the block: its non-zero bytes.
std::string TextAt(std::span<const uint8_t> block, std::size_t from);

// Whether the text at `from`, which must end inside the block, is `text`; stops at the
// first difference.
bool TextIs(std::span<const uint8_t> block, std::size_t from, std::string_view text);

// Up to `count` leading characters of the text at `from`.
std::string TextStart(std::span<const uint8_t> block, std::size_t from, std::size_t count);

// Whether the text at `from` begins with a letter and "!" stored as two single bytes.
bool PrefixBytesAt(std::span<const uint8_t> block, std::size_t from);

// Whether a text begins with the game's markup: a lower-case letter and "!".
bool BeginsWithMarkup(std::string_view text);

// Appends the bytes `text` is written as, terminator included; with `prefixAsBytes` its
// first two characters are single bytes.
void AppendText(std::vector<uint8_t>& out, std::string_view text, bool prefixAsBytes);

}  // namespace gxt_bytes
