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
    void eachFileOpensInTheEditorItsKindCallsFor_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("editor");  // empty: refused
        const QByteArray style = QByteArray::fromStdString(sty_test::SmallStyle().Build());
        QTest::newRow("style by its bytes") << "pictures.dat" << style << "frmSTY";
        QTest::newRow("bytes before the name") << "e.gxt" << style << "frmSTY";
        QTest::newRow("map by its bytes") << "level" << QByteArray::fromStdString(map_test::Town()) << "frmGMP";
        QTest::newRow("texts by their bytes")
            << "e.bin" << QByteArray::fromStdString(gxt_test::FileOf(gxt_test::GameLikeEntries(3))) << "frmGXT";
        QTest::newRow("cars by the name") << "NYC.GCI" << QByteArray::fromStdString(gci_sample::File(2)) << "frmGCI";
        QTest::newRow("GBL without a language") << "notes.txt" << QByteArray("GBL1 and more") << "";
    }
    void eachFileOpensInTheEditorItsKindCallsFor()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, editor);
        Launcher l;
        const QString path = FromUtf8(l.Write(ToUtf8(name), bytes.toStdString()));
        l.w.OpenFiles({path});
        if (editor.isEmpty()) {
            QVERIFY(l.Shown().isEmpty() && l.Told() == 1 && l.platform.messages[0].parent == &l.w);
            QVERIFY2(l.Said().contains(name), qPrintable(l.Said()));
            return;
        }
        QVERIFY2(l.Told() == 0, qPrintable(l.Said()));
        QCOMPARE(l.Shown(), QStringList{editor});
        QVERIFY(l.Holds(editor, path));
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
