// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What any file, however damaged, must do to the PO import: be taken, or be refused with
// a message naming it while the texts stay as they were; when taken, give a reason for
// each entry it skipped and change no more texts than the file has; and every text it
// set must come back the same from an export and an import of that export.

#include <span>
#include <string>
#include <vector>

#include "core/gxt/clsGXT.h"
#include "core/io/FileIO.h"
#include "core/po/GxtPo.h"
#include "fuzz/FuzzSupport.h"
#include "tests/support/GxtTestFile.h"
#include "tests/support/TempDir.h"

namespace pocheck {

inline std::vector<std::string> Values(const clsGXT& model)
{
    std::vector<std::string> values;
    for (int32_t i = 1; i <= model.GetEntries(); ++i)
        values.push_back(model.GetValue(i));
    return values;
}

// The keys of the seeds, among them one text a second key shares and an empty one.
inline clsGXT Base()
{
    using gxt_test::Cells;
    clsGXT model;
    model.ParseGXT(
        AsBytes(gxt_test::FileOf(
            {{"caf", Cells("Coffee")}, {"nandu", Cells("x")}, {"empty", Cells("")}, {"caf", Cells("second")}})),
        "base.gxt");
    return model;
}

}  // namespace pocheck

inline void CheckPoFile(std::span<const uint8_t> input, const std::string& name, const TempDir& scratch)
{
    using namespace pocheck;
    const std::string file = scratch.File(name);
    TempDir::Write(file, std::string(input.begin(), input.end()));
    clsGXT model = Base();
    const std::vector<std::string> before = Values(model);
    PoImportResult result;
    if (Refusal(file, [&] { result = ImportPo(model, file); })) {
        Require(Values(model) == before, "a refused PO file changed the texts");
        return;
    }
    Require(result.problems.size() == static_cast<std::size_t>(result.skipped),
            "skipped " + std::to_string(result.skipped) + " entries but gave " +
                std::to_string(result.problems.size()) + " reasons");
    Require(result.updated >= 0 && result.updated <= model.GetEntries(),
            "updated " + std::to_string(result.updated) + " texts");

    const std::string again = scratch.File("again.po");
    ExportPo(model, nullptr, again);
    clsGXT copy = Base();
    ImportPo(copy, again);
    Require(Values(copy) == Values(model), "the texts taken did not survive an export and an import");
}
