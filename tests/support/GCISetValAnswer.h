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

class GCISetValAnswer {
public:
    using Action = std::function<void(frmSetVal&)>;

    explicit GCISetValAnswer(Action act) : act_(std::move(act))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start(5);
    }

    static void Ok(frmSetVal& d) { QTest::mouseClick(d.findChild<QPushButton*>("cmdOk"), Qt::LeftButton); }
    static void Cancel(frmSetVal& d) { QTest::mouseClick(d.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton); }
    static void Escape(frmSetVal& d) { QTest::keyClick(&d, Qt::Key_Escape); }
    static void CloseWindow(frmSetVal& d) { d.close(); }
    // Types into the field; an answer Ok refuses leaves the dialog open, and is cancelled.
    static Action Type(const QString& text)
    {
        return [text](frmSetVal& d) {
            d.findChild<QLineEdit*>("tVal")->setText(text);
            Ok(d);
            if (d.isVisible())
                Cancel(d);
        };
    }
    // Presses the keys on whatever has the focus, then Enter.
    static Action Keys(const QString& keys)
    {
        return [keys](frmSetVal& d) {
            QTest::keyClicks(d.focusWidget(), keys);
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

    // What the dialog showed: the text field, the information and range lines; -1 for a slider that is off.
    bool shown = false;
    QString text, info, range;
    int slider = 0;

private:
    void Poll()
    {
        auto* dialog = qobject_cast<frmSetVal*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer_.stop();
        const auto* sVal = dialog->findChild<QSlider*>("sVal");
        shown = true;
        text = dialog->findChild<QLineEdit*>("tVal")->text();
        info = dialog->findChild<QLabel*>("lblInfo")->text();
        range = dialog->findChild<QLabel*>("lblRange")->text();
        slider = sVal->isEnabled() ? sVal->value() : -1;
        act_(*dialog);
    }

    Action act_;
    QTimer timer_;
};
