#pragma once
// What any file, however damaged, must do to the text reader: load or be refused with
// InvalidGXT naming it (or, for a language we do not handle, a message naming the file
// and saying so); leave the previous model untouched when refused; answer
// every index from 1 to GetEntries and refuse 0 and one past with std::out_of_range;
// find each entry's value by its name; and save what it loaded so that loading the
// saved file gives the same names and values, and saving again the same bytes.

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

}  // namespace gxtcheck

inline void CheckGxtFile(std::span<const uint8_t> input, const std::string& name, const TempDir& scratch)
{
    using namespace gxtcheck;
    clsGXT model;
    model.ParseGXT(AsBytes(gxt_test::FileOf({{"BASE", gxt_test::Cells("before")}})), "baseline.gxt");
    const Entries before = ReadAll(model);

    if (const auto refusal = Refusal(name, [&] { model.ParseGXT(input, name); })) {
        const bool otherLanguage =
            refusal->starts_with(name + ": the language ") && refusal->ends_with("GXT files are");
        Require(*refusal == name + ": " + kInvalidGXTMessage || otherLanguage,
                "refused with another message: " + *refusal);
        Require(ReadAll(model) == before, "a refused file changed the model");
        return;
    }
    const Entries loaded = ReadAll(model);
    CheckLookups(model, loaded);

    const std::string saved = scratch.File("saved.gxt");
    model.SaveGXT(saved);
    clsGXT again;
    Require(again.LoadGXT(saved), "the saved file was refused");
    Require(ReadAll(again) == loaded, "the saved file does not give back the same names and values");

    const std::string savedTwice = scratch.File("saved-twice.gxt");
    again.SaveGXT(savedTwice);
    Require(TempDir::Read(savedTwice) == TempDir::Read(saved), "saving the reloaded file changed its bytes");
}
