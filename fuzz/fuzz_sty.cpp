// Style files: LoadSTY on any bytes, then every tile and sprite drawn and the first of
// each exported, checked by CheckStyFile.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/check_sty.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static const TempDir scratch;
    const std::string input = scratch.File("input.sty");
    TempDir::Write(input, std::string(reinterpret_cast<const char*>(data), size));
    RunFuzzCheck([&] { CheckStyFile(input, scratch); });
    return 0;
}
