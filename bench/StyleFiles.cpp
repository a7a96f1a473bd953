#include "bench/StyleFiles.h"

#include "bench/BenchSupport.h"
#include "tests/support/StyBuilder.h"

namespace bench {

StyleInput WriteStyle(const std::string& size, const std::string& path)
{
    // Sprites of up to 25 pixels a side, ten to a band: 3,000 take about 2 MB.
    const sty_test::StyleSize realistic{1000, 256, 16384, 3000, 25};
    const sty_test::StyleSize large{10000, 2560, 32767, 30000, 25};
    const std::string bytes = sty_test::RealisticStyle(size == "x10" ? large : realistic).Build();
    if (path.empty())
        return {WriteInput("style-" + size + ".sty", bytes), bytes.size()};
    TempDir::Write(path, bytes);
    return {path, bytes.size()};
}

}  // namespace bench
