// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/WindowPlaces.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "ui/platform/Platform.h"
#include "ui/platform/modGTA2Qt.h"

namespace {

const QString kSection = QStringLiteral("Windows");
const char* const kKeepsPlace = "kestrovaKeepsPlace";

class PlaceKeeper : public QObject {
public:
    explicit PlaceKeeper(QWidget* window) : QObject(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* window = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Hide && !window->isMinimized() && window->testAttribute(Qt::WA_WState_Created)) {
            const QRect normal = window->isMaximized() ? window->normalGeometry() : window->geometry();
            const QPoint frame = window->isMaximized() ? normal.topLeft() : window->pos();
            CurrentPlatform().WriteSetting(
                kAppTitle, kSection, window->objectName(),
                QStringLiteral("%1,%2,%3,%4").arg(frame.x()).arg(frame.y()).arg(normal.width()).arg(normal.height()));
        }
        return false;
    }
};

bool OnSomeScreen(const QRect& place)
{
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(place))
            return true;
    return false;
}

}  // namespace

void KeepPlace(QWidget* window)
{
    window->setProperty(kKeepsPlace, true);
    new PlaceKeeper(window);
}

std::optional<QRect> StoredPlace(const QWidget* window)
{
    if (!window->property(kKeepsPlace).toBool())
        return std::nullopt;
    const QStringList parts = CurrentPlatform().ReadSetting(kAppTitle, kSection, window->objectName()).split(',');
    if (parts.size() != 4)
        return std::nullopt;
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    const QRect place(numbers[0], numbers[1], numbers[2], numbers[3]);
    if (place.width() <= 0 || place.height() <= 0 || !OnSomeScreen(place))
        return std::nullopt;
    return place;
}
