// SPDX-License-Identifier: GPL-3.0-or-later
#include <QElapsedTimer>
#include <QPushButton>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <stdexcept>

#include "tests/support/UiTestSupport.h"
#include "ui/windows/EditorWindow.h"
#include "ui/windows/frmProgress.h"

namespace {

// A window that runs the work a test gives it.
class JobWindow : public EditorWindow {
public:
    JobWindow() : EditorWindow(nullptr, Qt::Window) {}
    using EditorWindow::Job;
    using EditorWindow::RunInBackground;

protected:
    void UpdateCommands() override {}
};

// Work that reports progress until it is asked to stop.
int UntilStopped(Progress& progress)
{
    ProgressScope stage(progress, 0, 100, "Working...");
    for (;;) {
        stage.Update(50);
        QThread::msleep(2);
    }
}

}  // namespace

class TestBackgroundJob : public QObject {
    Q_OBJECT
private slots:
    void workRunsOnAWorkerAFailureIsToldOnceItIsOverAndTheProgressWindowComesAfterAWhile()
    {
        UiFixture<JobWindow> f;
        std::atomic<bool> go = false;
        QThread* worker = nullptr;
        int got = 0, ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, [&] { ++ticks; });
        tick.start(1);
        QVERIFY(f.w.RunInBackground(
            QStringLiteral("%1"),
            [&](Progress&) {
                worker = QThread::currentThread();
                while (!go)
                    QThread::msleep(1);
                return 7;
            },
            [&](int result) { got = result; }));
        QVERIFY(!f.w.RunInBackground(
            QStringLiteral("%1"), [](Progress&) {}, [] {}));  // one job at a time
        QTRY_VERIFY(ticks >= 3);
        QVERIFY(f.w.Busy() && got == 0);
        go = true;
        f.Idle();
        QVERIFY(got == 7 && worker && worker != QThread::currentThread() && f.Told() == 0);

        for (bool doneFails : {false, true}) {  // what the work threw, or what its result did
            std::vector<bool> busyWhenTold;
            f.w.RunInBackground(
                [&](const std::exception& e) {
                    busyWhenTold.push_back(f.w.Busy());
                    return UserMessage{QString::fromUtf8(e.what())};
                },
                [doneFails](Progress&) {
                    if (!doneFails)
                        throw std::runtime_error("it broke");
                },
                [doneFails] {
                    if (doneFails)
                        throw std::out_of_range("it broke");
                });
            f.Idle();
            QVERIFY(busyWhenTold == std::vector<bool>{false} && f.Told() == 1 + doneFails && f.Said() == "it broke");
        }

        // The progress window comes after a while, and its Cancel stops work that can stop.
        QElapsedTimer running;
        running.start();
        bool done = false;
        QVERIFY(f.w.RunInBackground(
            QStringLiteral("%1"), UntilStopped, [&](int) { done = true; }, true));
        QTest::qWait(150);
        QVERIFY(running.elapsed() >= 300 || !f.w.Job()->Window());  // quick work never shows it
        QTRY_VERIFY(f.w.Job()->Window() && f.w.Job()->Window()->isVisible());
        QVERIFY(running.elapsed() >= 300 && f.w.Job()->Window()->Text() == "Working...");
        QTest::mouseClick(f.w.Job()->Window()->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
        f.Idle();
        QVERIFY(!done && f.Told() == 2);

        go = false;  // work that cannot stop has no Cancel
        f.w.RunInBackground(
            QStringLiteral("%1"),
            [&](Progress& progress) {
                ProgressScope stage(progress, 0, 1, "Saving...");
                while (!go)
                    QThread::msleep(1);
            },
            [] {});
        QTRY_VERIFY(f.w.Job()->Window());
        QVERIFY(!f.w.Job()->Window()->findChild<QPushButton*>("cmdCancel") &&
                f.w.Job()->Window()->Text() == "Saving...");
        go = true;
        f.Idle();
        QVERIFY(QApplication::topLevelWidgets().count() == 1);  // the progress window went with its job
    }
};

QTEST_MAIN(TestBackgroundJob)
#include "test_BackgroundJob.moc"
