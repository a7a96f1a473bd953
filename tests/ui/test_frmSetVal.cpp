#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

#include "tests/support/UiTestSupport.h"

#include "tests/support/GCISetValAnswer.h"
#include "windows/frmSetVal.h"

class TestFrmSetVal : public QObject {
    Q_OBJECT

    static QSlider* Slider(frmSetVal& d) { return d.findChild<QSlider*>("sVal"); }
    static QLineEdit* Field(frmSetVal& d) { return d.findChild<QLineEdit*>("tVal"); }

private slots:
    void decimalValueOpensOnTheSliderAndShowsTheTextAsHeld()
    {
        // Mass: limits 1.000 to 30.000 in thousandths.
        frmSetVal dialog;
        dialog.Prepare("1000", "30000", "info", "1.5", 5);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Change Setting..."));
        QVERIFY(Slider(dialog)->isEnabled());
        QCOMPARE(Slider(dialog)->minimum(), 1000);
        QCOMPARE(Slider(dialog)->maximum(), 30000);
        QCOMPARE(Slider(dialog)->value(), 1500);
        QCOMPARE(Field(dialog)->text(), QStringLiteral("1.5"));  // not reformatted
        QCOMPARE(dialog.findChild<QLabel*>("lblInfo")->text(), QStringLiteral("info"));
        QCOMPARE(dialog.Result(), QStringLiteral("1.5"));
        QVERIFY(dialog.findChild<QPushButton*>("cmdOk")->isDefault());

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        SaveScreenshot(dialog, "frmSetVal-decimal");

        // The slider writes its position with a "." whatever the locale says.
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Slider(dialog)->setValue(2250);
        QLocale::setDefault(before);
        QCOMPARE(Field(dialog)->text(), QStringLiteral("2.250"));
        QCOMPARE(Slider(dialog)->toolTip(), QStringLiteral("2.250"));
        QCOMPARE(dialog.Result(), QStringLiteral("1.5"));  // only Ok takes the text
        dialog.cmdOk_Click();
        QCOMPARE(dialog.Result(), QStringLiteral("2.250"));
    }

    void sliderSitsAtTheNearestLimitForValuesItCannotShow()
    {
        const struct {
            const char* current;
            int position;
        } cases[] = {{"0.0015", 1000}, {"1.0015", 1002}, {"45.5", 30000}, {"fast", 1000}};
        for (const auto& c : cases) {
            frmSetVal dialog;
            dialog.Prepare("1000", "30000", QString(), c.current, 5);
            QCOMPARE(Slider(dialog)->value(), c.position);
            QCOMPARE(Field(dialog)->text(), QString::fromLatin1(c.current));
        }
    }

    void typedPropertiesHaveNoSliderAndAnswerExactlyWhatWasTyped()
    {
        frmSetVal dialog;
        dialog.Prepare("0", "255", QString(), "17", 3);
        QVERIFY(!Slider(dialog)->isEnabled());
        QCOMPARE(Field(dialog)->text(), QStringLiteral("17"));

        GCISetValAnswer answer(GCISetValAnswer::Type(" 12x "));
        QCOMPARE(AskValue("0", "255", QString(), "17", 3), QStringLiteral(" 12x "));
        QVERIFY(answer.seen.shown);
        QVERIFY(!answer.seen.sliderEnabled);
    }

    void everyWayButOkAnswersTheCurrentValue()
    {
        for (auto close : {GCISetValAnswer::Cancel, GCISetValAnswer::Escape, GCISetValAnswer::CloseWindow}) {
            GCISetValAnswer answer(GCISetValAnswer::Slide(2000, close));
            QCOMPARE(AskValue("1000", "30000", QString(), "1.5", 5), QStringLiteral("1.5"));
            QVERIFY(answer.seen.shown);
        }
        GCISetValAnswer untouched(GCISetValAnswer::Ok);
        QCOMPARE(AskValue("1000", "30000", QString(), "1.5", 5), QStringLiteral("1.5"));
        QCOMPARE(untouched.seen.sliderValue, 1500);

        GCISetValAnswer slid(GCISetValAnswer::Slide(1500));
        QCOMPARE(AskValue("1000", "30000", QString(), "2", 5), QStringLiteral("1.500"));
    }
};

QTEST_MAIN(TestFrmSetVal)
#include "test_frmSetVal.moc"
