#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>
#include <QtTest>

#include "core/common/PathRules.h"
#include "tests/support/UiTestSupport.h"
#include "ui/platform/QtPlatform.h"
#include "ui/windows/frmMain.h"
#include "ui/windows/frmOptions.h"

namespace {

const QString kStoredPath = QStringLiteral("Kestrova/Settings/Path");
const QString kSep(QChar::fromLatin1(PlatformSeparator()));

struct Launcher : UiFixture<frmMain> {
    QLabel* Entry(int i) { return w.EntryLabel(i); }
    void ClickEntry(int i) { QTest::mouseClick(Entry(i), Qt::LeftButton); }
    // The entries drawn highlighted (blue, underlined); -1 for one neither plain nor highlighted.
    QList<int> Highlighted()
    {
        QList<int> out;
        for (int i = 0; i < frmMain::kEntries; ++i) {
            const QColor colour = Entry(i)->palette().color(QPalette::WindowText);
            const bool underlined = Entry(i)->font().underline();
            if (colour == Qt::blue && underlined)
                out << i;
            else if (colour != Qt::white || underlined)
                out << -1;
        }
        return out;
    }
    // The visible top-level windows named `name`.
    QList<QWidget*> Windows(const QString& name)
    {
        QList<QWidget*> found;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == name && window->isVisible())
                found << window;
        return found;
    }
};

// Types `text` into the options dialog's directory box and leaves it with `key`
// (Return is Ok, Escape cancels) or with a click on `button`.
void AnswerOptions(const QString& text, const char* button, Qt::Key key = Qt::Key_unknown)
{
    QPointer<frmOptions> dialog = new frmOptions;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    dialog->findChild<QLineEdit*>("txtDir")->setText(text);
    if (button)
        QTest::mouseClick(dialog->findChild<QAbstractButton*>(button), Qt::LeftButton);
    else
        QTest::keyClick(dialog, key);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog.isNull());  // closed and released
}

}  // namespace

// The launcher, the options dialog and the progress window: the application shell.
class ShellTest : public QObject {
    Q_OBJECT
private slots:
    void theLauncherReadsTheStoredDirectoryAndAsksNothing()
    {
        Launcher l;  // nothing stored
        QVERIFY(sDataPath() == "data" + std::string(1, PlatformSeparator()) && l.Told() == 0);
        l.platform.settings[kStoredPath] = "C:\\GTA2";
        frmMain again;
        QCOMPARE(sDataPath(), "C:\\GTA2data" + std::string(1, PlatformSeparator()));  // taken exactly as stored
    }

    void theHighlightFollowsThePointer()
    {
        Launcher l;
        MovePointerOver(l.Entry(frmMain::Options));
        QCOMPARE(l.Highlighted(), QList<int>{frmMain::Options});
        MovePointerOver(l.w.findChild<QLabel*>("Image1"));  // the logo and the version leave it alone
        MovePointerOver(l.w.findChild<QLabel*>("Label2"));
        QCOMPARE(l.Highlighted(), QList<int>{frmMain::Options});
        MovePointerOver(l.w.findChild<QLabel*>("Label1"));  // the title clears it, and so does the background
        QCOMPARE(l.Highlighted(), QList<int>());
        MovePointerOver(l.Entry(frmMain::ExitEntry));
        MovePointerOver(&l.w, QPoint(200, 5));
        QCOMPARE(l.Highlighted(), QList<int>());
    }

