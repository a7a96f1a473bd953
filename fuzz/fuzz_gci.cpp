// Car files: LoadCars on any bytes, then every value, a save and a reload, checked by
// CheckGciFile.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/check_gci.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static const TempDir scratch;
    const std::string input = scratch.File("input.gci");
    TempDir::Write(input, std::string(reinterpret_cast<const char*>(data), size));
    RunFuzzCheck([&] { CheckGciFile(input, scratch); });
    return 0;
}
