// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <thread>
#include <vector>

#include "core/common/PathRules.h"
#include "tests/support/GCISampleFile.h"
#include "tests/support/GCISetValAnswer.h"
#include "tests/support/GxtTestFile.h"
#include "tests/support/MapBuilder.h"
#include "tests/support/Thrown.h"
#include "tests/support/UiTestSupport.h"
#include "ui/platform/InstanceLink.h"
#include "ui/platform/QtPlatform.h"
#include "ui/windows/EditorWindow.h"
#include "ui/windows/frmGCI.h"
#include "ui/windows/frmMain.h"
#include "ui/windows/frmOptions.h"
#include "ui/windows/frmProgress.h"

namespace {

const QString kStoredPath = QStringLiteral("Kestrova/Settings/Path");
const QString kSep(QChar::fromLatin1(PlatformSeparator()));
const QStringList kWindows = {"frmGCI", "frmGXT", "frmSTY", "frmGMP", "frmOptions"};

struct Launcher : UiFixture<frmMain> {
    // Named first, deleted after: an editor takes its own menus and dialogs, which are
    // windows in the same list, with it.
    ~Launcher()
    {
        for (const QPointer<QWidget>& window : Windows())
            delete window.data();
    }
    // The working windows the launcher opens, or those named `name`, shown or not.
    static QList<QPointer<QWidget>> Windows(const QString& name = {})
    {
        QList<QPointer<QWidget>> windows;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (name.isEmpty() ? kWindows.contains(window->objectName()) : window->objectName() == name)
                windows << window;
        return windows;
    }
    // The working windows on screen, by name.
    static QStringList Shown()
    {
        QStringList shown;
        for (const QPointer<QWidget>& window : Windows())
            if (window->isVisible())
                shown << window->objectName();
        shown.sort();
        return shown;
    }
    // Whether the editor holds `path`: the map viewer names it in its caption, the others
    // put it first in their recent files.
    bool Holds(const QString& editor, const QString& path) const
    {
        for (const QPointer<QWidget>& window : Windows())
            if (editor == "frmGMP" && window->objectName() == editor)
                return qobject_cast<EditorWindow*>(window)->Caption().endsWith(QFileInfo(path).fileName());
        return platform.settings.value("Kestrova/Recent/" + editor.mid(3)).startsWith(path);
    }
    void Click(int entry) { QTest::mouseClick(w.EntryLabel(entry), Qt::LeftButton); }
    // Until every editor's work is over.
    static void EditorsIdle()
    {
        const auto busy = [] {
            for (const QPointer<QWidget>& window : Windows())
                if (auto* editor = qobject_cast<EditorWindow*>(window.data()); editor && editor->Busy())
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(!busy(), 30000);
    }
    // Presses `keys` one after another on whatever has the focus in the active launcher.
    void Press(const std::vector<Qt::Key>& keys)
    {
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        for (Qt::Key key : keys)
            QTest::keyClick(QApplication::focusWidget(), key);
    }
    // Each entry's look: '+' highlighted (blue, underlined), '-' plain (white), '?' neither.
    QString Looks()
    {
        QString looks;
        for (int i = 0; i < frmMain::kEntries; ++i) {
            const QColor colour = w.EntryLabel(i)->palette().color(QPalette::WindowText);
            const bool underlined = w.EntryLabel(i)->font().underline();
            looks += colour == Qt::blue && underlined ? '+' : colour == Qt::white && !underlined ? '-' : '?';
        }
        return looks;
    }
    // Types `text` into a new options dialog and leaves it through `button` or `key`.
    void AnswerOptions(const QString& text, const char* button, Qt::Key key = Qt::Key_Escape)
    {
        QPointer<frmOptions> dialog = new frmOptions;
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
        dialog->findChild<QLineEdit*>("txtDir")->setText(text);
        button ? QTest::mouseClick(dialog->findChild<QAbstractButton*>(button), Qt::LeftButton)
               : QTest::keyClick(dialog, key);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(dialog.isNull());  // closed and released
    }
};

}  // namespace

// The launcher, the options dialog and the progress window: the application shell; and files
// given to the program, each opened in the editor its kind calls for, here or in the program
// that already runs.
class ShellTest : public QObject {
    Q_OBJECT
private slots:
    void keysAndThePointerMoveTheHighlightCreditsMailAndExitEnds()
    {
        Launcher l;
        // The first key only shows the focus; the arrows keep to a column or row, stopping at its end.
        using Keys = std::vector<Qt::Key>;  // owned: a table of initializer lists would outlive their arrays
        const std::pair<Keys, const char*> moves[] = {
            {{Qt::Key_Down}, "--+-----"},                          // GXT File Editing
            {{Qt::Key_Down, Qt::Key_Down}, "-----+--"},            // its column down to STY Viewer
            {{Qt::Key_Down, Qt::Key_Right}, "----+---"},           // Exit, across
            {{Qt::Key_Up, Qt::Key_Up}, "-------+"},                // Options, GMP Map Viewer
            {{Qt::Key_Up, Qt::Key_Up, Qt::Key_Left}, "--+-----"},  // the credits above; GXT, not the one below
            {{Qt::Key_Tab, Qt::Key_Tab}, "-----+--"},              // GCI, STY: the left column first
            {{Qt::Key_Backtab, Qt::Key_Tab}, "-----+--"}};         // and back
        for (const auto& [keys, looks] : moves) {
            l.Press(keys);
            QCOMPARE(l.Looks(), QString(looks));
        }
        l.Press({Qt::Key_Return});  // opens the highlighted entry, and clears the highlight
        QVERIFY(l.Shown() == QStringList{"frmSTY"} && l.Looks() == "--------");
        MovePointerOver(l.w.EntryLabel(frmMain::Options));  // the pointer takes the focus along
        l.Press({Qt::Key_Space});
        QCOMPARE(l.Shown(), (QStringList{"frmOptions", "frmSTY"}));
        // The pointer highlights an entry and the rest of the launcher clears it.
        MovePointerOver(l.w.EntryLabel(frmMain::Options));
        MovePointerOver(l.w.findChild<QLabel*>("Image1"));  // the logo and the version leave it alone
        MovePointerOver(l.w.findChild<QLabel*>("Label2"));
        QCOMPARE(l.Looks(), QStringLiteral("------+-"));
        MovePointerOver(l.w.findChild<QLabel*>("Label1"));  // the title clears it, and so does the background
        QCOMPARE(l.Looks(), QStringLiteral("--------"));
        MovePointerOver(l.w.EntryLabel(frmMain::ExitEntry));
        MovePointerOver(&l.w, QPoint(200, 5));
        QCOMPARE(l.Looks(), QStringLiteral("--------"));
        // The credits open mail links; Exit ends the program without asking.
        l.Click(frmMain::AuthorCredit);
        l.Click(frmMain::LayoutCredit);
        QCOMPARE(l.platform.openedUrls.size(), 2);
        for (const QUrl& url : l.platform.openedUrls)
            QVERIFY(url.scheme() == "mailto" && url.path().endsWith("@example.org"));
        // Pressed on Exit and released off it: the label holds the pointer and gets the release, but nothing happens.
        QTest::mousePress(l.w.EntryLabel(frmMain::ExitEntry), Qt::LeftButton);
        QTest::mouseRelease(l.w.EntryLabel(frmMain::ExitEntry), Qt::LeftButton, {}, QPoint(-20, 5));
        QCOMPARE(l.platform.endProgramCalls, 0);
        l.Click(frmMain::ExitEntry);
        QVERIFY(l.platform.endProgramCalls == 1 && l.Told() == 0 && l.w.isVisible());
    }

