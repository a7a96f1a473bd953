// SPDX-License-Identifier: GPL-3.0-or-later
// What a file is and what it holds, told by its first bytes rather than its name.

#include <QJsonObject>

#include <filesystem>
#include <map>

#include "cli/Command.h"
#include "core/common/FileKind.h"
#include "core/common/PathRules.h"
#include "core/gci/clsGCI.h"
#include "core/gmp/CityMap.h"
#include "core/gmp/MapFile.h"
#include "core/gmp/clsGMP.h"
#include "core/gxt/clsGXT.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"
#include "core/sty/clsSTY.h"

namespace {

using Counts = std::vector<std::pair<QString, QJsonValue>>;

// Anything but a regular file (a named pipe, say) is refused at once, before its kind is
// asked of its first bytes.
void CheckOpens(const std::string& file)
{
    uint64_t size = 0;
    OpenFileToRead(file, kAnyFile, size);
}

Counts StyleCounts(const std::string& file, Progress& progress)
{
    clsSTY style;
    style.LoadSTY(file, progress);
    return {{QStringLiteral("tiles"), style.GetNumOfTiles()},
            {QStringLiteral("palettes"), style.GetNumOfPals()},
            {QStringLiteral("palette references"), style.GetNumOfPalx()},
            {QStringLiteral("sprites"), style.GetNumOfSprx()}};
}

Counts MapCounts(const std::string& file, Progress& progress)
{
    // Both readers from one read of the file.
    const std::vector<uint8_t> bytes = ReadWholeFile(file, kLargestMapFile, 0, {}, progress);
    clsGMP anims;
    anims.ParseMap(bytes, file, progress);
    CityMap city;
    city.Parse(bytes, file, progress);
    return {{QStringLiteral("blocks"), static_cast<qint64>(city.BlockCount())},
            {QStringLiteral("zones"), static_cast<qint64>(city.Zones().size())},
            {QStringLiteral("animations"), anims.HasAnims() ? anims.Anims() + 1 : 0}};
}

Counts TextCounts(const std::string& file, Progress& progress)
{
    clsGXT texts;
    texts.ReadGXT(file, progress);
    return {{QStringLiteral("texts"), texts.GetEntries()},
            {QStringLiteral("language"), QString(QChar(texts.Language()))},
            {QStringLiteral("charset"), QString::fromLatin1(GxtCharsetName(texts.Charset()))}};
}

Counts CarCounts(const std::string& file, Progress& progress)
{
    clsGCI cars;
    cars.LoadCars(file, progress);
    return {{QStringLiteral("cars"), cars.GetNumOfCars()}};
}

void Info(Invocation& run)
{
    const std::string file = run.File(0);
    CheckOpens(file);
    // Each kind's name, and what it holds.
    static const std::map<FileKind, std::pair<QString, Counts (*)(const std::string&, Progress&)>> kReaders = {
        {FileKind::Style, {QStringLiteral("style"), StyleCounts}},
        {FileKind::Map, {QStringLiteral("map"), MapCounts}},
        {FileKind::Text, {QStringLiteral("text"), TextCounts}},
        {FileKind::Car, {QStringLiteral("car"), CarCounts}}};
    const auto reader = kReaders.find(KindOf(file));
    if (reader == kReaders.end())
        throw FileError(file,
                        "is none of the files Kestrova reads: not a style, map or text file by its first "
                        "bytes, nor a car, text, style or map file by its name");
    const QString& format = reader->second.first;
    const Counts counts = reader->second.second(file, run.progress);
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
