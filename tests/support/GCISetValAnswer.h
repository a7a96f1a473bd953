// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Answers the next value dialog (frmSetVal) that AskValue shows modally: once the dialog
// is the active modal window, records what it shows and runs the test's action on it,
// which must close it. Stops looking when it goes out of scope.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ui/windows/frmSetVal.h"

struct GCISetValAnswer {
    using Action = std::function<void(frmSetVal&)>;
    // What the dialog showed: the text field, the information and range lines; -1 for a slider that is off.
    struct Seen {
        bool shown = false;
        QString text, info, range;
        int slider = 0;
    };

    explicit GCISetValAnswer(Action answer) : act(std::move(answer))
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { Poll(); });
        timer.start(5);
    }

    static void Ok(frmSetVal& d) { QTest::mouseClick(d.findChild<QPushButton*>("cmdOk"), Qt::LeftButton); }
    static void Cancel(frmSetVal& d) { QTest::mouseClick(d.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton); }
    // Presses the keys on whatever has the focus, as a user types, and Enter; an answer the
    // dialog refuses leaves it open, and is cancelled.
    static Action Type(const QString& text)
    {
        return [text](frmSetVal& d) {
            QTest::keyClicks(d.focusWidget(), text);
            QTest::keyClick(d.focusWidget(), Qt::Key_Return);
            if (d.isVisible())
                Cancel(d);
        };
    }
    static Action Slide(int position, Action then = Ok)
    {
        return [position, then](frmSetVal& d) {
            d.findChild<QSlider*>("sVal")->setValue(position);
            then(d);
        };
    }

    Seen seen;
    Action act;
    QTimer timer;

    void Poll()
    {
        auto* dialog = qobject_cast<frmSetVal*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer.stop();
        const auto* sVal = dialog->findChild<QSlider*>("sVal");
        seen = {true, dialog->findChild<QLineEdit*>("tVal")->text(), dialog->findChild<QLabel*>("lblInfo")->text(),
                dialog->findChild<QLabel*>("lblRange")->text(), sVal->isEnabled() ? sVal->value() : -1};
        act(*dialog);
    }
};
