// SPDX-License-Identifier: GPL-3.0-or-later
#include "images/StyImages.h"

#include <QBuffer>
#include <QDir>
#include <QHash>
#include <QImageReader>
#include <QImageWriter>
#include <cstdio>
#include <mutex>
#include <stdexcept>

#include "core/io/FileError.h"
#include "core/io/FileIO.h"
#include "core/sty/StyExport.h"

namespace {

// Whether an indexed image's colour table is the item's palette, or its start: as we
// write it, colour 0 may be fully transparent.
bool SameTable(const QList<QRgb>& table, const QList<QRgb>& colours)
{
    if (table.isEmpty() || table.size() > colours.size())
        return false;
    for (qsizetype i = 0; i < table.size(); ++i)
        if (table[i] != colours[i] && !(i == 0 && qAlpha(table[i]) == 0))
            return false;
    return true;
}

QString Colour(QRgb pixel)
{
    const QString rgb = QStringLiteral("#%1").arg(pixel & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
    return qAlpha(pixel) == 255 ? rgb : QStringLiteral("%1 at opacity %2 of 255").arg(rgb).arg(qAlpha(pixel));
}

QString Padded(int n, int width)
{
    return QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0'));
}

// No tile or sprite image comes near: a 256 x 256 sprite as a 32-bit bitmap is 256 KB.
const SizeLimit kLargestImage{uint64_t{16} << 20, "image of a tile or sprite"};

uint32_t Le(const std::vector<uint8_t>& bytes, std::size_t at, int size)
{
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | bytes[at + i];
    return value;
}

// Whether run-length coded pixels from `at` reach their end-of-image mark inside the file.
bool RunsEnd(const std::vector<uint8_t>& bytes, std::size_t at, bool fourBits)
{
    while (at + 2 <= bytes.size()) {
        const uint8_t count = bytes[at], code = bytes[at + 1];
        at += 2;
        if (count != 0 || code == 0)  // a run, or the end of a line
            continue;
        if (code == 1)  // the end of the image
            return true;
        const std::size_t literal = fourBits ? (code + 1u) / 2 : code;
        at += code == 2 ? 2 : literal + literal % 2;  // a move, or pixels padded to a 16-bit boundary
    }
    return false;
}

// What is wrong with a bitmap whose pixels are not all in the file: Qt's reader takes
// such a file and leaves the missing pixels as they happen to be. Empty when nothing is,
// or the file is no bitmap (then the reader judges it).
QString DamagedBitmap(const std::vector<uint8_t>& bytes)
{
    const std::size_t size = bytes.size();
    if (size < 18 || bytes[0] != 'B' || bytes[1] != 'M')
        return {};
    const uint32_t pixelsAt = Le(bytes, 10, 4), header = Le(bytes, 14, 4);
    if (pixelsAt >= size)
        return QStringLiteral("its pixels would begin at byte %1, but it ends at byte %2").arg(pixelsAt).arg(size);
    const bool core = header == 12;  // the old OS/2 header, of 16-bit sizes
    if (core ? size < 26 : header < 40 || size < 54)
        return {};
    const uint64_t width = core ? Le(bytes, 18, 2) : Le(bytes, 18, 4);
    const auto height = static_cast<int32_t>(core ? Le(bytes, 20, 2) : Le(bytes, 22, 4));
    const uint32_t bits = Le(bytes, core ? 24 : 28, 2), coding = core ? 0 : Le(bytes, 30, 4);
    if (coding == 1 || coding == 2)
        return RunsEnd(bytes, pixelsAt, coding == 2)
                   ? QString()
                   : QStringLiteral("its run-length coded pixels end before the end-of-image mark");
    const uint64_t rows = height < 0 ? -int64_t{height} : height;
    const uint64_t rowBytes = (width * bits + 31) / 32 * 4;
    if (rowBytes == 0 || pixelsAt + rows * rowBytes <= size)
        return {};
    return QStringLiteral("its pixels end early: %1 of its %2 rows are in the file")
        .arg((size - pixelsAt) / rowBytes)
        .arg(rows);
}

// What Qt's image readers log while they read: they report damage they read past (all of
// libpng's warnings among them) only there. The messages of the thread that reads are
// collected; one read at a time, since the handler is the process's.
thread_local QStringList* tHeard = nullptr;
QtMessageHandler gPreviousHandler = nullptr;

void Collect(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (tHeard != nullptr && type != QtDebugMsg)
        tHeard->append(message);
    else if (gPreviousHandler != nullptr)
        gPreviousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

class ReaderMessages {
public:
    ReaderMessages() : lock_(Mutex())
    {
        tHeard = &heard_;
        gPreviousHandler = qInstallMessageHandler(Collect);
    }
    ~ReaderMessages()
    {
        qInstallMessageHandler(gPreviousHandler);
        tHeard = nullptr;
    }
    ReaderMessages(const ReaderMessages&) = delete;
    ReaderMessages& operator=(const ReaderMessages&) = delete;
    const QStringList& Heard() const { return heard_; }

private:
    static std::mutex& Mutex()
    {
        static std::mutex mutex;
        return mutex;
    }
    std::lock_guard<std::mutex> lock_;
    QStringList heard_;
};

// The first pixel of an indexed image whose index has no colour in its table.
QString IndexBeyondTable(const QImage& image)
{
    if (image.format() != QImage::Format_Indexed8)
        return {};
    const int colours = image.colorCount();
    for (int y = 0; y < image.height(); ++y) {
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x)
            if (line[x] >= colours)
                return QStringLiteral("the pixel at (%1, %2) has colour index %3, beyond the image's %4 colours")
                    .arg(x)
                    .arg(y)
                    .arg(line[x])
                    .arg(colours);
    }
    return {};
}

}  // namespace

ItemPixels PixelsOf(const clsSTY& sty, StyItem item, int n)
{
    if (item == StyItem::Tile)
        return {clsSTY::kTileSide, clsSTY::kTileSide, sty.TilePalette(n), sty.TileIndices(n)};
    if (item != StyItem::Sprite)
        throw std::invalid_argument("a palette has no pixels");
    const clsSTY::SpriteEntry& sprite = sty.GetSprite(n);
    return {sprite.width, sprite.height, sty.SpritePalette(n), sty.SpriteIndices(n)};
}

QList<QRgb> PaletteColours(const clsSTY& sty, int pal, bool transparent)
{
    QList<QRgb> colours(clsSTY::kColours);
    for (int c = 0; c < clsSTY::kColours; ++c)
        colours[c] = 0xFF000000u | sty.GetCol(pal, c);
    if (transparent)
        colours[0] &= 0x00FFFFFFu;
    return colours;
}

QImage IndexedImage(const ItemPixels& pixels, const QList<QRgb>& colours)
{
    QImage image(pixels.width, pixels.height, QImage::Format_Indexed8);
    image.setColorTable(colours);
    for (int y = 0; y < pixels.height; ++y)
        std::copy_n(pixels.indices.data() + static_cast<std::size_t>(y) * pixels.width, pixels.width,
                    image.scanLine(y));
    return image;
}

ImageIndices IndicesOf(const QImage& image, const QList<QRgb>& colours)
{
    const int width = image.width(), height = image.height();
    ImageIndices out;
    out.indices.resize(static_cast<std::size_t>(width) * height);
    if (image.format() == QImage::Format_Indexed8 && SameTable(image.colorTable(), colours)) {
        for (int y = 0; y < height; ++y)
            std::copy_n(image.constScanLine(y), width, out.indices.data() + static_cast<std::size_t>(y) * width);
        return out;
    }
    // The lowest index of each colour.
    QHash<QRgb, uint8_t> index;
    for (int c = static_cast<int>(colours.size()) - 1; c >= 0; --c)
        index.insert(colours[c], static_cast<uint8_t>(c));
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = line[x];
            const auto found = index.constFind(pixel);
            if (qAlpha(pixel) == 0)
                out.indices[static_cast<std::size_t>(y) * width + x] = 0;
            else if (found != index.constEnd())
                out.indices[static_cast<std::size_t>(y) * width + x] = *found;
            else
                return {{},
                        QStringLiteral("The pixel at (%1, %2) is %3, which is none of the item's 256 colours.")
                            .arg(x)
                            .arg(y)
                            .arg(Colour(pixel))};
        }
    }
    return out;
}

