#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/common/BitmapHeader.h"
#include "core/gci/clsGCI.h"
#include "core/gmp/CityMap.h"
#include "core/gxt/clsGXT.h"
#include "core/sty/clsSTY.h"
#include "tests/support/GCISampleFile.h"
#include "tests/support/GxtTestFile.h"
#include "tests/support/MapBuilder.h"
#include "tests/support/SourceTree.h"
#include "tests/support/StyBuilder.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

struct Seed {
    std::string name;
    std::string bytes;
    // Loads the seed and tells what it holds, so a seed that stops being read shows.
    std::function<int(const std::string& file)> count;
    int expected;
};

int CarsIn(const std::string& file)
{
    clsGCI model;
    model.LoadCars(file);
    return model.GetNumOfCars();
}

int EntriesIn(const std::string& file)
{
    clsGXT model;
    return model.LoadGXT(file) ? model.GetEntries() : -1;
}

int ItemsIn(const std::string& file)
{
    clsSTY model;
    model.LoadSTY(file);
    return model.GetNumOfTiles() + model.GetNumOfSprx();
}

// Blocks and zones as one number, 100 * blocks + zones.
int BlocksAndZonesIn(const std::string& file)
{
    CityMap model;
    model.Load(file);
    return static_cast<int>(model.BlockCount() * 100 + model.Zones().size());
}

std::string WithLfOnly(std::string text)
{
    std::string out;
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

std::vector<Seed> CarSeeds()
{
    const std::string noLastEmptyLine = gci_sample::File(2).substr(0, gci_sample::File(2).size() - 2);
    return {
        {"gci/three_cars.gci", gci_sample::File(3), CarsIn, 3},
        {"gci/lf_line_ends.gci", WithLfOnly(gci_sample::File(2)), CarsIn, 2},
        {"gci/short_last_car.gci", noLastEmptyLine + "\r\n\r\n{SHORT}\r\n1 {Model}", CarsIn, 3},
    };
}

std::vector<Seed> TextSeeds()
{
    using namespace gxt_test;
    return {
        {"gxt/game_like.gxt", FileOf(GameLikeEntries(24)), EntriesIn, 24},
        // The two-entry file: ABC = "Hi", K2 = "n!" + "Go".
        {"gxt/two_entries.gxt", FileOf({{"ABC", Cells("Hi")}, {"K2", Cells("n!Go", 2)}}), EntriesIn, 2},
        {"gxt/no_entries.gxt", File("", ""), EntriesIn, 0},
    };
}

std::vector<Seed> StyleSeeds()
{
    using namespace sty_test;
    StyleFile spritesOnly;
    spritesOnly.palx = {0, 1};
    spritesOnly.sprites = {{0, 3, 2}, {8, 2, 2}};
    spritesOnly.spriteGraphics.assign(2 * 256, '\x05');
    return {
        {"sty/small_style.sty", SmallStyle().Build(), ItemsIn, 8},
        {"sty/sprites_without_palettes.sty", spritesOnly.Build(), ItemsIn, 2},
        {"sty/unknown_chunks.sty", Header() + Chunk("ZZZZ", "abc") + Chunk("delx", ""), ItemsIn, 0},
    };
}

// Shared columns, the engine's slope lid, a full column, zones; the 16-bit form; and
// both forms, the 32-bit one read.
std::vector<Seed> CitySeeds()
{
    using namespace map_test;
    BlockData d;
    d.blocks = {{}, {1, 2, 3, 4, Face(5, 1, true, 2), 6, 7}, {0, 0, 0, 0, Face(1023)}};
    const uint32_t shared = d.AddColumn(3, 1, {1, 2});
    d.Put(0, 0, shared);
    d.Put(3, 4, shared);
    d.Put(255, 255, d.AddColumn(8, 0, {1, 2, 1, 2, 1, 2, 1, 2}));
    BlockData other;
    other.blocks.resize(4);
    other.AddColumn(0, 0, {});
    return {
        {"citymap/dmap_and_zones.gmp", MapFile(d, {{1, 0, 0, 8, 8, "Zone"}, {2, 250, 3, 0, 0, ""}}), BlocksAndZonesIn,
         302},
        {"citymap/cmap_only.gmp", Header() + Chunk("CMAP", BlockBody(d, 2)), BlocksAndZonesIn, 300},
        {"citymap/cmap_then_dmap.gmp", Header() + Chunk("CMAP", BlockBody(d, 2)) + Chunk("DMAP", BlockBody(other, 4)),
         BlocksAndZonesIn, 400},
    };
}

}  // namespace

// The car, text, style and map-block fuzz targets start from these seeds: small files
// our own builders write. KESTROVA_WRITE_SEEDS=1 writes them into fuzz/corpus/; without
// it the committed seeds must be exactly what the builders write.
TEST(SeedCorpus, CommittedSeedsAreBuiltFilesTheReadersAccept)
{
    InitBitmapHeader();
    const fs::path corpus = SourceTree() / "fuzz" / "corpus";
    const char* write = std::getenv("KESTROVA_WRITE_SEEDS");
    TempDir dir;
    for (const auto& seeds : {CarSeeds(), TextSeeds(), StyleSeeds(), CitySeeds()}) {
        for (const Seed& seed : seeds) {
            SCOPED_TRACE(seed.name);
            const std::string file = dir.File(fs::path(seed.name).filename().string());
            TempDir::Write(file, seed.bytes);
            EXPECT_EQ(seed.count(file), seed.expected);

            const fs::path committed = corpus / seed.name;
            if (write && std::string(write) == "1") {
                fs::create_directories(committed.parent_path());
                TempDir::Write(committed.string(), seed.bytes);
            }
            EXPECT_EQ(TempDir::Read(committed.string()), seed.bytes) << "run with KESTROVA_WRITE_SEEDS=1 to rewrite";
        }
    }
}
