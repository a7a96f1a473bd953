#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/gmp/clsGMP.h"
#include "tests/support/GmpBytes.h"
#include "tests/support/SourceTree.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;
using namespace gmpbytes;

namespace {

struct Seed {
    std::string name;
    std::string bytes;
    int anims;  // what the reader must report for it
};

std::vector<Seed> MapSeeds()
{
    return {
        {"anim_and_light.gmp",
         Header() + Chunk("LGHT", std::string(32, '\x10')) + Chunk("ANIM", AnimRecord(1, 3, {7, 8})) +
             Chunk("UMAP", "\x01\x02"),
         0},
        {"lower_case_twelve.gmp", Header() + Chunk("zone", "") + Chunk("anim", AnimRecords(12)), 11},
        {"forty_one.gmp", Header() + Chunk("ANIM", AnimRecords(41)), 40},
        {"empty_anim.gmp", Header() + Chunk("ANIM", ""), -1},
        {"two_anim_chunks.gmp",
         Header() + Chunk("ANIM", AnimRecords(4)) +
             Chunk("ANIM", AnimRecord(-1, 255, {40000, 1}) + AnimRecord(2, 0, {})),
         1},
    };
}

}  // namespace

// The map fuzz target starts from these seeds: small maps our own builder writes, each
// one the reader accepts. KESTROVA_WRITE_SEEDS=1 writes them into fuzz/corpus/gmp/;
// without it the committed seeds must be exactly what the builder writes.
TEST(GmpSeedCorpus, CommittedSeedsAreBuiltMapsTheReaderAccepts)
{
    const fs::path folder = SourceTree() / "fuzz" / "corpus" / "gmp";
    const char* write = std::getenv("KESTROVA_WRITE_SEEDS");
    TempDir dir;
    for (const Seed& seed : MapSeeds()) {
        SCOPED_TRACE(seed.name);
        const std::string file = dir.File(seed.name);
        TempDir::Write(file, seed.bytes);
        clsGMP map;
        map.LoadMap(file);
        EXPECT_EQ(map.Anims(), seed.anims);

        const std::string committed = (folder / seed.name).string();
        if (write && std::string(write) == "1") {
            fs::create_directories(folder);
            TempDir::Write(committed, seed.bytes);
        }
        EXPECT_EQ(TempDir::Read(committed), seed.bytes) << "run with KESTROVA_WRITE_SEEDS=1 to rewrite";
    }
}
