#include "core/translation/TextCheck.h"

#include <unordered_map>

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