    void windowsOpenBesideTheLauncherOnceEachAndComeBackWhereAndAtTheSizeLeft()
    {
        // Anchor, the window's outer size, the screen's free area, and where the window goes.
        const QRect screen(0, 0, 1920, 1040), second(1920, 0, 1280, 1024);
        const std::tuple<const char*, QRect, QSize, QRect, QPoint> cases[] = {
            {"right", {781, 400, 357, 237}, {613, 470}, screen, {1138, 400}},
            {"left, no room on the right", {1500, 400, 357, 237}, {613, 470}, screen, {887, 400}},
            {"below, no room beside", {700, 0, 357, 237}, {1000, 300}, screen, {700, 237}},
            {"on the second screen", {2000, 100, 357, 237}, {613, 470}, second, {2357, 100}},
            {"covering least where nothing fits", {100, 150, 357, 237}, {500, 500}, {0, 0, 800, 600}, {300, 100}}};
        for (const auto& [why, anchor, size, area, expected] : cases)
            QVERIFY2(BesidePosition(anchor, size, area) == expected, why);

        Launcher l;  // each window and its main area's object or class name
        l.w.move(0, 0);
        for (auto [entry, name, area] : {std::tuple{frmMain::Options, "frmOptions", ""},
                                         {frmMain::GciEditing, "frmGCI", "lstVals"},
                                         {frmMain::GxtEditing, "frmGXT", "lvwItems"},
                                         {frmMain::StyViewer, "frmSTY", "pic"},
                                         {frmMain::MapViewer, "frmGMP", "MapView"}})
            for (int round = 0; round < 2; ++round) {
                MovePointerOver(l.w.EntryLabel(entry));
                l.Click(entry);  // closed and released, the next one is new, and at the size left
                const QList<QPointer<QWidget>> first = l.Windows(name);
                QPointer<QWidget> w = first.value(0);
                const QRect placed = w->frameGeometry();
                QVERIFY2(*area || (l.w.screen()->availableGeometry().contains(placed) &&
                                   !placed.intersects(l.w.frameGeometry())),
                         name);
                w->move(5, 300);
                l.Click(entry);  // brought forward where it was left
                QVERIFY2(first.size() == 1 && w->isVisible() && w->pos() == QPoint(5, 300) &&
                             l.Windows(name) == first && l.Looks() == "--------",
                         name);
                if (*area) {
                    if (round == 0)
                        w->resize(1900, 1000);
                    qint64 most = 0;
                    for (QWidget* c : w->findChildren<QWidget*>())
                        if (c->objectName() == area || c->metaObject()->className() == QLatin1String(area))
                            most = qint64{c->width()} * c->height() * 2 / (w->width() * w->height());
                    QVERIFY2(w->size() == QSize(1900, 1000) && most >= 1, name);
                }
                w->close();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                QVERIFY2(w.isNull(), name);
            }
    }

