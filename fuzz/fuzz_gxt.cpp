// Text files: LoadGXT on any bytes, then every entry, a save and a reload, checked by
// CheckGxtFile.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/check_gxt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static const TempDir scratch;
    const std::string input = scratch.File("input.gxt");
    TempDir::Write(input, std::string(reinterpret_cast<const char*>(data), size));
    RunFuzzCheck([&] { CheckGxtFile(input, scratch); });
    return 0;
}
