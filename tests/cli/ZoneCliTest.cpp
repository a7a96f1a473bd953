// SPDX-License-Identifier: GPL-3.0-or-later
// The map's zone commands, its check and its picture, as a script runs them.

#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>

#include "core/gmp/CityMap.h"
#include "core/gmp/CityPicture.h"
#include "core/gmp/Ground.h"
#include "core/io/FileIO.h"
#include "core/sty/clsSTY.h"
#include "tests/cli/CliFixture.h"

namespace {

// A suite of its own: every file's fixture is a class of its own.
class ZoneCli : public Cli {};

// The zones' names in file order.
QString Names(const QJsonObject& listing)
{
    QStringList names;
    for (const QJsonValue& zone : listing["zones"].toArray())
        names << zone["name"].toString();
    return names.join(',');
}

}  // namespace

TEST_F(ZoneCli, ZonesAreListedAddedChangedAndRemovedEachSavedWithABackupAndRefusalsChangeNothing)
{
    const QJsonObject first = Json("gmp zones map.gmp");
    EXPECT_EQ(first["zones"][0].toObject(),
              (QJsonObject{{"index", 0}, {"type", 1}, {"x", 2}, {"y", 2}, {"w", 60}, {"h", 40}, {"name", "Downtown"}}));
    const std::pair<const char*, const char*> edits[] = {
        // Town's zones are out of area order; the first edit writes them sorted.
        {"gmp zone add map.gmp --type 7 --name busstop4 --rect 1,2,3,1", "added zone 0 (busstop4)\n"},
        {"gmp zone set map.gmp 2 --rect 5,5,1,1 --name Cell --type 20", "changed zone 0 (Cell), which was zone 2\n"},
        {"gmp zone set map.gmp 1 --rect 9,9,3,1", "changed zone 1 (busstop4)\n"},
        {"gmp zone remove map.gmp 2", "removed zone 2 (Central Park)\n"}};
    for (const auto& [command, said] : edits) {
        const std::string before = Read("map.gmp");
        const Result r = Run(command);
        EXPECT_EQ(std::pair(r.status, r.out.toStdString()), std::pair(0, std::string(said))) << r.err.toStdString();
        EXPECT_EQ(Read("map.gmp.bak"), before) << command;
    }
    EXPECT_EQ(Names(Json("gmp zones map.gmp")), "Cell,busstop4");
    EXPECT_EQ(Json("gmp zones map.gmp")["zones"][1]["x"].toInt(), 9);

    const std::string edited = Read("map.gmp");
    const std::pair<const char*, int> refused[] = {
        {"gmp zone add map.gmp --type 3 --name x --rect 0,0,1,1", 1},  // unused type
        {"gmp zone add map.gmp --type 7 --name x --rect 0,0,300,1", 1},
        {"gmp zone add map.gmp --type 7 --name x --rect 250,0,7,1", 1},
        {"gmp zone add map.gmp --type 7 --name caf\xC3\xA9 --rect 0,0,1,1", 1},
        {"gmp zone set map.gmp 2 --name x", 1},
        {"gmp zone remove map.gmp 2", 1},
        {"gmp zone add map.gmp --type 7 --name x", 2},
        {"gmp zone add map.gmp --type 7 --name x --rect 1,2,3", 2},
        {"gmp zone set map.gmp first --name x", 2},
        {"gmp zone set map.gmp 0", 2},
    };
    for (const auto& [command, status] : refused) {
        EXPECT_EQ(Run(command).status, status) << command;
        EXPECT_EQ(Read("map.gmp"), edited) << command;
    }
}

TEST_F(ZoneCli, CheckFailsOnErrorsRenderDrawsWithOrWithoutTheStyleAndAnimsListsNoneWithoutATable)
{
    Result r = Run("gmp check map.gmp");  // Town's two zones, the larger first
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.startsWith("error: zone 1 (Central Park) is out of area order")) << r.out.toStdString();
    map_test::BlockData air;
    air.AddColumn(0, 0, {});
    TempDir::Write(File("ok.gmp"), map_test::MapFile(air, {{7, 1, 1, 1, 1, "stop"}, {20, 0, 0, 2, 1, "yard"}}));
    r = Run("gmp check ok.gmp --json");
    const QJsonObject check = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(std::tuple(r.status, check["errors"].toInt(), check["warnings"].toInt()), std::tuple(0, 0, 1));
    EXPECT_EQ(check["findings"][0]["name"].toString(), "yard");

    // Roads at level 0 everywhere but a field at level 2 on (1, 0).
    const std::string grounds =
        map_test::Stacked({{}, {0, 0, 0, 0, map_test::Face(1), 0, 1}, {0, 0, 0, 0, map_test::Face(1), 0, 3}},
                          [](int x, int y) {
                              return x == 1 && y == 0 ? std::vector<uint32_t>{1, 0, 2} : std::vector<uint32_t>{1};
                          },
                          {});
    TempDir::Write(File("grounds.gmp"), grounds);
    EXPECT_EQ(Run("gmp render grounds.gmp -o plain.png --scale 2").status, 0);
    const QImage plain(QString::fromStdString(File("plain.png")));
    EXPECT_EQ(std::tuple(plain.width(), plain.pixel(1, 1), plain.pixel(2, 1)),
              std::tuple(512, SchematicColour(Ground::Road, 0), SchematicColour(Ground::Field, 2)));

    EXPECT_EQ(Run("gmp render map.gmp -o town.png --style style.sty --scale 3").status, 0);
    CityMap map;
    map.Load(File("map.gmp"));
    clsSTY style;
    style.LoadSTY(File("style.sty"));
    CityPicture drawn = DrawCity(map, &style, 7, 3);
    EXPECT_EQ(QImage(QString::fromStdString(File("town.png"))).convertToFormat(QImage::Format_RGB32),
              QImage(reinterpret_cast<uchar*>(drawn.pixels.data()), 768, 768, QImage::Format_RGB32));
    for (const char* wrong : {"gmp render map.gmp --scale 2", "gmp render map.gmp -o x.png --scale 33"})
        EXPECT_EQ(Run(wrong).status, 2) << wrong;

    EXPECT_EQ(Json("gmp anims grounds.gmp")["animations"].toArray().size(), 0);
    ExpectRefused("gmp anims style.sty", 1, "style.sty: is not a map file");
}
