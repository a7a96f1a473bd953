// SPDX-License-Identifier: GPL-3.0-or-later
// Map files: the named zones listed, added, changed, removed and checked, and the map
// drawn as a PNG image.

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonObject>

#include <optional>
#include <stdexcept>

#include "cli/Command.h"
#include "core/common/Numbers.h"
#include "core/gmp/CityMap.h"
#include "core/gmp/CityPicture.h"
#include "core/gmp/MapZones.h"
#include "core/io/FileIO.h"
#include "core/sty/clsSTY.h"

namespace {

// The largest picture drawn: 8192 pixels a side, as the viewer saves.
constexpr int kMostScale = 32;
constexpr int kDefaultScale = 8;

CityMap Loaded(const std::string& file)
{
    CityMap map;
    map.Load(file);
    return map;
}

// A whole number, or a usage error naming `what`.
int WholeNumber(const QString& text, const QString& what)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok)
        throw UsageError(what.toStdString() + " is not a whole number: \"" + text.toStdString() + "\"");
    return n;
}

// A value a zone's byte can hold; beyond it the edit is refused as the model refuses.
uint8_t ZoneByte(int n, const char* what)
{
    if (n < 0 || n > 255)
        throw std::invalid_argument(std::string("the zone's ") + what + " " + std::to_string(n) +
                                    " is outside 0 to 255 (a rectangle reaches at most to block 255)");
    return static_cast<uint8_t>(n);
}

std::size_t ZoneIndex(const Invocation& run)
{
    const int n = WholeNumber(run.arguments.at(1), QStringLiteral("the zone's index"));
    if (n < 0)
        throw UsageError("a zone's index counts from 0, not " + std::to_string(n));
    return static_cast<std::size_t>(n);
}

const MapZone& ZoneAt(const CityMap& map, std::size_t index, const Invocation& run)
{
    if (index >= map.Zones().size())
        throw std::out_of_range(run.File(0) + " has " + std::to_string(map.Zones().size()) +
                                " zones, numbered from 0: there is no zone " + std::to_string(index));
    return map.Zones()[index];
}

// The zone with what the options change in it.
MapZone Changed(MapZone zone, const Invocation& run)
{
    if (run.Has(QStringLiteral("type")))
        zone.type = ZoneByte(WholeNumber(run.Option(QStringLiteral("type")), QStringLiteral("--type")), "type");
    if (run.Has(QStringLiteral("name")))
        zone.name = run.Option(QStringLiteral("name")).toUtf8().toStdString();
    if (run.Has(QStringLiteral("rect"))) {
        const QStringList parts = run.Option(QStringLiteral("rect")).split(',');
        if (parts.size() != 4)
            throw UsageError("--rect takes X,Y,W,H: four whole numbers in blocks");
        const char* names[4] = {"x", "y", "width", "height"};
        uint8_t* fields[4] = {&zone.x, &zone.y, &zone.w, &zone.h};
        for (int i = 0; i < 4; ++i)
            *fields[i] = ZoneByte(WholeNumber(parts[i].trimmed(), QStringLiteral("--rect")), names[i]);
    }
    return zone;
}

QString Described(std::size_t index, const MapZone& zone)
{
    return QStringLiteral("zone %1 (%2)").arg(index).arg(FromLatin1(zone.name));
}

void List(Invocation& run)
{
    const CityMap map = Loaded(run.File(0));
    QJsonArray list;
    QList<QStringList> rows;
    for (std::size_t i = 0; i < map.Zones().size(); ++i) {
        const MapZone& z = map.Zones()[i];
        list.append(QJsonObject{{QStringLiteral("index"), static_cast<qint64>(i)},
                                {QStringLiteral("type"), z.type},
                                {QStringLiteral("x"), z.x},
                                {QStringLiteral("y"), z.y},
                                {QStringLiteral("w"), z.w},
                                {QStringLiteral("h"), z.h},
                                {QStringLiteral("name"), FromLatin1(z.name)}});
        rows << QStringList{QString::number(i),   QString::number(z.type), QString::fromLatin1(ZoneTypeName(z.type)),
                            QString::number(z.x), QString::number(z.y),    QString::number(z.w),
                            QString::number(z.h), FromLatin1(z.name)};
    }
    if (run.Json())
        return PrintJson(run.out, QJsonObject{{QStringLiteral("zones"), list}});
    PrintTable(run.out, {"#", "type", "kind", "x", "y", "w", "h", "name"}, rows);
}

void Add(Invocation& run)
{
    for (const char* needed : {"type", "name", "rect"})
        if (!run.Has(QString::fromLatin1(needed)))
            throw UsageError(std::string("a new zone needs --") + needed);
    CityMap map = Loaded(run.File(0));
    const MapZone zone = Changed(MapZone{}, run);
    const std::size_t at = map.AddZone(zone);
    map.Save(run.File(0));
    run.out << "added " << Described(at, zone) << '\n';
}

void Set(Invocation& run)
{
    if (!run.Has(QStringLiteral("type")) && !run.Has(QStringLiteral("name")) && !run.Has(QStringLiteral("rect")))
        throw UsageError("name what changes: --type, --name or --rect");
    const std::size_t index = ZoneIndex(run);
    CityMap map = Loaded(run.File(0));
    const MapZone zone = Changed(ZoneAt(map, index, run), run);
    const std::size_t at = map.ChangeZone(index, zone);
    map.Save(run.File(0));
    run.out << "changed " << Described(at, zone);
    if (at != index)
        run.out << ", which was zone " << index;
    run.out << '\n';
}