    void exitAsksAboutUnsavedEdits()
    {
        for (SaveChoice choice : {SaveChoice::Save, SaveChoice::Cancel}) {
            Launcher l;
            l.Click(frmMain::GxtEditing);  // open, with nothing to save: not asked
            l.Click(frmMain::GciEditing);
            auto* cars = static_cast<frmGCI*>(l.Windows("frmGCI").value(0).data());
            const std::string file = l.Write("cars.gci", gci_sample::File(1));
            cars->OpenDocument(FromUtf8(file));
            l.EditorsIdle();
            GCISetValAnswer answer(GCISetValAnswer::Type("2.5"));
            ClickItem(cars->findChild<QTreeWidget*>("lstVals")->topLevelItem(5), true);
            l.platform.saveChoices = {choice};
            l.Click(frmMain::ExitEntry);  // ends the program once the cars are saved
            l.EditorsIdle();
            QVERIFY(l.platform.saveQuestions.size() == 1 && l.platform.saveQuestions[0].parent == cars);
            QCOMPARE(l.platform.endProgramCalls, choice == SaveChoice::Cancel ? 0 : 1);
            QCOMPARE(Holds(TempDir::Read(file), "f2.500 {Mass}"), choice == SaveChoice::Save);
        }
    }

    void theStoredDirectoryIsReadAndOptionsStoreItWithOneSeparator()
    {
        Launcher l;  // nothing stored
        QVERIFY(FromUtf8(sDataPath()) == "data" + kSep && l.Told() == 0);
        l.platform.settings[kStoredPath] = "C:\\GTA2";
        frmMain again;
        QCOMPARE(FromUtf8(sDataPath()), "C:\\GTA2data" + kSep);  // taken exactly as stored
        const QString stored = "games" + kSep + "GTA2" + kSep;   // other spellings: PathRules' own tests
        l.AnswerOptions("games" + kSep + "GTA2", "cmdOk");
        QVERIFY(FromUtf8(sDataPath()) == stored + "data" + kSep && l.Told() == 0);
        l.AnswerOptions("new", "cmdCancel");  // Cancel and Escape change nothing
        l.AnswerOptions("typed", nullptr);
        QVERIFY(l.platform.settings.value(kStoredPath) == stored && FromUtf8(sGTA2Path()) == stored);
        QCOMPARE(frmOptions().findChild<QLineEdit*>("txtDir")->text(), stored);
        l.AnswerOptions(" ", "cmdOk");  // no directory, as before one was chosen; not the root
        QVERIFY(l.platform.settings.value(kStoredPath) == "" && FromUtf8(sDataPath()) == "data" + kSep);
        frmOptions options;  // Browse puts the picked folder in the box, and a cancelled one keeps it
        l.platform.folderAnswers = {FromUtf8(l.dir.File("GTA2")), ""};
        for (int i = 0; i < 2; ++i)
            QTest::mouseClick(options.findChild<QAbstractButton*>("cmdBrowse"), Qt::LeftButton);
        QCOMPARE(options.findChild<QLineEdit*>("txtDir")->text(),
                 QDir::toNativeSeparators(FromUtf8(l.dir.File("GTA2"))));
        l.platform.settingsWriteError = "the settings store could not be written (access denied)";
        l.AnswerOptions("games", "cmdOk");  // told, and the running program still uses it
        QVERIFY(l.Told() == 1 && l.Said().contains("access denied") && FromUtf8(sGTA2Path()) == "games" + kSep);
        // The desktop keeps settings in a file, and says why a write failed.
        const QString ini = FromUtf8(l.dir.File("K.ini")), blocked = FromUtf8(l.Write("not-a-folder", "")) + "/K.ini";
        QCOMPARE(QtPlatform(ini).WriteSetting("Kestrova", "Settings", "Path", "C:\\"), QString());
        QCOMPARE(QtPlatform(ini).ReadSetting("Kestrova", "Settings", "Path"), QStringLiteral("C:\\"));
        QVERIFY(!QtPlatform(blocked).WriteSetting("Kestrova", "Settings", "Path", "x").isEmpty());
    }

