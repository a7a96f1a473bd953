// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own pictures, drawn here so that nothing is taken from elsewhere.

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPixmap>

// The launcher's logo, 347 x 91.
QPixmap MakeLogo();
// A pointing hand, 32 x 32, with its hot spot on the fingertip at column 13, row 5.
QCursor MakeHandCursor();
// The program's icon at 16, 32 and 48 pixels; DrawAppIcon draws it at any size (the
// build draws the desktop's icon files with it).
QIcon MakeAppIcon();
QImage DrawAppIcon(int size);

inline constexpr int kHandHotSpotX = 13;
inline constexpr int kHandHotSpotY = 5;
