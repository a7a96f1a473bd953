// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/translation/TextCheck.h"

#include <cstdio>
#include <unordered_map>

#include "core/gxt/GxtCharset.h"

namespace {

// Each key's first entry.
std::unordered_map<std::string, int32_t> FirstEntries(const clsGXT& texts)
{
    std::unordered_map<std::string, int32_t> entries;
    for (int32_t e = 1; e <= texts.GetEntries(); ++e)
        entries.try_emplace(KeyName(texts, e), e);
    return entries;
}

}  // namespace

std::string KeyName(const clsGXT& texts, int32_t entry)
{
    const std::string key = texts.GetKey(entry);
    return key.substr(0, key.find('\0'));
}

std::vector<EntryFindings> CheckTexts(const clsGXT& texts, const GameFont& font)
{
    std::vector<EntryFindings> found;
    for (int32_t e = 1; e <= texts.GetEntries(); ++e)
        if (FontFindings findings = font.Check(texts.GetValue(e)); findings.Any())
            found.push_back({e, std::move(findings)});
    return found;
}

TextComparison CompareTexts(const clsGXT& here, const clsGXT& reference)
{
    const std::unordered_map<std::string, int32_t> ours = FirstEntries(here), theirs = FirstEntries(reference);
    TextComparison out;
    for (int32_t e = 1; e <= here.GetEntries(); ++e) {
        const std::string key = KeyName(here, e);
        if (ours.at(key) != e)
            continue;  // a repeated key
        const auto match = theirs.find(key);
        if (match == theirs.end())
            out.onlyHere.push_back(e);
        else
            (here.GetValue(e) == reference.GetValue(match->second) ? out.same : out.different).push_back(e);
    }
    for (int32_t e = 1; e <= reference.GetEntries(); ++e)
        if (const std::string key = KeyName(reference, e); theirs.at(key) == e && !ours.contains(key))
            out.onlyReference.push_back(e);
    return out;
}

namespace {

// Whether `utf8` is one character below the placeholders that stand for bytes without a letter.
bool OneLetter(const std::string& utf8)
{
    if (utf8.empty())
        return false;
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
    const std::size_t length = at(0) < 0x80 ? 1 : (at(0) >> 5) == 6 ? 2 : (at(0) >> 4) == 14 ? 3 : 4;
    if (length != utf8.size() || length == 4)
        return false;
    if (length < 3)
        return true;
    const char32_t letter = ((at(0) & 0x0Fu) << 12) | ((at(1) & 0x3Fu) << 6) | (at(2) & 0x3Fu);
    return letter < kGxtPlaceholderBase;
}

}  // namespace

std::string LetterNames(const std::vector<uint8_t>& bytes)
{
    std::string names;
    for (uint8_t byte : bytes) {
        char code[8];
        std::snprintf(code, sizeof code, "0x%02X", byte);
        const std::string shown = DecodeGxtText(std::string(1, static_cast<char>(byte)), GxtCharset::GameFont);
        if (!names.empty())
            names += ", ";
        names += byte > 0x20 && OneLetter(shown) ? shown + " (" + code + ")" : std::string(code);
    }
    return names;
}
