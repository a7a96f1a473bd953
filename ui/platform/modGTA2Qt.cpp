// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/modGTA2Qt.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "core/common/PathRules.h"
#include "ui/platform/Platform.h"
#include "ui/platform/WindowPlaces.h"

namespace {

const QString kSettingsSection = QStringLiteral("Settings");
const QString kSettingsKey = QStringLiteral("Path");

std::string g_gta2Path;
std::string g_dataPath = DataPathFor("", PlatformSeparator());

// Where a window of the given outer extent starts so that it sits in the middle of the
// screen. Halves are taken before subtracting, in floating point.
double CenteredPosition(double screenExtent, double windowExtent)
{
    return screenExtent / 2.0 - windowExtent / 2.0;
}

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

// The frame around a window is known only once it is on screen, so a window placed
// before it is shown is placed once more, with its real outer size, when it appears.
class PlaceWhenShown : public QObject {
public:
    PlaceWhenShown(QWidget* frm, std::function<void(QWidget*)> place) : QObject(frm), place_(std::move(place))
    {
        frm->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            place_(static_cast<QWidget*>(watched));
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    std::function<void(QWidget*)> place_;
};

// Places the window now and, if it is not yet shown, again when it is; a placement
// still waiting for the window to show is dropped.
void Place(QWidget* frm, std::function<void(QWidget*)> place)
{
    // A window the user has moved or sized before goes back there instead.
    if (const std::optional<QRect> stored = StoredPlace(frm))
        place = [stored = *stored](QWidget* window) {
            window->resize(stored.size().expandedTo(window->minimumSize()).boundedTo(window->maximumSize()));
            window->move(stored.topLeft());
        };
    const QObjectList children = frm->children();
    for (QObject* child : children)
        if (auto* pending = dynamic_cast<PlaceWhenShown*>(child)) {
            frm->removeEventFilter(pending);
            delete pending;
        }
    place(frm);
    if (!frm->isVisible())
        new PlaceWhenShown(frm, std::move(place));
}

QMargins FrameMargins(const QWidget* frm)
{
    const QRect inner = frm->geometry(), outer = frm->frameGeometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

// Moves `at` so that a window of `size` lies inside `screen`, or starts at its left or
// top edge where it is larger.
QPoint ClampInto(QPoint at, QSize size, const QRect& screen)
{
    return {std::max(screen.left(), std::min(at.x(), screen.right() + 1 - size.width())),
            std::max(screen.top(), std::min(at.y(), screen.bottom() + 1 - size.height()))};
}

qint64 Area(const QRect& rect)
{
    return rect.isEmpty() ? 0 : qint64{rect.width()} * rect.height();
}

}  // namespace

void CenterForm(QWidget* frm)
{
    Place(frm, MoveToCentre);
}

QPoint BesidePosition(const QRect& anchor, QSize size, const QRect& screen)
{
    const QPoint sides[] = {{anchor.right() + 1, anchor.top()},
                            {anchor.left() - size.width(), anchor.top()},
                            {anchor.left(), anchor.bottom() + 1},
                            {anchor.left(), anchor.top() - size.height()}};
    QPoint best = ClampInto(sides[0], size, screen);
    qint64 leastCovered = Area(QRect(best, size) & anchor);
    for (const QPoint side : sides) {
        const QPoint at = ClampInto(side, size, screen);
        if (const qint64 covered = Area(QRect(at, size) & anchor); covered < leastCovered) {
            best = at;
            leastCovered = covered;
        }
    }
    return best;
}

void PlaceOpenedWindow(QWidget* window, QWidget* opener)
{
    // A window opened while the launcher is away keeps its centring.
    if (!opener || !opener->isVisible())
        return;
    Place(window, [opener = QPointer<QWidget>(opener)](QWidget* frm) {
        if (!opener || !opener->screen())
            return;
        // Until it is on screen the window has no frame; the opener's is the best guess.
        const QMargins own = FrameMargins(frm);
        const QSize outer = frm->size().grownBy(own.isNull() ? FrameMargins(opener) : own);
        frm->move(BesidePosition(opener->frameGeometry(), outer, opener->screen()->availableGeometry()));
    });
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

const std::string& sGTA2Path()
{
    return g_gta2Path;
}

const std::string& sDataPath()
{
    return g_dataPath;
}

void SetGTA2Path(const std::string& path)
{
    g_gta2Path = path;
    g_dataPath = DataPathFor(path, PlatformSeparator());
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
