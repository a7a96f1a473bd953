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
    struct Shown {
        bool shown = false, sliderEnabled = false;
        int sliderValue = 0;
        QString text, info;
    };
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
    static Action Type(const QString& text)
    {
        return [text](frmSetVal& d) {
            d.findChild<QLineEdit*>("tVal")->clear();
            QTest::keyClicks(d.findChild<QLineEdit*>("tVal"), text);
            Ok(d);
        };
    }
    static Action Slide(int position, Action then = Ok)
    {
        return [position, then](frmSetVal& d) {
            d.findChild<QSlider*>("sVal")->setValue(position);
            then(d);
        };
    }

    Shown seen;

private:
    void Poll()
    {
        auto* dialog = qobject_cast<frmSetVal*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer_.stop();
        const auto* slider = dialog->findChild<QSlider*>("sVal");
        seen = {true, slider->isEnabled(), slider->value(), dialog->findChild<QLineEdit*>("tVal")->text(),
                dialog->findChild<QLabel*>("lblInfo")->text()};
        act_(*dialog);
    }

    Action act_;
    QTimer timer_;
};
