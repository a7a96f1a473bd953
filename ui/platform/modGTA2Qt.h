#pragma once
// The Qt half of the shared module: window centring, settings at start-up, and the
// places the models' progress and messages go to.

#include <QFont>
#include <QSize>
#include <QString>
#include <string>

class QWidget;

inline const QString kAppTitle = QStringLiteral("Kestrova");

// A fixed border: a caption with a close button, no minimise or maximise button, and
// no resizing.
inline const Qt::WindowFlags kFixedBorder =
    Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;

// What every window starts with: its name, caption, fixed client size and Tahoma 9 pt.
void SetUpFixedWindow(QWidget* window, const QString& name, const QString& caption, QSize client);

// Moves a window so that its outer frame sits in the middle of its screen.
void CenterForm(QWidget* frm);

// Reads the stored GTA2 directory, derives the data directory and fills the shared
// bitmap header. Asks nothing when no directory is stored.
void LoadSettings();

// Stores the GTA2 directory; returns an empty string or what went wrong.
QString StoreGTA2Path(const std::string& path);

// Model messages go to the platform's message box.
void InstallMessageBoxes();

// Tahoma where it exists, a close sans-serif elsewhere.
QFont TahomaFont(double pointSize);

// Model paths and messages are UTF-8.
QString FromUtf8(const std::string& text);
std::string ToUtf8(const QString& text);
