// What a file is and what it holds, told by its first bytes rather than its name.

#include <QJsonObject>

#include <filesystem>
#include <fstream>

#include "cli/Command.h"
#include "core/common/FileKind.h"
#include "core/common/PathRules.h"
#include "core/gci/clsGCI.h"
#include "core/gmp/CityMap.h"
#include "core/gmp/clsGMP.h"
#include "core/gxt/clsGXT.h"
#include "core/io/FileError.h"
#include "core/sty/clsSTY.h"

namespace {

using Counts = std::vector<std::pair<QString, QJsonValue>>;

void CheckOpens(const std::string& file)
{
    std::ifstream in(PathFromUtf8(file), std::ios::binary);
    if (!in || std::filesystem::is_directory(PathFromUtf8(file)))
        throw FileError(file, "cannot be opened");
}

Counts StyleCounts(const std::string& file)
{
    clsSTY style;
    style.LoadSTY(file);
    return {{QStringLiteral("tiles"), style.GetNumOfTiles()},
            {QStringLiteral("palettes"), style.GetNumOfPals()},
            {QStringLiteral("palette references"), style.GetNumOfPalx()},
            {QStringLiteral("sprites"), style.GetNumOfSprx()}};
}

Counts MapCounts(const std::string& file)
{
    clsGMP anims;
    anims.LoadMap(file);
    CityMap city;
    city.Load(file);
    return {{QStringLiteral("blocks"), static_cast<qint64>(city.BlockCount())},
            {QStringLiteral("zones"), static_cast<qint64>(city.Zones().size())},
            {QStringLiteral("animations"), anims.HasAnims() ? anims.Anims() + 1 : 0}};
}

Counts TextCounts(const std::string& file)
{
    clsGXT texts;
    texts.ReadGXT(file);
    return {{QStringLiteral("texts"), texts.GetEntries()},
            {QStringLiteral("language"), QString(QChar(texts.Language()))},
            {QStringLiteral("charset"), QString::fromLatin1(GxtCharsetName(texts.Charset()))}};
}

Counts CarCounts(const std::string& file)
{
    clsGCI cars;
    cars.LoadCars(file);
    return {{QStringLiteral("cars"), cars.GetNumOfCars()}};
}

void Info(Invocation& run)
{
    const std::string file = run.File(0);
    CheckOpens(file);
    QString format;
    Counts counts;
    switch (KindOf(file)) {
        case FileKind::Style:
            format = QStringLiteral("style");
            counts = StyleCounts(file);
            break;
        case FileKind::Map:
            format = QStringLiteral("map");
            counts = MapCounts(file);
            break;
        case FileKind::Text:
            format = QStringLiteral("text");
            counts = TextCounts(file);
            break;
        case FileKind::Car:
            format = QStringLiteral("car");
            counts = CarCounts(file);
            break;
        case FileKind::Unknown:
            throw FileError(file,
                            "is none of the files Kestrova reads: not a style, map or text file by its first "
                            "bytes, nor a car, text, style or map file by its name");
    }
    const qint64 size = static_cast<qint64>(std::filesystem::file_size(PathFromUtf8(file)));
    if (run.Json()) {
        QJsonObject object{{QStringLiteral("file"), run.arguments.at(0)},
                           {QStringLiteral("format"), format},
                           {QStringLiteral("size"), size}};
        for (const auto& [name, value] : counts)
            object.insert(name, value);
        return PrintJson(run.out, object);
    }
    QList<QStringList> rows{{QStringLiteral("format:"), format}, {QStringLiteral("size:"), QString::number(size)}};
    for (const auto& [name, value] : counts)
        rows << QStringList{name + ':', value.isString() ? value.toString() : QString::number(value.toInteger())};
    PrintTable(run.out, {QStringLiteral("file:"), run.arguments.at(0)}, rows);
}

}  // namespace

void AddInfoCommand(std::vector<Command>& commands)
{
    commands.push_back({QStringLiteral("info"),
                        QStringLiteral("FILE"),
                        QStringLiteral("The file's format and size, and how many of each thing it holds."),
                        1,
                        {JsonOption()},
                        Info});
}
