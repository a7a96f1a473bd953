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

    void showUpdateAndHideFollowTheRules()
    {
        ShowProgress(1, 500, "Loading...");
        QPointer<frmProgress> w = reporter.Window();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Please Wait..."));
        QCOMPARE(w->size(), QSize(439, 53));
        QCOMPARE(w->Position(), 0.0f);  // Show sets the range and text, not the position
        QCOMPARE(w->Maximum(), 500.0f);
        QLabel* label = w->findChild<QLabel*>("l");
        QCOMPARE(label->text(), QStringLiteral("Loading..."));
        // A value at or above the maximum is never shown.
        for (auto [value, shown] : {std::pair{250.0, 250.0f}, {500.0, 250.0f}, {501.0, 250.0f}, {499.0, 499.0f}}) {
            UpdateProgress(value, "Loading...");
            QCOMPARE(w->Position(), shown);
        }
        const auto* bar = w->findChild<QProgressBar*>("pbar");
        QVERIFY(bar->value() > 0 && bar->value() < bar->maximum());
        UpdateProgress(2, "Saving...");
        QCOMPARE(label->text(), QStringLiteral("Saving..."));
        bool ran = false;
        QTimer::singleShot(0, this, [&] { ran = true; });
        UpdateProgress(2, "Saving...");  // nothing changes, but pending events still run
        QVERIFY(ran);

        HideProgress();
        QVERIFY(w.isNull());
        HideProgress();  // nothing shown: no effect
        ShowProgress(1, 20, "Loading...");  // each Show after a Hide starts a fresh window
        QCOMPARE(reporter.Window()->Position(), 0.0f);
        QCOMPARE(reporter.Window()->Maximum(), 20.0f);
        QCOMPARE(reporter.Window()->Text(), QStringLiteral("Loading..."));
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
