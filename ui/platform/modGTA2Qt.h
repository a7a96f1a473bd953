// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Qt half of the shared module: placing windows, the GTA2 directory and the
// settings read at start-up, fonts, and the text conversions every window uses.

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <string>
#include <utility>

class QWidget;

inline const QString kAppTitle = QStringLiteral("Kestrova");

// A fixed border: a caption with a close button, no minimise or maximise button, and
// no resizing.
inline const Qt::WindowFlags kFixedBorder =
    Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;

// What every window starts with: its name, caption, fixed client size and Tahoma 9 pt.
void SetUpFixedWindow(QWidget* window, const QString& name, const QString& caption, QSize client);

// A child widget named `name` at `geometry` in `parent`; `args` go before the parent
// to the widget's constructor (a caption, a title, an orientation).
template <class W, class... A>
W* Child(QWidget* parent, const char* name, QRect geometry, A&&... args)
{
    auto* child = new W(std::forward<A>(args)..., parent);
    child->setObjectName(QString::fromLatin1(name));
    child->setGeometry(geometry);
    return child;
}

// Moves a window so that its outer frame sits in the middle of its screen.
void CenterForm(QWidget* frm);

// Where a window opened from `opener` goes, in place of its own centring: beside the
// opener on the opener's screen, never over it where the screen has room. Called once,
// after the window is made and before it is first shown; the one place that will also
// give a window back a position of its own it was left at.
void PlaceOpenedWindow(QWidget* window, QWidget* opener);

// The top-left corner of a window whose outer size is `size` beside `anchor` (outer
// frame) within `screen` (its free area): right of the anchor if it fits there, else
// left, below or above, and where none fits wholly, the place covering least of it.
QPoint BesidePosition(const QRect& anchor, QSize size, const QRect& screen);

// Reads the stored GTA2 directory, derives the data directory and fills the shared
// bitmap header. Asks nothing when no directory is stored.
void LoadSettings();

// Stores the GTA2 directory; returns an empty string or what went wrong.
QString StoreGTA2Path(const std::string& path);

// The GTA2 directory as stored, and its data folder, where every file dialog starts;
// the data path is worked out again on every assignment.
const std::string& sGTA2Path();
const std::string& sDataPath();
void SetGTA2Path(const std::string& path);

// Tahoma where it exists, a close sans-serif elsewhere.
QFont TahomaFont(double pointSize);

// The files' 8-bit texts are shown one character a byte, as Latin-1, so that they go
// back to exactly the same bytes.
QString FromBytes(const std::string& bytes);
std::string ToBytes(const QString& text);

// Model paths and messages are UTF-8.
QString FromUtf8(const std::string& text);
std::string ToUtf8(const QString& text);
