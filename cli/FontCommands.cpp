// SPDX-License-Identifier: GPL-3.0-or-later
// The game's fonts: what a font style holds, which texts a font cannot draw, and one
// text drawn as the game draws it.

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonObject>

#include <cstring>

#include "cli/Command.h"
#include "core/gxt/clsGXT.h"
#include "core/io/FileIO.h"
#include "core/sty/FontText.h"
#include "core/sty/clsSTY.h"
#include "core/translation/TextCheck.h"

namespace {

clsSTY LoadedStyle(const std::string& file)
{
    clsSTY style;
    style.LoadSTY(file);
    return style;
}

// The text file to draw: its bytes must be in the game font's charset, as the fonts are.
clsGXT LoadedTexts(const std::string& file)
{
    clsGXT texts;
    texts.ReadGXT(file);
    if (texts.Charset() == GxtCharset::Windows1252)
        throw FileError(file,
                        "holds its texts in Windows-1252 (a front-end menu file), but the game's fonts "
                        "are laid out in the game font's charset");
    return texts;
}

std::string StyleFile(const Invocation& run)
{
    if (!run.Has(QStringLiteral("style")))
        throw UsageError("the font style is missing: --style STYLE (the game's is data/fstyle.sty)");
    return run.Option(QStringLiteral("style")).toStdString();
}

// --font N, or the first font with lower-case letters (font 0 when none has them).
int ChosenFont(const Invocation& run, const clsSTY& style, const std::string& styleFile)
{
    if (style.GetNumOfFonts() == 0)
        throw FileError(styleFile, "has no fonts (no FONB chunk)");
    if (!run.Has(QStringLiteral("font")))
        return DefaultFont(style).value_or(0);
    bool number = false;
    const int font = run.Option(QStringLiteral("font")).toInt(&number);
    if (!number)
        throw UsageError("--font takes a font's number, from 0");
    if (font < 0 || font >= style.GetNumOfFonts())
        throw FileError(styleFile, "has no font " + std::to_string(font) + " (it has " +
                                       std::to_string(style.GetNumOfFonts()) + ", from 0)");
    return font;
}

QJsonArray Numbers(const std::vector<uint8_t>& bytes)
{
    QJsonArray numbers;
    for (uint8_t b : bytes)
        numbers.append(b);
    return numbers;
}

void Fonts(Invocation& run)
{
    const clsSTY style = LoadedStyle(run.File(0));
    QJsonArray fonts;
    QList<QStringList> rows;
    for (int f = 0; f < style.GetNumOfFonts(); ++f) {
        const int values[] = {f, clsSTY::kFirstFontCharacter, style.FontCharacters(f), style.FontHeight(f),
                              style.FontFirstSprite(f)};
        fonts.append(QJsonObject{{"font", values[0]},
                                 {"first", values[1]},
                                 {"characters", values[2]},
                                 {"height", values[3]},
                                 {"firstSprite", values[4]}});
        rows.append(QStringList());
        for (int value : values)
            rows.back() << QString::number(value);
    }
    if (run.Json())
        return PrintJson(run.out, QJsonObject{{"fonts", fonts}});
    PrintTable(run.out, {"font", "first", "characters", "height", "first sprite"}, rows);
}

void Check(Invocation& run)
{
    const std::string styleFile = StyleFile(run);
    const clsGXT texts = LoadedTexts(run.File(0));
    const clsSTY style = LoadedStyle(styleFile);
    const GameFont font(style, ChosenFont(run, style, styleFile));
    const std::vector<EntryFindings> found = CheckTexts(texts, font);

    QJsonArray entries;
    for (const EntryFindings& each : found) {
        const QString key = FromLatin1(KeyName(texts, each.entry));
        if (run.Json()) {
            entries.append(QJsonObject{{"key", key},
                                       {"undrawable", Numbers(each.findings.undrawable)},
                                       {"blank", Numbers(each.findings.blank)}});
            continue;
        }
        QStringList parts;
        if (!each.findings.undrawable.empty())
            parts << "cannot draw: " + QString::fromStdString(LetterNames(each.findings.undrawable));
        if (!each.findings.blank.empty())
            parts << "blank: " + QString::fromStdString(LetterNames(each.findings.blank));
        run.out << key << ": " << parts.join(QStringLiteral("; ")) << '\n';
    }
    if (run.Json())
        PrintJson(run.out, QJsonObject{{"font", font.Number()}, {"entries", entries}});
    else if (found.empty())
        run.out << "font " << font.Number() << " draws every letter of every text\n";
    if (!found.empty())
        throw std::runtime_error(std::to_string(found.size()) + " of " + std::to_string(texts.GetEntries()) +
                                 " texts have letters font " + std::to_string(font.Number()) + " cannot show");
}

QByteArray PngOf(const DrawnText& drawn)
{
    QImage image(drawn.width, drawn.height, QImage::Format_ARGB32);
    for (int y = 0; y < drawn.height; ++y)
        std::memcpy(image.scanLine(y), drawn.pixels.data() + static_cast<std::size_t>(y) * drawn.width,
                    static_cast<std::size_t>(drawn.width) * 4);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        throw std::runtime_error("the image cannot be made: " + writer.errorString().toStdString());
    return bytes;
}

void Render(Invocation& run)
{
    if (!run.Has(QStringLiteral("o")))
        throw UsageError("the image to write is missing: -o IMAGE.png");
    const std::string styleFile = StyleFile(run), image = run.Option(QStringLiteral("o")).toStdString();
    const clsGXT texts = LoadedTexts(run.File(0));
    const int32_t entry = texts.FindKey(run.File(1));
    if (entry == 0)
        throw FileError(run.File(0), "has no key \"" + run.File(1) + "\"");
    const clsSTY style = LoadedStyle(styleFile);
    const GameFont font(style, ChosenFont(run, style, styleFile));
    const DrawnText drawn = font.Draw(texts.GetValue(entry));
    if (drawn.width == 0 || drawn.height == 0)
        throw std::runtime_error("the text of \"" + run.File(1) + "\" draws nothing in font " +
                                 std::to_string(font.Number()) + ", so no image is written");
    const QByteArray png = PngOf(drawn);
    ReplaceWholeFile(image, {reinterpret_cast<const uint8_t*>(png.constData()), static_cast<std::size_t>(png.size())});
    run.out << "wrote " << QString::fromStdString(image) << ": " << drawn.width << " x " << drawn.height
            << " pixels in font " << font.Number() << '\n';
    if (!drawn.findings.undrawable.empty())
        run.out << "cannot draw: " << QString::fromStdString(LetterNames(drawn.findings.undrawable)) << '\n';
    if (!drawn.findings.blank.empty())
        run.out << "blank: " << QString::fromStdString(LetterNames(drawn.findings.blank)) << '\n';
}

QCommandLineOption StyleOption()
{
    return QCommandLineOption(QStringLiteral("style"), QStringLiteral("The font style (the game's data/fstyle.sty)."),
                              QStringLiteral("STYLE"));
}

QCommandLineOption FontOption()
{
    return QCommandLineOption(QStringLiteral("font"),
                              QStringLiteral("The font, from 0 (default: the first with lower-case letters)."),
                              QStringLiteral("N"));
}

}  // namespace

void AddFontCommands(std::vector<Command>& commands)
{
    commands.push_back({QStringLiteral("sty fonts"),
                        QStringLiteral("STYLE"),
                        QStringLiteral("The style's fonts: first character, characters, height and first sprite."),
                        1,
                        {JsonOption()},
                        Fonts});
    commands.push_back({QStringLiteral("gxt check"),
                        QStringLiteral("TEXTS --style STYLE [--font N]"),
                        QStringLiteral("Lists the texts with letters the font cannot draw or draws blank "
                                       "(exit 1 when any has)."),
                        1,
                        {StyleOption(), FontOption(), JsonOption()},
                        Check});
    commands.push_back({QStringLiteral("gxt render"),
                        QStringLiteral("TEXTS KEY --style STYLE [--font N] -o IMAGE.png"),
                        QStringLiteral("Draws one text as the game's font draws it, as a PNG as tall as the font."),
                        2,
                        {StyleOption(), FontOption(),
                         QCommandLineOption(QStringLiteral("o"), QStringLiteral("The PNG image to write."),
                                            QStringLiteral("IMAGE.png"))},
                        Render});
}
