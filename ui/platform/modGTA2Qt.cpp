#include "ui/platform/modGTA2Qt.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

#include "core/common/PathRules.h"
#include "ui/platform/Platform.h"

namespace {

const QString kSettingsSection = QStringLiteral("Settings");
const QString kSettingsKey = QStringLiteral("Path");

}  // namespace

namespace {

void MoveToCentre(QWidget* frm)
{
    QScreen* screen = frm->screen() ? frm->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize screenSize = screen->geometry().size();
    const QSize outer = frm->frameGeometry().size();
    const double left = CenteredPosition(screenSize.width(), outer.width());
    const double top = CenteredPosition(screenSize.height(), outer.height());
    frm->move(static_cast<int>(std::floor(left)), static_cast<int>(std::floor(top)));
}

// The frame around a window is known only once it is on screen, so a window centred
// before it is shown is centred once more, with its real outer size, when it appears.
class CentreWhenShown : public QObject {
public:
    explicit CentreWhenShown(QWidget* frm) : QObject(frm) { frm->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            MoveToCentre(static_cast<QWidget*>(watched));
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

}  // namespace

void CenterForm(QWidget* frm)
{
    MoveToCentre(frm);
    if (!frm->isVisible())
        new CentreWhenShown(frm);
}

void SetUpFixedWindow(QWidget* window, const QString& name, const QString& caption, QSize client)
{
    window->setObjectName(name);
    window->setWindowTitle(caption);
    window->setFixedSize(client);
    window->setFont(TahomaFont(9));
}

void LoadSettings()
{
    const QString stored = CurrentPlatform().ReadSetting(kAppTitle, kSettingsSection, kSettingsKey);
    SetGTA2Path(ToUtf8(stored));
}

QString StoreGTA2Path(const std::string& path)
{
    return CurrentPlatform().WriteSetting(kAppTitle, kSettingsSection, kSettingsKey, FromUtf8(path));
}

void InstallMessageBoxes()
{
    InstallUserMessageSink([](const std::string& text, const std::string& title, MessageIcon icon) {
        CurrentPlatform().Message(nullptr, FromUtf8(text), FromUtf8(title), icon);
    });
}

QFont TahomaFont(double pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Liberation Sans")});
    font.setPointSizeF(pointSize);
    return font;
}

QString FromBytes(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToBytes(const QString& text)
{
    return text.toLatin1().toStdString();
}

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToUtf8(const QString& text)
{
    return text.toUtf8().toStdString();
}
