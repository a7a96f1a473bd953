#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include "core/common/BitmapHeader.h"
#include "core/common/PathRules.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/UiTestSupport.h"
#include "ui/platform/Platform.h"
#include "ui/platform/QtPlatform.h"
#include "ui/windows/frmMain.h"
#include "ui/windows/frmOptions.h"
#include "ui/windows/frmProgress.h"

namespace {
const QString kStoredPath = ScriptedPlatform::SettingKey("Kestrova", "Settings", "Path");
const QString kSep(QChar::fromLatin1(PlatformSeparator()));
}  // namespace

// The launcher, the options dialog and the progress window: the application shell.
class ShellTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedPlatform> platform;
    std::unique_ptr<frmMain> window;

    QLabel* entry(int i) { return window->EntryLabel(i); }
    // The entries drawn highlighted (blue, underlined); every other one must be plain.
    QList<int> highlighted()
    {
        QList<int> out;
        for (int i = 0; i < frmMain::kEntries; ++i) {
            const QColor colour = entry(i)->palette().color(QPalette::WindowText);
            if (colour == QColor(0, 0, 255) && entry(i)->font().underline())
                out << i;
            else if (colour != QColor(255, 255, 255) || entry(i)->font().underline())
                out << -1;
        }
        return out;
    }

    // Opens the dialog, types `text` into the directory box and presses `button` or a key.
    void answer(const QString& text, const char* button, Qt::Key key = Qt::Key_unknown)
    {
        QPointer<frmOptions> dialog = new frmOptions;
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
        dialog->findChild<QLineEdit*>("txtDir")->setText(text);
        if (button)
            QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
        else
            QTest::keyClick(dialog, key);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(dialog.isNull());  // closed and released
    }
    QString stored() { return QString::fromStdString(sGTA2Path()); }

