// Map files: LoadMap on any bytes, then every query, checked by CheckGmpFile.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/check_gmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static const TempDir scratch;
    const std::string input = scratch.File("input.gmp");
    TempDir::Write(input, std::string(reinterpret_cast<const char*>(data), size));
    RunFuzzCheck([&] { CheckGmpFile(input, scratch); });
    return 0;
}
