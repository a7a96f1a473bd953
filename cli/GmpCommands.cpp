// SPDX-License-Identifier: GPL-3.0-or-later
// Map files: the animation table.

#include <QJsonArray>
#include <QJsonObject>

#include "cli/Command.h"
#include "core/gmp/clsGMP.h"

namespace {

void Anims(Invocation& run)
{
    clsGMP map;
    map.LoadMap(run.File(0), run.progress);
    QJsonArray list;
    QList<QStringList> rows;
    // 4 of the game's maps have no animation table: they list none.
    const int32_t last = map.HasAnims() ? map.Anims() : -1;
    for (int32_t a = 0; a <= last; ++a) {
        QJsonArray tiles;
        QStringList shown;
        for (int32_t f = 0; f < map.AnimFrames(a); ++f) {
            tiles.append(map.AnimTileNumber(a, f));
            shown << QString::number(map.AnimTileNumber(a, f));
        }
        list.append(QJsonObject{{QStringLiteral("number"), a + 1},
                                {QStringLiteral("delay"), map.AnimDelay(a)},
                                {QStringLiteral("tiles"), tiles}});
        rows << QStringList{QString::number(a + 1), QString::number(map.AnimDelay(a)),
                            QString::number(map.AnimFrames(a)), shown.join(' ')};
    }
    if (run.Json())
        return PrintJson(
            run.out, QJsonObject{{QStringLiteral("file"), run.arguments.at(0)}, {QStringLiteral("animations"), list}});
    PrintTable(run.out,
               {QStringLiteral("#"), QStringLiteral("delay"), QStringLiteral("frames"), QStringLiteral("tiles")}, rows);
}

}  // namespace

void AddGmpCommands(std::vector<Command>& commands)
{
    commands.push_back({QStringLiteral("gmp anims"),
                        QStringLiteral("FILE"),
                        QStringLiteral("The animation table: each animation's delay and tiles."),
                        1,
                        {JsonOption()},
                        Anims});
}
