#pragma once
// The style files the benchmarks and the memory measurement open.

#include <cstddef>
#include <string>

namespace bench {

struct StyleInput {
    std::string path;
    std::size_t bytes = 0;
};

// "realistic": 1,000 tiles, 256 physical palettes, a 16,384-entry virtual palette table
// and 3,000 sprites in about 2 MB of sprite graphics. "x10": ten times each, but the
// virtual palette table, which cannot hold more than 32,767 entries.
StyleInput WriteStyle(const std::string& size, const std::string& path = {});

}  // namespace bench