private slots:
    void init()
    {
        platform = std::make_unique<ScriptedPlatform>();
        platform->settings[kStoredPath] = "C:\\GTA2";
        window = std::make_unique<frmMain>();
        window->show();
    }
    void cleanup()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != window.get())
                delete w;
        window.reset();
        platform.reset();
        HideProgress();
    }

    void loadReadsTheSettingsAndLaysOutTheWindow()
    {
        QCOMPARE(sGTA2Path(), std::string("C:\\GTA2"));  // taken exactly as stored
        QCOMPARE(sDataPath(), "C:\\GTA2data" + std::string(1, PlatformSeparator()));
        QCOMPARE(SharedBitmapHeader().pixelDataOffset, 1078u);
        QCOMPARE(window->windowTitle(), QStringLiteral("Kestrova"));
        QCOMPARE(window->size(), QSize(357, 237));
        QCOMPARE(window->findChild<QLabel*>("Image1")->pixmap().size(), QSize(347, 91));
        QCOMPARE(highlighted(), QList<int>());
        for (int i = 0; i < frmMain::kEntries; ++i) {
            QCOMPARE(entry(i)->cursor().hotSpot(), QPoint(13, 5));
            QCOMPARE(entry(i)->cursor().pixmap().size(), QSize(32, 32));
        }
        const QRect screen = window->screen()->geometry(), frame = window->frameGeometry();
        QVERIFY(qAbs((frame.left() + frame.width() / 2.0) - screen.width() / 2.0) <= 1.0);  // centred
        QVERIFY(qAbs((frame.top() + frame.height() / 2.0) - screen.height() / 2.0) <= 1.0);
        SaveScreenshot(*window, "launcher");

        ScriptedPlatform empty;  // nothing stored: nothing asked
        frmMain fresh;
        QCOMPARE(sDataPath(), "data" + std::string(1, PlatformSeparator()));
        QVERIFY(empty.messages.empty() && empty.inputPrompts.isEmpty() && platform->messages.empty());
    }

    void highlightFollowsThePointerAndWritesOnlyChanges()
    {
        MovePointerOver(entry(frmMain::Options));
        QCOMPARE(highlighted(), QList<int>{frmMain::Options});
        MovePointerOver(entry(frmMain::StyViewer));
        QCOMPARE(highlighted(), QList<int>{frmMain::StyViewer});
        MovePointerOver(window->findChild<QLabel*>("Image1"));  // the logo and the version leave it alone
        MovePointerOver(window->findChild<QLabel*>("Label2"));
        QCOMPARE(highlighted(), QList<int>{frmMain::StyViewer});
        MovePointerOver(window->findChild<QLabel*>("Label1"));  // the title clears it
        QCOMPARE(highlighted(), QList<int>());
        MovePointerOver(entry(frmMain::ExitEntry));
        MovePointerOver(window.get(), QPoint(200, 5));  // and so does the background
        QCOMPARE(highlighted(), QList<int>());

        MovePointerOver(entry(frmMain::GciEditing));
        EventCounter paletteWrites(entry(frmMain::GciEditing), QEvent::PaletteChange);
        EventCounter fontWrites(entry(frmMain::GciEditing), QEvent::FontChange);
        EventCounter otherWrites(entry(frmMain::GxtEditing), QEvent::PaletteChange);
        for (int i = 0; i < 5; ++i)
            MovePointerOver(entry(frmMain::GciEditing), QPoint(2 + i, 3));
        QCOMPARE(paletteWrites.count + fontWrites.count + otherWrites.count, 0);
        MovePointerOver(window.get(), QPoint(200, 5));
        QCOMPARE(paletteWrites.count, 1);
        QCOMPARE(fontWrites.count, 1);
        QCOMPARE(otherWrites.count, 0);
    }

    void workingWindowsAreSingleInstances_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("text editor") << int(frmMain::GxtEditing) << "frmGXT"
                                     << "GXT Editor";
        QTest::newRow("car editor") << int(frmMain::GciEditing) << "frmGCI"
                                    << "GCI Car Editor";
        QTest::newRow("style viewer") << int(frmMain::StyViewer) << "frmSTY"
                                      << "STY Editor";
        QTest::newRow("map viewer") << int(frmMain::MapViewer) << "frmGMP"
                                    << "GMP Map Viewer";
        QTest::newRow("options") << int(frmMain::Options) << "frmOptions"
                                 << "Options";
    }
    void workingWindowsAreSingleInstances()
    {
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        MovePointerOver(entry(index));
        QTest::mouseClick(entry(index), Qt::LeftButton);
        QCOMPARE(highlighted(), QList<int>());  // cleared, the clicked entry's own included
        const QList<QWidget*> first = TopLevelsNamed(name);
        QCOMPARE(first.size(), 1);
        QCOMPARE(first[0]->windowTitle(), caption);
        first[0]->setWindowTitle("changed by the user");
        QTest::mouseClick(entry(index), Qt::LeftButton);
        QCOMPARE(TopLevelsNamed(name), first);  // brought forward unchanged
        QCOMPARE(first[0]->windowTitle(), QStringLiteral("changed by the user"));

        QPointer<QWidget> closed = first[0];  // closed windows are released; the next click makes a new one
        closed->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(closed.isNull());
        QTest::mouseClick(entry(index), Qt::LeftButton);
        QCOMPARE(TopLevelsNamed(name).size(), 1);
        QCOMPARE(TopLevelsNamed(name)[0]->windowTitle(), caption);
    }

    void creditLinesOpenMailLinksAndExitEndsTheProgramWithoutAsking()
    {
        QTest::mouseClick(entry(frmMain::AuthorCredit), Qt::LeftButton);
        QTest::mouseClick(entry(frmMain::LayoutCredit), Qt::LeftButton);
        QCOMPARE(platform->openedUrls.size(), 2);
        for (const QUrl& url : platform->openedUrls)
            QVERIFY(url.scheme() == "mailto" && url.path().endsWith("@example.org"));

        QTest::mouseClick(entry(frmMain::GciEditing), Qt::LeftButton);
        QTest::mousePress(entry(frmMain::ExitEntry), Qt::LeftButton);  // a press released elsewhere does nothing
        QTest::mouseRelease(window.get(), Qt::LeftButton, {}, QPoint(200, 5));
        QCOMPARE(platform->endProgramCalls, 0);
        QTest::mouseClick(entry(frmMain::ExitEntry), Qt::LeftButton);
        QCOMPARE(platform->endProgramCalls, 1);
        QVERIFY(platform->messages.empty());
        QCOMPARE(TopLevelsNamed("frmGCI").size(), 1);  // no window was closed on the way out
        QVERIFY(window->isVisible());
    }

    void optionsLayoutShowsTheStoredDirectory()
    {
        SetGTA2Path("C:\\GTA2\\");
        frmOptions dialog;
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Options"));
        QCOMPARE(dialog.size(), QSize(439, 351));
        auto* tabs = dialog.findChild<QTabWidget*>("SSTab1");
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(tabs->tabText(0), QStringLiteral("General"));
        QCOMPARE(dialog.findChild<QLineEdit*>("txtDir")->text(), QStringLiteral("C:\\GTA2\\"));
        QVERIFY(dialog.findChild<QPushButton*>("cmdOk")->isDefault() && !dialog.isModal());
        SaveScreenshot(dialog, "options");
    }

    void optionsOkAppendsOneSeparatorAndStoresIt_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::newRow("no separator") << "games" + kSep + "GTA2"
                                      << "games" + kSep + "GTA2" + kSep;
        QTest::newRow("already ends in it") << "games" + kSep << "games" + kSep;
        QTest::newRow("empty") << "" << kSep;
        const QString other = kSep == "/" ? "\\" : "/";
        QTest::newRow("ends in the other slash") << "C:" + other << "C:" + other + kSep;
    }
    void optionsOkAppendsOneSeparatorAndStoresIt()
    {
        QFETCH(QString, typed);
        QFETCH(QString, result);
        answer(typed, "cmdOk");
        QCOMPARE(platform->settings.value(kStoredPath), result);
        QCOMPARE(stored(), result);
        QCOMPARE(QString::fromStdString(sDataPath()), result + "data" + kSep);
        QVERIFY(platform->messages.empty());
    }

    void optionsCancelAndEscapeChangeNothing()
    {
        SetGTA2Path("old" + kSep.toStdString());
        answer("new", "cmdCancel");
        answer("typed", nullptr, Qt::Key_Escape);
        QCOMPARE(stored(), "old" + kSep);
        QCOMPARE(platform->settings.value(kStoredPath), QStringLiteral("C:\\GTA2"));  // as stored before
        frmOptions again;
        QCOMPARE(again.findChild<QLineEdit*>("txtDir")->text(), "old" + kSep);
    }

    void optionsReportAFailedSettingsWrite()
    {
        platform->settingsWriteError = "the settings store could not be written (access denied)";
        answer("games", "cmdOk");
        QCOMPARE(platform->messages.size(), std::size_t(1));
        QVERIFY(platform->messages[0].text.contains("access denied"));
        QCOMPARE(stored(), "games" + kSep);  // the running program still uses it
    }

    void desktopSettingsRoundTripInAFileOfTheirOwn()
    {
        QTemporaryDir dir;
        QtPlatform desktop(dir.filePath("Kestrova.ini"));
        QCOMPARE(desktop.ReadSetting("Kestrova", "Settings", "Path"), QString());
        QCOMPARE(desktop.WriteSetting("Kestrova", "Settings", "Path", "C:\\GTA2\\"), QString());
        QCOMPARE(QtPlatform(dir.filePath("Kestrova.ini")).ReadSetting("Kestrova", "Settings", "Path"),
                 QStringLiteral("C:\\GTA2\\"));
        QFile blocker(dir.filePath("not-a-folder"));  // a store that cannot be created says why
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!QtPlatform(dir.filePath("not-a-folder/Kestrova.ini"))
                     .WriteSetting("Kestrova", "Settings", "Path", "x")
                     .isEmpty());
    }

    void windowFiltersBecomeQtFilters()
    {
        QCOMPARE(QtFileFilter("Cars Files (*.gci)|*.gci"), QStringLiteral("Cars Files (*.gci)"));
        QCOMPARE(QtFileFilter("Bitmaps|*.bmp|Palettes|*.pal"), QStringLiteral("Bitmaps (*.bmp);;Palettes (*.pal)"));
        QCOMPARE(QtFileFilter("Images|*.bmp;*.png"), QStringLiteral("Images (*.bmp *.png)"));
        QCOMPARE(QtFileFilter(""), QString());
    }

    void progressShowUpdateAndHideFollowTheRules()
    {
        ProgressWindowReporter reporter;
        ProgressReporter* previous = InstallProgressReporter(&reporter);
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
        HideProgress();                     // nothing shown: no effect
        ShowProgress(1, 20, "Loading...");  // each Show after a Hide starts a fresh window
        QCOMPARE(reporter.Window()->Position(), 0.0f);
        QCOMPARE(reporter.Window()->Maximum(), 20.0f);
        QCOMPARE(reporter.Window()->Text(), QStringLiteral("Loading..."));
        ShowProgress(1, 0, "Loading...");  // an empty file shows an empty bar
        UpdateProgress(-1, "Loading...");
        QCOMPARE(reporter.Window()->findChild<QProgressBar*>("pbar")->value(), 0);
        HideProgress();
        InstallProgressReporter(previous);
    }

    void progressHeldBackWithinAScreenFrameReachesTheBarWhenItIsOver()
    {
        ProgressWindowReporter reporter;
        ProgressReporter* previous = InstallProgressReporter(&reporter);
        ShowProgress(0, 100, "Loading...");
        const auto* bar = reporter.Window()->findChild<QProgressBar*>("pbar");
        for (int value = 1; value < 100; ++value) {
            UpdateProgress(value, "Loading...");
            QCOMPARE(reporter.Window()->Position(), static_cast<float>(value));
        }
        QTRY_COMPARE(bar->value(), bar->maximum() * 99 / 100);
        HideProgress();
        InstallProgressReporter(previous);
    }
};

QTEST_MAIN(ShellTest)
#include "test_shell.moc"
