// SPDX-License-Identifier: GPL-3.0-or-later
// Key rules: what a key may be, and finding, adding, renaming and removing entries.

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "core/gxt/clsGXT.h"

clsGXT::KeyName clsGXT::PaddedKey(const std::string& key)
{
    KeyName name{};
    std::memcpy(name.data(), key.data(), std::min(key.size(), name.size()));
    return name;
}

std::string_view clsGXT::NameOf(const KeyName& key)
{
    return std::string_view(key.data(),
                            static_cast<std::size_t>(std::find(key.begin(), key.end(), '\0') - key.begin()));
}

bool clsGXT::KeyBefore(const KeyName& a, const KeyName& b)
{
    return std::memcmp(a.data(), b.data(), a.size()) < 0;
}

int32_t clsGXT::FindKey(std::string_view key) const
{
    const auto named =
        std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return NameOf(e.key) == key; });
    return named == entries_.end() ? 0 : static_cast<int32_t>(named - entries_.begin() + 1);
}

std::string clsGXT::GetValueFromKey(const std::string& sKey) const
{
    const int32_t entry = FindKey(sKey);
    return entry == 0 ? std::string() : GetValue(entry);
}

void clsGXT::CheckKey(const std::string& key, int32_t self) const
{
    if (key.empty() || key.size() >= std::tuple_size_v<KeyName>)
        throw std::invalid_argument("a key has 1 to 7 characters; \"" + key + "\" has " + std::to_string(key.size()));
    for (const char c : key)
        if (c <= ' ' || c >= 0x7F)
            throw std::invalid_argument("a key holds printable ASCII characters other than space only; \"" + key +
                                        "\" does not");
    for (std::size_t k = 0; k < entries_.size(); ++k)
        if (static_cast<int32_t>(k + 1) != self && NameOf(entries_[k].key) == key)
            throw std::invalid_argument("the key \"" + key + "\" is already used");
}

int32_t clsGXT::AddEntry(const std::string& key, std::string_view utf8)
{
    CheckKey(key, 0);
    const std::string bytes = EncodeGxtText(utf8, charset_);
    entries_.push_back(Entry{PaddedKey(key)});
    Store(entries_.back(), bytes);
    return GetEntries();
}

void clsGXT::RenameEntry(int32_t Idx, const std::string& key)
{
    const std::size_t k = Element(Idx);
    CheckKey(key, Idx);
    entries_[k].key = PaddedKey(key);
}

void clsGXT::RemoveEntry(int32_t Idx)
{
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(Element(Idx)));
}
