#include <QPointer>
#include <QtTest>
#include <atomic>
#include <thread>

#include "tests/support/GCISampleFile.h"
#include "tests/support/GxtTestFile.h"
#include "tests/support/MapBuilder.h"
#include "tests/support/UiTestSupport.h"
#include "ui/platform/InstanceLink.h"
#include "ui/windows/EditorWindow.h"
#include "ui/windows/frmMain.h"

namespace {

const QStringList kEditors = {"frmGCI", "frmGXT", "frmSTY", "frmGMP"};

struct Launcher : UiFixture<frmMain> {
    // Named first, deleted after: an editor takes its own menus and dialogs, which are
    // windows in the same list, with it.
    ~Launcher() override
    {
        for (const QPointer<QWidget>& editor : Editors())
            delete editor.data();
    }
    static QList<QPointer<QWidget>> Editors()
    {
        QList<QPointer<QWidget>> editors;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (kEditors.contains(window->objectName()))
                editors << window;
        return editors;
    }
    // The editors on screen, by name.
    static QStringList Shown()
    {
        QStringList shown;
        for (const QPointer<QWidget>& editor : Editors())
            if (editor->isVisible())
                shown << editor->objectName();
        shown.sort();
        return shown;
    }
    // Whether the editor holds `path`: the map viewer names it in its caption, the others
    // put it first in their recent files.
    bool Holds(const QString& editor, const QString& path) const
    {
        for (const QPointer<QWidget>& window : Editors())
            if (editor == "frmGMP" && window->objectName() == editor)
                return qobject_cast<EditorWindow*>(window)->Caption().endsWith(QFileInfo(path).fileName());
        return platform.settings.value("Kestrova/Recent/" + editor.mid(3)).startsWith(path);
    }
};

}  // namespace

// Files given to the program: each opens in the editor its kind calls for, here or in the
// program that already runs.
class OpenTest : public QObject {
    Q_OBJECT
private slots:
    void eachFileOpensInTheEditorItsKindCallsFor()
    {
        const std::string style = sty_test::SmallStyle().Build();
        const struct {
            const char *name, *why;
            std::string bytes;
            QString editor;  // empty: refused
        } files[] = {{"pictures.dat", "style by its bytes", style, "frmSTY"},
                     {"e.gxt", "bytes before the name", style, "frmSTY"},
                     {"level", "map by its bytes", map_test::Town(), "frmGMP"},
                     {"e.bin", "texts by their bytes", gxt_test::FileOf(gxt_test::GameLikeEntries(3)), "frmGXT"},
                     {"NYC.GCI", "cars by the name", gci_sample::File(2), "frmGCI"},
                     {"notes.txt", "GBL without a language", "GBL1 and more", ""}};
        for (const auto& f : files) {
            Launcher l;
            const QString path = FromUtf8(l.Write(f.name, f.bytes));
            l.w.OpenFiles({path});
            QVERIFY2(l.Shown() == (f.editor.isEmpty() ? QStringList() : QStringList{f.editor}), f.why);
            if (f.editor.isEmpty())
                QVERIFY2(l.Told() == 1 && l.platform.messages[0].parent == &l.w && l.Said().contains(f.name), f.why);
            else
                QVERIFY2(l.Told() == 0 && l.Holds(f.editor, path), f.why);
        }
    }

    void aLaterStartHandsItsFilesToTheRunningOne()
    {
        Launcher l;
        const QString name = FromUtf8(l.Write("socket", "left by a program that ended without closing"));
        QVERIFY(!HandOverFiles(name, {}, 1000));  // none runs: the start opens its own
        InstanceServer running([&l](const QStringList& files) { l.w.OpenFiles(files); });
        QVERIFY2(running.Listen(name), qPrintable(running.Error()));

        const QString cars = FromUtf8(l.Write("nyc.gci", gci_sample::File(2)));
        const QString texts = FromUtf8(l.Write("e.gxt", gxt_test::FileOf(gxt_test::GameLikeEntries(2))));
        std::atomic<int> handed = -1;
        {
            std::jthread later([&] { handed = HandOverFiles(name, {cars, texts}); });
            QTRY_VERIFY(handed != -1);
        }
        QCOMPARE(handed.load(), 1);
        QTRY_COMPARE(l.Shown(), (QStringList{"frmGCI", "frmGXT"}));
        QVERIFY(l.Holds("frmGCI", cars) && l.Holds("frmGXT", texts) && l.Told() == 0);
    }
};

QTEST_MAIN(OpenTest)
#include "test_open.moc"
