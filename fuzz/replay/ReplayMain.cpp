// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a fuzz target's check on files instead of under libFuzzer: every file named on
// the command line, and every file in every folder named there. Builds with any
// compiler, so the seeds and the kept findings are replayed on every platform the
// core is built for, Windows included.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

namespace {

int Replay(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
        return 1;
    }
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());  // a broken promise aborts
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    int failures = 0;
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const fs::path named(argv[i]);
        std::vector<fs::path> files;
        if (fs::is_directory(named)) {
            for (const auto& entry : fs::directory_iterator(named))
                if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
                    files.push_back(entry.path());
        } else {
            files.push_back(named);
        }
        for (const fs::path& file : files) {
            failures += Replay(file);
            ++replayed;
        }
    }
    std::printf("%d files replayed, %d unreadable\n", replayed, failures);
    return failures == 0 ? 0 : 1;
}
