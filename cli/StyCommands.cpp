// SPDX-License-Identifier: GPL-3.0-or-later
// Style files: every image out, one image back in.

#include <QDir>

#include "cli/Command.h"
#include "core/io/FileError.h"
#include "core/sty/clsSTY.h"
#include "images/StyImages.h"

namespace {

clsSTY Loaded(const std::string& file, Progress& progress)
{
    clsSTY style;
    style.LoadSTY(file, progress);
    return style;
}

std::vector<StyItem> Kinds(const Invocation& run)
{
    std::vector<StyItem> kinds;
    for (const auto& [option, item] :
         {std::pair{"tiles", StyItem::Tile}, {"sprites", StyItem::Sprite}, {"palettes", StyItem::Palette}})
        if (run.Has(QString::fromLatin1(option)))
            kinds.push_back(item);
    return kinds.empty() ? std::vector<StyItem>{StyItem::Tile, StyItem::Sprite, StyItem::Palette} : kinds;
}

void Export(Invocation& run)
{
    const QString format = run.Option(QStringLiteral("format")).toLower();
    if (format != QStringLiteral("png") && format != QStringLiteral("bmp"))
        throw UsageError("--format takes png or bmp, not \"" + format.toStdString() + "\"");
    const bool png = format == QStringLiteral("png");
    clsSTY style = Loaded(run.File(0), run.progress);
    const QString folder = run.arguments.at(1);
    const std::vector<ExportEntry> entries = ExportEntries(style, png, Kinds(run));
    const QDir into(folder);
    if (!run.Has(QStringLiteral("overwrite")))
        for (const ExportEntry& entry : entries)
            if (into.exists(entry.name))
                throw FileError(into.filePath(entry.name).toStdString(),
                                "is there already; --overwrite replaces the files an export finds");
    if (!QDir().mkpath(folder))
        throw FileError(folder.toStdString(), "cannot be made as a folder");

    const ExportResult result =
        ExportAll(style, entries, folder, png, run.Has(QStringLiteral("transparent")), run.progress);
    for (const QString& failure : result.failures)
        run.err << "kestrova-cli: not exported: " << failure << '\n';
    run.out << "wrote " << result.written[0] << " tiles, " << result.written[1] << " sprites and " << result.written[2]
            << " palettes to " << folder << '\n';
    if (!result.stoppedBy.isEmpty())
        throw std::runtime_error(result.stoppedBy.toStdString());
    if (!result.failures.isEmpty())
        throw std::runtime_error(std::to_string(result.failures.size()) + " items could not be exported");
}

void Replace(Invocation& run)
{
    const bool tile = run.Has(QStringLiteral("tile")), sprite = run.Has(QStringLiteral("sprite"));
    if (tile == sprite)
        throw UsageError("name one item: --tile N or --sprite N");
    bool number = false;
    const int n = run.Option(tile ? QStringLiteral("tile") : QStringLiteral("sprite")).toInt(&number);
    if (!number)
        throw UsageError("the item's number is not a whole number");
    clsSTY style = Loaded(run.File(0), run.progress);
    const StyItem item = tile ? StyItem::Tile : StyItem::Sprite;
    const std::string what = (tile ? "tile " : "sprite ") + std::to_string(n);
    const int count = tile ? style.GetNumOfTiles() : style.GetNumOfSprx();
    if (n < 0 || n >= count)
        throw FileError(run.File(0), "has no " + what + " (it holds " + std::to_string(count) + ", from 0)");

    const ItemPixels pixels = PixelsOf(style, item, n);
    const ImageFile got =
        ReadIndices(run.arguments.at(1), QSize(pixels.width, pixels.height), PaletteColours(style, pixels.pal));
    switch (got.refusal) {
        case ImageFile::Refusal::None:
            break;
        case ImageFile::Refusal::WrongSize:
            throw FileError(run.File(1), "is " + std::to_string(got.size.width()) + " x " +
                                             std::to_string(got.size.height()) + " pixels, but " + what + " is " +
                                             std::to_string(pixels.width) + " x " + std::to_string(pixels.height));
        case ImageFile::Refusal::Unreadable:
            throw FileError(run.File(1), "cannot be read as an image: " + got.why.toStdString());
        case ImageFile::Refusal::Unmatched:
            throw FileError(run.File(1), got.why.toStdString());
    }
    if (tile)
        style.ReplaceTile(n, got.indices);
    else
        style.ReplaceSprite(n, got.indices);
    style.SaveSTY(run.File(0));
    if (sprite)
        for (int other : style.SpritesSharingPixels(n))
            run.out << "sprite " << other << " shares these pixels and changed too\n";
}

}  // namespace

void AddStyCommands(std::vector<Command>& commands)
{
    commands.push_back(
        {QStringLiteral("sty export"),
         QStringLiteral("FILE DIR"),
         QStringLiteral("Writes tiles, sprites and palettes (all, or the kinds named) into DIR."),
         2,
         {QCommandLineOption(QStringLiteral("format"), QStringLiteral("png (the default) or bmp."),
                             QStringLiteral("png|bmp"), QStringLiteral("png")),
          QCommandLineOption(QStringLiteral("tiles"), QStringLiteral("The tiles, as Tile0000.png and on.")),
          QCommandLineOption(QStringLiteral("sprites"), QStringLiteral("The sprites, as Sprite0000.png and on.")),
          QCommandLineOption(QStringLiteral("palettes"), QStringLiteral("The palettes, as JASC Pal000.pal and on.")),
          QCommandLineOption(QStringLiteral("transparent"), QStringLiteral("Colour 0 fully transparent in PNG files.")),
          QCommandLineOption(QStringLiteral("overwrite"), QStringLiteral("Replace files already in DIR."))},
         Export});
    commands.push_back(
        {QStringLiteral("sty replace"),
         QStringLiteral("FILE (--tile N | --sprite N) IMAGE"),
         QStringLiteral("Puts a PNG or BMP of the item's size back in (N as in the exported names) "
                        "and saves, keeping the old file as FILE.bak."),
         2,
         {QCommandLineOption(QStringLiteral("tile"), QStringLiteral("The tile to replace."), QStringLiteral("N")),
          QCommandLineOption(QStringLiteral("sprite"), QStringLiteral("The sprite to replace."), QStringLiteral("N"))},
         Replace});
}
