// SPDX-License-Identifier: GPL-3.0-or-later
// PO files: ImportPo on any bytes, then an export and an import of what it took, checked
// by CheckPoFile.

#include <cstddef>
#include <cstdint>

#include "fuzz/check_po.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    return FuzzOneInput(data, size, "input.po", CheckPoFile);
}

// libgettextpo keeps some of what it parses for good (tests/lsan.supp names where). The
// tests tell those from leaks of ours by whole stacks, which would slow fuzzing many times
// over; here the library's own allocations are let be.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libgettextpo.so\n";
}