void Remove(Invocation& run)
{
    const std::size_t index = ZoneIndex(run);
    CityMap map = Loaded(run.File(0));
    const MapZone gone = ZoneAt(map, index, run);
    map.RemoveZone(index);
    map.Save(run.File(0));
    run.out << "removed " << Described(index, gone) << '\n';
}

// Prints what the check finds; errors make the command fail (status 1), warnings alone do not.
void Check(Invocation& run)
{
    const CityMap map = Loaded(run.File(0));
    const std::vector<ZoneFinding> found = CheckZones(map.Zones());
    const auto errors = std::count_if(found.begin(), found.end(),
                                      [](const ZoneFinding& f) { return f.severity == ZoneFinding::Severity::Error; });
    const auto warnings = static_cast<qint64>(found.size()) - errors;
    if (run.Json()) {
        QJsonArray list;
        for (const ZoneFinding& f : found)
            list.append(QJsonObject{{QStringLiteral("index"), static_cast<qint64>(f.zone)},
                                    {QStringLiteral("name"), FromLatin1(f.name)},
                                    {QStringLiteral("severity"), QString::fromLatin1(SeverityName(f.severity))},
                                    {QStringLiteral("problem"), FromLatin1(f.problem)}});
        PrintJson(run.out, QJsonObject{{QStringLiteral("zones"), static_cast<qint64>(map.Zones().size())},
                                       {QStringLiteral("errors"), static_cast<qint64>(errors)},
                                       {QStringLiteral("warnings"), warnings},
                                       {QStringLiteral("findings"), list}});
    } else {
        for (const ZoneFinding& f : found)
            run.out << SeverityName(f.severity) << ": zone " << f.zone << " (" << FromLatin1(f.name) << ") "
                    << FromLatin1(f.problem) << '\n';
        run.out << QString::fromStdString(Counted(map.Zones().size(), "zone") + ": " + Counted(errors, "error") + ", " +
                                          Counted(warnings, "warning"))
                << '\n';
    }
    if (errors > 0)
        throw std::runtime_error(run.File(0) + ": " + Counted(errors, "error") + " in the zones");
}

void Render(Invocation& run)
{
    if (!run.Has(QStringLiteral("o")))
        throw UsageError("the image to write is missing: -o IMAGE.png");
    const int scale = run.Has(QStringLiteral("scale"))
                          ? WholeNumber(run.Option(QStringLiteral("scale")), QStringLiteral("--scale"))
                          : kDefaultScale;
    if (scale < 1 || scale > kMostScale)
        throw UsageError("--scale takes 1 to " + std::to_string(kMostScale) + " pixels a block");
    const CityMap map = Loaded(run.File(0));
    std::optional<clsSTY> style;
    if (run.Has(QStringLiteral("style"))) {
        style.emplace();
        style->LoadSTY(run.Option(QStringLiteral("style")).toStdString());
    }
    CityPicture picture = DrawCity(map, style ? &*style : nullptr, CityMap::kLevels - 1, scale);
    const QImage image(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.side, picture.side,
                       picture.side * 4, QImage::Format_RGB32);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        throw std::runtime_error("the PNG could not be made: " + writer.errorString().toStdString());
    ReplaceWholeFile(run.Option(QStringLiteral("o")).toStdString(),
                     {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())});
}

QCommandLineOption ValueOption(const char* name, const char* about, const char* value)
{
    return QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(about), QString::fromLatin1(value));
}

QList<QCommandLineOption> ZoneOptions()
{
    return {ValueOption("type", "The zone's type, 0 to 20 (not 3, 4, 9, 17, 18 or 19).", "T"),
            ValueOption("name", "The zone's name: up to 255 printable ASCII characters.", "NAME"),
            ValueOption("rect", "Its rectangle in blocks: left, top, width, height.", "X,Y,W,H")};
}

}  // namespace

void AddZoneCommands(std::vector<Command>& commands)
{
    const QString saves =
        QStringLiteral(" Saves, keeping the old file as MAP.bak; the zones are written sorted by area.");
    commands.push_back({QStringLiteral("gmp zones"),
                        QStringLiteral("MAP"),
                        QStringLiteral("The named zones in file order, numbered from 0."),
                        1,
                        {JsonOption()},
                        List});
    commands.push_back({QStringLiteral("gmp zone add"), QStringLiteral("MAP --type T --name NAME --rect X,Y,W,H"),
                        QStringLiteral("Adds a zone.") + saves, 1, ZoneOptions(), Add});
    commands.push_back({QStringLiteral("gmp zone set"),
                        QStringLiteral("MAP INDEX [--type T] [--name NAME] [--rect X,Y,W,H]"),
                        QStringLiteral("Changes a zone's type, name or rectangle.") + saves, 2, ZoneOptions(), Set});
    commands.push_back({QStringLiteral("gmp zone remove"),
                        QStringLiteral("MAP INDEX"),
                        QStringLiteral("Removes a zone.") + saves,
                        2,
                        {},
                        Remove});
    commands.push_back({QStringLiteral("gmp check"),
                        QStringLiteral("MAP"),
                        QStringLiteral("Checks the zones: exits 0 with none but warnings, 1 with errors."),
                        1,
                        {JsonOption()},
                        Check});
    commands.push_back(
        {QStringLiteral("gmp render"),
         QStringLiteral("MAP -o IMAGE.png [--style STYLE] [--scale N]"),
         QStringLiteral("Draws the map from above as a PNG: with the style's tiles, or by ground type without one."),
         1,
         {ValueOption("o", "The PNG file to write.", "IMAGE.png"),
          ValueOption("style", "The style file whose tiles draw the lids.", "STYLE"),
          ValueOption("scale", "Pixels a block, 1 to 32 (default 8).", "N")},
         Render});
}
