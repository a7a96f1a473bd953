// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What any file, however damaged, must do to the image import: give a 16 x 16 item's
// colour indices, or a refusal with its reason; and indices it gives, written as an
// export writes them and read again, must come back the same.

#include <QImage>
#include <QList>
#include <QSize>
#include <span>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "images/StyImages.h"
#include "tests/support/TempDir.h"

namespace imagecheck {

constexpr int kSide = 16;

// 256 colours, each its own.
inline QList<QRgb> Palette()
{
    QList<QRgb> colours;
    for (int c = 0; c < 256; ++c)
        colours << qRgb(c, 255 - c, (c * 7) & 0xFF);
    return colours;
}

}  // namespace imagecheck

inline void CheckImageFile(std::span<const uint8_t> input, const std::string& name, const TempDir& scratch)
{
    using namespace imagecheck;
    const std::string file = scratch.File(name);
    TempDir::Write(file, std::string(input.begin(), input.end()));
    const QList<QRgb> colours = Palette();
    const ImageFile got = ReadIndices(QString::fromStdString(file), QSize(kSide, kSide), colours);
    if (got.refusal != ImageFile::Refusal::None) {
        Require(got.refusal == ImageFile::Refusal::WrongSize || !got.why.isEmpty(), "a refusal without a reason");
        return;
    }
    Require(got.indices.size() == kSide * kSide, "an image gave " + std::to_string(got.indices.size()) + " indices");

    const QString again = QString::fromStdString(scratch.File("again.png"));
    Require(IndexedImage({kSide, kSide, 0, got.indices}, colours).save(again, "png"), "the indices cannot be saved");
    const ImageFile back = ReadIndices(again, QSize(kSide, kSide), colours);
    Require(back.refusal == ImageFile::Refusal::None && back.indices == got.indices,
            "the indices taken do not come back from the image an export writes");
}