    void workingWindowsAreSingleInstances_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::newRow("text editor") << int(frmMain::GxtEditing) << "frmGXT";
        QTest::newRow("car editor") << int(frmMain::GciEditing) << "frmGCI";
        QTest::newRow("style viewer") << int(frmMain::StyViewer) << "frmSTY";
        QTest::newRow("options") << int(frmMain::Options) << "frmOptions";
    }
    void workingWindowsAreSingleInstances()
    {
        QFETCH(int, index);
        QFETCH(QString, name);
        Launcher l;
        MovePointerOver(l.Entry(index));
        l.ClickEntry(index);
        QCOMPARE(l.Highlighted(), QList<int>());  // cleared, the clicked entry's own included
        const QList<QWidget*> first = l.Windows(name);
        QCOMPARE(first.size(), 1);
        l.ClickEntry(index);
        QCOMPARE(l.Windows(name), first);  // brought forward, not made again
        QPointer<QWidget> closed = first[0];
        closed->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(closed.isNull());  // released; the next click makes a new one
        l.ClickEntry(index);
        QCOMPARE(l.Windows(name).size(), 1);
        delete l.Windows(name)[0];
    }

    void creditsOpenMailLinksAndExitEndsTheProgramWithoutAsking()
    {
        Launcher l;
        l.ClickEntry(frmMain::AuthorCredit);
        l.ClickEntry(frmMain::LayoutCredit);
        QCOMPARE(l.platform.openedUrls.size(), 2);
        for (const QUrl& url : l.platform.openedUrls)
            QVERIFY(url.scheme() == "mailto" && url.path().endsWith("@example.org"));
        QTest::mousePress(l.Entry(frmMain::ExitEntry), Qt::LeftButton);  // a press released elsewhere does nothing
        QTest::mouseRelease(&l.w, Qt::LeftButton, {}, QPoint(200, 5));
        QCOMPARE(l.platform.endProgramCalls, 0);
        l.ClickEntry(frmMain::ExitEntry);
        QVERIFY(l.platform.endProgramCalls == 1 && l.Told() == 0 && l.w.isVisible());
    }

    void optionsOkStoresTheDirectoryWithOneSeparator_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        const QString other = kSep == "/" ? "\\" : "/";
        QTest::newRow("no separator") << "games" + kSep + "GTA2"
                                      << "games" + kSep + "GTA2" + kSep;
        QTest::newRow("ends in it") << "games" + kSep << "games" + kSep;
        QTest::newRow("empty") << "" << kSep;
        QTest::newRow("ends in the other slash") << "C:" + other << "C:" + other + kSep;
    }
    void optionsOkStoresTheDirectoryWithOneSeparator()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        Launcher l;
        AnswerOptions(typed, "cmdOk");
        QVERIFY(l.platform.settings.value(kStoredPath) == stored && l.Told() == 0);
        QCOMPARE(FromUtf8(sDataPath()), stored + "data" + kSep);
        AnswerOptions("new", "cmdCancel");  // Cancel and Escape change nothing
        AnswerOptions("typed", nullptr, Qt::Key_Escape);
        QVERIFY(l.platform.settings.value(kStoredPath) == stored && FromUtf8(sGTA2Path()) == stored);
        QCOMPARE(frmOptions().findChild<QLineEdit*>("txtDir")->text(), stored);
    }

    void optionsTellAFailedSettingsWrite()
    {
        Launcher l;
        l.platform.settingsWriteError = "the settings store could not be written (access denied)";
        AnswerOptions("games", "cmdOk");
        QVERIFY(l.Told() == 1 && l.Said().contains("access denied"));
        QCOMPARE(FromUtf8(sGTA2Path()), "games" + kSep);  // the running program still uses it
    }

    void desktopSettingsRoundTripAndTellWhyAWriteFailed()
    {
        QTemporaryDir dir;
        QtPlatform desktop(dir.filePath("Kestrova.ini"));
        QCOMPARE(desktop.WriteSetting("Kestrova", "Settings", "Path", "C:\\GTA2\\"), QString());
        QCOMPARE(QtPlatform(dir.filePath("Kestrova.ini")).ReadSetting("Kestrova", "Settings", "Path"), "C:\\GTA2\\");
        QFile blocker(dir.filePath("not-a-folder"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        QVERIFY(!QtPlatform(blocker.fileName() + "/Kestrova.ini").WriteSetting("K", "S", "P", "x").isEmpty());
        QCOMPARE(QtFileFilter("Bitmaps|*.bmp|Images|*.bmp;*.png"),
                 QStringLiteral("Bitmaps (*.bmp);;Images (*.bmp *.png)"));
    }

    void progressShowsOnlyPositionsBelowTheMaximum()
    {
        ProgressWindowReporter reporter;
        ProgressReporter* previous = InstallProgressReporter(&reporter);
        ShowProgress(1, 500, "Loading...");
        QPointer<frmProgress> w = reporter.Window();
        QVERIFY(w && w->isVisible() && w->Position() == 0.0f);  // Show sets the range and text, not the position
        for (auto [value, shown] : {std::pair{250.0, 250.0f}, {500.0, 250.0f}, {501.0, 250.0f}, {499.0, 499.0f}}) {
            UpdateProgress(value, "Loading...");
            QCOMPARE(w->Position(), shown);
        }
        const auto* bar = w->findChild<QProgressBar*>("pbar");
        UpdateProgress(2, "Saving...");
        QVERIFY(w->Text() == "Saving..." && bar->value() > 0 && bar->value() < bar->maximum());
        bool ran = false;
        QTimer::singleShot(0, this, [&] { ran = true; });
        UpdateProgress(2, "Saving...");  // nothing changes, but pending events still run
        HideProgress();
        QVERIFY(ran && w.isNull());
        ShowProgress(0, 100, "Loading...");  // each Show after a Hide starts a fresh window
        QVERIFY(reporter.Window()->Position() == 0.0f && reporter.Window()->Maximum() == 100.0f);
        for (int value = 1; value < 100; ++value)  // held back within a screen frame, painted after it
            UpdateProgress(value, "Loading...");
        const auto* fresh = reporter.Window()->findChild<QProgressBar*>("pbar");
        QTRY_COMPARE(fresh->value(), fresh->maximum() * 99 / 100);
        HideProgress();
        InstallProgressReporter(previous);
    }
};

QTEST_MAIN(ShellTest)
#include "test_shell.moc"