ImageFile ReadIndices(const QString& path, QSize size, const QList<QRgb>& colours)
{
    using Refusal = ImageFile::Refusal;
    // Read by the file layer, which refuses anything but a regular file of a sane size at
    // once, and decoded from memory.
    std::vector<uint8_t> bytes;
    try {
        bytes = ReadWholeFile(path.toStdString(), kLargestImage);
    } catch (const FileError& e) {
        return {Refusal::Unreadable, {}, QString::fromStdString(e.Problem()), {}};
    }
    if (const QString damage = DamagedBitmap(bytes); !damage.isEmpty())
        return {Refusal::Unreadable, {}, damage, {}};
    QByteArray data =
        QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QImage image;
    QStringList warnings;
    {
        const ReaderMessages messages;
        if (const QSize declared = reader.size(); declared.isValid() && declared != size)
            return {Refusal::WrongSize, declared, {}, {}};
        image = reader.read();
        warnings = messages.Heard();
    }
    if (image.isNull())
        return {Refusal::Unreadable, {}, reader.errorString(), {}};
    if (!warnings.isEmpty()) {
        const QString why = QStringLiteral("the image reader warns: ") + warnings.join(QStringLiteral("; "));
        return {Refusal::Unreadable, {}, why, {}};
    }
    if (image.size() != size)
        return {Refusal::WrongSize, image.size(), {}, {}};
    if (const QString beyond = IndexBeyondTable(image); !beyond.isEmpty())
        return {Refusal::Unreadable, {}, beyond, {}};
    ImageIndices got = IndicesOf(image, colours);
    if (!got.problem.isEmpty())
        return {Refusal::Unmatched, {}, got.problem, {}};
    return {Refusal::None, {}, {}, std::move(got.indices)};
}

