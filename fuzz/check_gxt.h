// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What any file, however damaged, must do to the text reader: load or be refused with
// InvalidGXT naming it and saying why (or, for a language we do not handle, a message
// naming the file and saying so); leave the previous model untouched when refused;
// answer every index from 1 to GetEntries and refuse 0 and one past with
// std::out_of_range; find each entry's value by its name; save unedited as it was read,
// its key table sorted; and, with one text edited, save so that loading gives back the
// same names and values with that text changed, and saving again the same bytes.

#include <algorithm>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/gxt/clsGXT.h"
#include "core/io/FileIO.h"
#include "fuzz/FuzzSupport.h"
#include "tests/support/GxtTestFile.h"
#include "tests/support/TempDir.h"

namespace gxtcheck {

using Entries = std::vector<std::pair<std::string, std::string>>;

inline Entries ReadAll(const clsGXT& model)
{
    const int32_t n = model.GetEntries();
    Require(n >= 0, "GetEntries() is " + std::to_string(n));
    Entries entries;
    for (int32_t i = 1; i <= n; ++i) {
        const std::string key = model.GetKey(i);
        Require(key.size() == 8, "key " + std::to_string(i) + " is not 8 characters");
        entries.emplace_back(key, model.GetValue(i));
    }
    for (int32_t outside : {0, n + 1})
        Require(ThrowsOutOfRange([&] { model.GetKey(outside); }) && ThrowsOutOfRange([&] { model.GetValue(outside); }),
                "entry " + std::to_string(outside) + " answered outside 1 to " + std::to_string(n));
    return entries;
}

// The first entry of each name must be what a lookup by that name finds. A lookup walks
// the table, so a bounded number of names spread over it are looked up, and the check
// stays linear in the table's size.
inline void CheckLookups(const clsGXT& model, const Entries& entries)
{
    constexpr std::size_t kLookups = 256;
    std::unordered_map<std::string, std::size_t> first;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::string name = entries[i].first.substr(0, entries[i].first.find('\0'));
        if (first.try_emplace(name, i).second)
            names.push_back(std::move(name));
    }
    const auto check = [&](const std::string& name) {
        Require(model.GetValueFromKey(name) == entries[first.at(name)].second,
                "the lookup of \"" + name + "\" found another value");
    };
    const std::size_t stride = std::max<std::size_t>(1, names.size() / kLookups);
    for (std::size_t n = 0; n < names.size(); n += stride)
        check(names[n]);
    if (!names.empty())
        check(names.back());
}

// The entries in the order a save writes them: by their 8-byte names, unsigned.
inline Entries InTableOrder(Entries entries)
{
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return entries;
}

}  // namespace gxtcheck

inline void CheckGxtFile(std::span<const uint8_t> input, const std::string& name, const TempDir&)
{
    using namespace gxtcheck;
    clsGXT model;
    model.ParseGXT(AsBytes(gxt_test::FileOf({{"BASE", gxt_test::Cells("before")}})), "baseline.gxt");
    const Entries before = ReadAll(model);

    if (const auto refusal = Refusal(name, [&] { model.ParseGXT(input, name); })) {
        const bool otherLanguage =
            refusal->starts_with(name + ": the language ") && refusal->ends_with("GXT files are");
        const std::string invalid = name + ": " + kInvalidGXTMessage + "\n";
        Require((refusal->starts_with(invalid) && refusal->size() > invalid.size()) || otherLanguage,
                "refused with another message: " + *refusal);
        Require(ReadAll(model) == before, "a refused file changed the model");
        return;
    }
    const Entries loaded = ReadAll(model);
    CheckLookups(model, loaded);

    const std::vector<uint8_t> saved = model.Serialize();
    if (InTableOrder(loaded) == loaded)
        Require(std::equal(saved.begin(), saved.end(), input.begin(), input.end()), "an unedited save changed bytes");
    Entries edited = loaded;
    if (!edited.empty()) {
        const auto entry = static_cast<int32_t>(edited.size() / 2 + 1);
        model.SetValue(entry, "n!edited");
        edited[static_cast<std::size_t>(entry - 1)].second = "n!edited";
    }
    clsGXT again;
    again.ParseGXT(model.Serialize(), "saved.gxt");
    Require(ReadAll(again) == InTableOrder(edited), "the saved file does not give back the same names and values");
    Require(again.Serialize() == model.Serialize(), "saving the reloaded file changed its bytes");
}
