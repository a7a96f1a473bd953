#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QtTest>

#include "app/modGTA2.h"
#include "windows/frmProgress.h"

class ProgressWindowTest : public QObject {
    Q_OBJECT

    ProgressWindowReporter reporter;
    ProgressReporter* previous = nullptr;

private slots:
    void init() { previous = InstallProgressReporter(&reporter); }
    void cleanup()
    {
        HideProgress();
        InstallProgressReporter(previous);
    }

    void showSetsRangeAndTextButNotThePosition()
    {
        ShowProgress(1, 500, "Loading...");
        frmProgress* w = reporter.Window();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Please Wait..."));
        QCOMPARE(w->size(), QSize(439, 53));
        QCOMPARE(w->Minimum(), 1.0f);
        QCOMPARE(w->Maximum(), 500.0f);
        QCOMPARE(w->Position(), 0.0f);
        QCOMPARE(w->findChild<QLabel*>("l")->text(), QStringLiteral("Loading..."));
        QCOMPARE(w->findChild<QProgressBar*>("pbar")->geometry(), QRect(18, 20, 395, 19));
    }

    void aValueAtOrAboveTheMaximumIsNeverShown()
    {
        ShowProgress(1, 500, "Loading...");
        frmProgress* w = reporter.Window();
        UpdateProgress(250, "Loading...");
        QCOMPARE(w->Position(), 250.0f);
        UpdateProgress(500, "Loading...");
        QCOMPARE(w->Position(), 250.0f);
        UpdateProgress(501, "Loading...");
        QCOMPARE(w->Position(), 250.0f);
        UpdateProgress(499, "Loading...");
        QCOMPARE(w->Position(), 499.0f);
        const auto* bar = w->findChild<QProgressBar*>("pbar");
        QVERIFY(bar->value() > 0 && bar->value() < bar->maximum());
    }

    void textChangesOnlyWhenItDiffers()
    {
        ShowProgress(1, 10, "Loading...");
        QLabel* label = reporter.Window()->findChild<QLabel*>("l");
        UpdateProgress(2, "Saving...");
        QCOMPARE(label->text(), QStringLiteral("Saving..."));
        QCOMPARE(label->pos(), QPoint(18, 6));
    }

    void everyUpdateRunsPendingEventsEvenWhenNothingChanged()
    {
        ShowProgress(1, 10, "Loading...");
        UpdateProgress(3, "Loading...");
        bool ran = false;
        QTimer::singleShot(0, this, [&] { ran = true; });
        UpdateProgress(3, "Loading...");  // same value, same text
        QVERIFY(ran);
    }

    void eachShowAfterAHideStartsAFreshWindow()
    {
        ShowProgress(1, 100, "Loading...");
        UpdateProgress(60, "Saving...");
        QPointer<frmProgress> first = reporter.Window();
        HideProgress();
        QVERIFY(first.isNull());
        HideProgress();  // nothing shown: no effect

        ShowProgress(1, 20, "Loading...");
        frmProgress* second = reporter.Window();
        QVERIFY(second);
        QCOMPARE(second->Position(), 0.0f);
        QCOMPARE(second->Maximum(), 20.0f);
        QCOMPARE(second->Text(), QStringLiteral("Loading..."));
    }

    void aPositionHeldBackWithinAScreenFrameReachesTheBarWhenItIsOver()
    {
        ShowProgress(0, 100, "Loading...");
        const auto* bar = reporter.Window()->findChild<QProgressBar*>("pbar");
        for (int value = 1; value < 100; ++value) {
            UpdateProgress(value, "Loading...");
            QCOMPARE(reporter.Window()->Position(), static_cast<float>(value));
        }
        QTRY_COMPARE(bar->value(), bar->maximum() * 99 / 100);
    }

    void anEmptyRangeShowsAnEmptyBar()
    {
        ShowProgress(1, 0, "Loading...");  // an empty file
        UpdateProgress(-1, "Loading...");
        QCOMPARE(reporter.Window()->findChild<QProgressBar*>("pbar")->value(), 0);
    }
};

QTEST_MAIN(ProgressWindowTest)
#include "test_frmProgress.moc"
