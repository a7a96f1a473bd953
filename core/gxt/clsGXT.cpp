// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gxt/clsGXT.h"

#include <limits>
#include <stdexcept>

#include "core/gxt/GxtTextBytes.h"

std::size_t clsGXT::Element(int32_t Idx) const
{
    if (Idx < 1 || Idx > GetEntries())
        throw std::out_of_range("text entry " + std::to_string(Idx) + " is outside 1 to " +
                                std::to_string(GetEntries()));
    return static_cast<std::size_t>(Idx - 1);
}

std::span<const uint8_t> clsGXT::Block() const
{
    return read_ ? std::span<const uint8_t>(*read_).first(blockSize_) : std::span<const uint8_t>();
}

std::span<const uint8_t> clsGXT::Tail() const
{
    return read_ ? std::span<const uint8_t>(*read_).subspan(blockSize_) : std::span<const uint8_t>();
}

std::string clsGXT::GetKey(int32_t Idx) const
{
    const KeyName& name = entries_[Element(Idx)].key;
    return std::string(name.data(), name.size());
}

std::string clsGXT::ValueOf(const Entry& e) const
{
    if (e.edited)
        return edits_.substr(e.at, e.size);
    return gxt_bytes::TextAt(Block(), e.original);
}

std::string clsGXT::GetValue(int32_t Idx) const
{
    return ValueOf(entries_[Element(Idx)]);
}

void clsGXT::SetValue(int32_t Idx, const std::string& Value)
{
    Entry& e = entries_[Element(Idx)];
    if (e.original != kNoText && gxt_bytes::TextIs(Block(), e.original, Value))
        e.edited = false;
    else
        Store(e, Value);
}

void clsGXT::Store(Entry& e, std::string_view value)
{
    // Nothing longer could be saved; and offsets into edits_ stay 32-bit.
    if (value.size() > kLargestTextFile.bytes)
        throw std::invalid_argument("a text of " + std::to_string(value.size()) +
                                    " bytes is longer than a text file may be (64 MB)");
    if (edits_.size() + value.size() > 2 * compactedSize_ + (std::size_t{64} << 10))
        CompactEdits();
    if (edits_.size() + value.size() > std::numeric_limits<uint32_t>::max())
        throw std::invalid_argument("the edited texts are too long to keep");
    e.at = static_cast<uint32_t>(edits_.size());
    e.size = static_cast<uint32_t>(value.size());
    e.edited = true;
    edits_ += value;
}

void clsGXT::CompactEdits()
{
    std::string kept;
    for (Entry& e : entries_)
        if (e.edited) {
            const uint32_t at = static_cast<uint32_t>(kept.size());
            kept.append(edits_, e.at, e.size);
            e.at = at;
        }
    edits_ = std::move(kept);
    compactedSize_ = edits_.size();
}

std::string clsGXT::GetText(int32_t Idx) const
{
    return DecodeGxtText(GetValue(Idx), charset_);
}

void clsGXT::SetText(int32_t Idx, std::string_view utf8)
{
    Element(Idx);
    SetValue(Idx, EncodeGxtText(utf8, charset_));
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