void ExportItem(clsSTY& sty, StyItem item, int n, const std::string& path, bool png, bool transparent)
{
    if (item == StyItem::Palette)
        return SavePal(path, sty, n);
    if (!png)
        return item == StyItem::Tile ? sty.SaveTile(path, n) : sty.SaveSprite(path, n);
    const ItemPixels pixels = PixelsOf(sty, item, n);
    if (pixels.indices.empty())
        throw std::invalid_argument("sprite " + std::to_string(n) + " has no pixels, and a PNG file needs one");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // The fastest deflate level: an export writes thousands of small images, and the
    // default level took a third longer over a realistic style's sprites.
    writer.setCompression(1);
    if (!writer.write(IndexedImage(pixels, PaletteColours(sty, pixels.pal, transparent))))
        throw std::runtime_error("the PNG could not be made: " + writer.errorString().toStdString());
    WriteExportFile(path,
                    {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())});
}

QString ExportName(StyItem item, int n, int count, bool png)
{
    const int least = item == StyItem::Palette ? 3 : 4;
    const int width = std::max(least, static_cast<int>(QString::number(std::max(count - 1, 0)).size()));
    if (item == StyItem::Palette)
        return QStringLiteral("Pal") + Padded(n, width) + QStringLiteral(".pal");
    return (item == StyItem::Tile ? QStringLiteral("Tile") : QStringLiteral("Sprite")) + Padded(n, width) +
           (png ? QStringLiteral(".png") : QStringLiteral(".bmp"));
}

std::vector<ExportEntry> ExportEntries(const clsSTY& sty, bool png, const std::vector<StyItem>& kinds)
{
    std::vector<ExportEntry> entries;
    for (StyItem item : kinds) {
        const int count = item == StyItem::Tile     ? sty.GetNumOfTiles()
                          : item == StyItem::Sprite ? sty.GetNumOfSprx()
                                                    : sty.GetNumOfPals();
        for (int n = 0; n < count; ++n)
            entries.push_back({item, n, ExportName(item, n, count, png)});
    }
    return entries;
}

ExportResult ExportAll(clsSTY& sty, const std::vector<ExportEntry>& entries, const QString& folder, bool png,
                       bool transparent, Progress& progress)
{
    ExportResult result;
    const QDir into(folder);
    ProgressScope stage(progress, 0, static_cast<double>(entries.size()), "Exporting...");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ExportEntry& entry = entries[i];
        try {
            stage.Update(static_cast<double>(i));
        } catch (const Cancelled&) {
            result.cancelled = true;
            break;
        }
        try {
            ExportItem(sty, entry.item, entry.n, into.filePath(entry.name).toStdString(), png, transparent);
            ++result.written[static_cast<int>(entry.item)];
        } catch (const FileError& e) {
            result.stoppedBy = QString::fromStdString(e.what());
            break;
        } catch (const std::exception& e) {
            result.failures << entry.name + QStringLiteral(": ") + QString::fromStdString(e.what());
        }
    }
    return result;
}