    void theProgressWindowShowsPositionsBelowTheMaximumAndCancelsOnlyWorkThatStops()
    {
        frmProgress w;
        w.SetRange(1, 500);
        w.show();
        QVERIFY(w.Position() == 0.0f);
        for (auto [value, shown] : {std::pair{250.0, 250.0f}, {500.0, 250.0f}, {501.0, 250.0f}, {499.0, 499.0f}}) {
            w.Update(value, "Saving...");
            QVERIFY(w.Position() == shown && w.Text() == "Saving...");
        }
        w.SetRange(0, 100);
        for (int value = 1; value < 100; ++value)  // held back within a screen frame, painted after it
            w.Update(value, "Loading...");
        const auto* bar = w.findChild<QProgressBar*>("pbar");
        QTRY_COMPARE(bar->value(), bar->maximum() * 99 / 100);
        // Closing it asks to stop only work that can stop, which has a Cancel button; it stays until the work ends.
        QSignalSpy cancel(&w, &frmProgress::cancelRequested);
        QVERIFY(!w.close() && cancel.isEmpty() && !w.findChild<QPushButton*>("cmdCancel"));
        w.SetCancellable(true);
        QTest::mouseClick(w.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
        QVERIFY(!w.close() && cancel.size() == 2 && w.isVisible() && bar->width() < 395);
    }

    void eachFileOpensInTheEditorItsKindCallsFor()
    {
        const std::string style = sty_test::SmallStyle().Build();
        // The file, why it opens where it does, its bytes (none: dropped on the launcher and not
        // there, which the editor its extension names tells over itself), and the editor it opens in.
        using File = std::tuple<const char*, const char*, std::string, QString>;
        const File files[] = {
            {"pictures.dat", "style by its bytes", style, "frmSTY"},
            {"e.gxt", "bytes before the name", style, "frmSTY"},
            {"level", "map by its bytes", map_test::Town(), "frmGMP"},
            {"e.bin", "texts by their bytes", gxt_test::FileOf(gxt_test::GameLikeEntries(3)), "frmGXT"},
            {"NYC.GCI", "cars by the name", gci_sample::File(2), "frmGCI"},
            {"notes.txt", "GBL without a language: refused", "GBL1 and more", ""},
            {"x.GCI", "dropped cars", "", "frmGCI"},
            {"x.gxt", "dropped texts", "", "frmGXT"},
            {"x.sty", "dropped style", "", "frmSTY"},
            {"x.gmp", "a dropped map is refused", "", ""}};
        for (const auto& [name, why, bytes, editor] : files) {
            Launcher l;
            const QString path = FromUtf8(bytes.empty() ? l.dir.File(name) : l.Write(name, bytes));
            bytes.empty() ? DropFile(&l.w, path) : l.w.OpenFiles({path});
            l.EditorsIdle();
            QVERIFY2(l.Shown() == (editor.isEmpty() ? QStringList() : QStringList{editor}), why);
            const QWidget* teller = editor.isEmpty() ? &l.w : l.Windows(editor).value(0).data();
            if (bytes.empty() || editor.isEmpty())
                QVERIFY2(l.Told() == 1 && l.platform.messages[0].parent == teller && l.Said().contains(name), why);
            else
                QVERIFY2(l.Told() == 0 && l.Holds(editor, path), why);
        }
    }

    void aLaterStartHandsItsFilesToTheRunningOne()
    {
        Launcher l;
        const QString name = FromUtf8(l.Write("socket", "left by a program that ended without closing"));
        QVERIFY(!HandOverFiles(name, {}, 1000));  // none runs: the start opens its own
        InstanceServer running([&l](const QStringList& files) { l.w.TakeHandOver(files); });
        QVERIFY2(running.Listen(name), qPrintable(running.Error()));
        const auto later = [&name](const QStringList& files) {
            std::atomic<int> handed = -1;
            std::jthread start([&] { handed = HandOverFiles(name, files); });
            return QTest::qWaitFor([&] { return handed != -1; }) && handed == 1;
        };

        const QString cars = FromUtf8(l.Write("nyc.gci", gci_sample::File(2)));
        const QString texts = FromUtf8(l.Write("e.gxt", gxt_test::FileOf(gxt_test::GameLikeEntries(2))));
        QVERIFY(later({cars}));
        QTRY_COMPARE(l.Shown(), QStringList{"frmGCI"});
        // Closed with an editor open: a file still opens, and a start without files brings it back.
        l.w.close();
        QVERIFY(later({texts}));
        QTRY_COMPARE(l.Shown(), (QStringList{"frmGCI", "frmGXT"}));
        l.EditorsIdle();
        QVERIFY(!l.w.isVisible() && l.Holds("frmGCI", cars) && l.Holds("frmGXT", texts) && l.Told() == 0);
        QVERIFY(later({}));
        QTRY_VERIFY(l.w.isVisible());
        // A file no editor takes is refused over the launcher, which comes back for it.
        l.w.close();
        QVERIFY(later({FromUtf8(l.Write("notes.txt", "no kind"))}));
        QTRY_VERIFY(l.Told() == 1 && l.w.isVisible());
        QCOMPARE(l.Windows().size(), 2);  // and no window twice
    }

    void eachDisplayHasAProgramOfItsOwn()
    {
        // One program for a display, another for each other display or login session.
        const auto name = [](const QString& setting) {
            QProcessEnvironment environment;
            environment.insert("XDG_SESSION_ID", "7");
            environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
            return InstanceName(environment);
        };
        QCOMPARE(name("DISPLAY=:0"), name("DISPLAY=:0.1"));
        QSet<QString> names;
        for (const char* setting : {"DISPLAY=:0", "DISPLAY=:1", "DISPLAY=host:10.0", "WAYLAND_DISPLAY=wayland-0",
                                    "WAYLAND_DISPLAY=wayland-1", "=", "XDG_SESSION_ID=8"})
            names << name(setting);
        QCOMPARE(names.size(), 7);
    }

    void theSaveQuestionHasALetterForEachAnswer()
    {
        QStringList captions;
        QTimer::singleShot(0, [&captions] {
            QWidget* box = QApplication::activeModalWidget();
            for (const QAbstractButton* button : box->findChildren<QAbstractButton*>())
                captions << button->text();
            QTest::keyClick(box, Qt::Key_D);  // a message box takes a button's letter without Alt
        });
        QTimer watchdog;  // a box that took no key must not hold the run
        watchdog.callOnTimeout([] { QApplication::activeModalWidget()->close(); });
        watchdog.start(5000);
        QVERIFY(QtPlatform().AskToSave(nullptr, "Save the changes?", "Kestrova") == SaveChoice::Discard);
        captions.sort();
        QCOMPARE(captions, (QStringList{"&Cancel", "&Discard", "&Save"}));
    }
};

QTEST_MAIN(ShellTest)
#include "test_shell.moc"
