// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/Anchors.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <algorithm>

namespace {

// Watches one parent and puts its anchored children back in place after each resize.
class Anchoring : public QObject {
public:
    explicit Anchoring(QWidget* parent) : QObject(parent), parent_(parent), base_(parent->size())
    {
        parent->installEventFilter(this);
    }

    void Add(QWidget* child, Follows follows) { children_.append({child, child->geometry(), follows}); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parent_ && event->type() == QEvent::Resize)
            Arrange();
        return false;
    }

private:
    struct Anchored {
        QPointer<QWidget> child;
        QRect base;
        Follows follows;
    };

    void Arrange()
    {
        const int dx = std::max(0, parent_->width() - base_.width());
        const int dy = std::max(0, parent_->height() - base_.height());
        for (const Anchored& a : children_) {
            if (!a.child)
                continue;
            QRect place = a.base;
            if (a.follows & Follow::Right)
                place.translate(dx, 0);
            if (a.follows & Follow::Bottom)
                place.translate(0, dy);
            if (a.follows & Follow::Width)
                place.setWidth(place.width() + dx);
            if (a.follows & Follow::Height)
                place.setHeight(place.height() + dy);
            a.child->setGeometry(place);
        }
    }

    QWidget* parent_;
    QSize base_;
    QList<Anchored> children_;
};

}  // namespace

void Anchor(QWidget* child, Follows follows)
{
    QWidget* parent = child->parentWidget();
    Anchoring* anchoring = nullptr;
    for (QObject* other : parent->children())
        if (!anchoring)
            anchoring = dynamic_cast<Anchoring*>(other);
    if (!anchoring)
        anchoring = new Anchoring(parent);
    anchoring->Add(child, follows);
}

void AllowResizing(QWidget* window)
{
    window->setMinimumSize(window->size());
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    Qt::WindowFlags flags = window->windowFlags();
    flags &= ~(Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint);
    window->setWindowFlags(flags | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
}
