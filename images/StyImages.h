// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tiles and sprites as Qt images and back, and the viewer's exports: PNG files carry the
// item's own 256 colours in an 8-bit colour table, so index n in the file is index n in
// the style; an image taken back gives its indices as they are when its table is the
// item's palette, and otherwise by matching each pixel's colour.

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/sty/clsSTY.h"

enum class StyItem { Tile, Sprite, Palette };

// An item's pixels and the palette it is exported with.
struct ItemPixels {
    int width = 0;
    int height = 0;
    int16_t pal = 0;
    std::vector<uint8_t> indices;  // row by row from the top
};
// Throws std::out_of_range as the model does.
ItemPixels PixelsOf(const clsSTY& sty, StyItem item, int n);

// The palette's 256 colours, opaque; with `transparent`, colour 0 fully transparent.
QList<QRgb> PaletteColours(const clsSTY& sty, int pal, bool transparent = false);

// An 8-bit indexed image of the pixels with the colour table `colours`.
QImage IndexedImage(const ItemPixels& pixels, const QList<QRgb>& colours);

// The colour indices an image gives for an item whose palette is `colours` (opaque), or,
// in `problem`, why it gives none: the first pixel, row by row, that is none of them.
struct ImageIndices {
    std::vector<uint8_t> indices;
    QString problem;
};
ImageIndices IndicesOf(const QImage& image, const QList<QRgb>& colours);

// An image file's colour indices for an item of `size` whose palette is `colours`, or why
// it gives none. The size is taken from the file's header first, so that a huge image is
// refused before it is decoded. A file that is no regular file, or a damaged one, gives
// none and says why (Unreadable): a bitmap whose pixels are not all in the file, whatever
// the reader warns of while it reads (libpng, say, of an index beyond the palette), a
// colour index beyond the image's own colours.
struct ImageFile {
    enum class Refusal { None, Unreadable, WrongSize, Unmatched };
    Refusal refusal = Refusal::None;
    QSize size;                    // the image's, with WrongSize
    QString why;                   // the reader's reason, or the first pixel that is no colour
    std::vector<uint8_t> indices;  // with None
};
ImageFile ReadIndices(const QString& path, QSize size, const QList<QRgb>& colours);

// Writes the item: a tile or sprite as PNG (colour 0 transparent with `transparent`) or
// as an 8-bit bitmap, a palette as JASC-PAL. Throws FileError when the file cannot be
// written and std::out_of_range for an item that cannot be exported.
void ExportItem(clsSTY& sty, StyItem item, int n, const std::string& path, bool png, bool transparent);

// "Tile0000.png", "Sprite0000.bmp", "Pal000.pal": zero-padded so that they sort, with
// more digits where the count needs them.
QString ExportName(StyItem item, int n, int count, bool png);

// Every item of a kind, named for an export of all.
struct ExportEntry {
    StyItem item;
    int n;
    QString name;
};
std::vector<ExportEntry> ExportEntries(const clsSTY& sty, bool png, const std::vector<StyItem>& kinds);

// What an export of all did.
struct ExportResult {
    int written[3] = {0, 0, 0};  // by StyItem
    QStringList failures;        // "name: why", each item that could not be exported
    QString stoppedBy;           // a write that failed, which ends the export
    bool cancelled = false;
};
// Writes each entry into `folder`, reporting each file to `progress`; a stop asked for
// there ends the export after the file being written, and the result says it was
// cancelled. A file that cannot be written stops it, since the next would fare no
// better; an item that cannot be exported is named and passed over.
ExportResult ExportAll(clsSTY& sty, const std::vector<ExportEntry>& entries, const QString& folder, bool png,
                       bool transparent, Progress& progress = NoProgress());
