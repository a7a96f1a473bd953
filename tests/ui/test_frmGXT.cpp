#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <QtTest>

#include "tests/support/UiTestSupport.h"

#include "app/PathRules.h"
#include "app/modGTA2Qt.h"
#include "models/gxt/clsGXT.h"
#include "tests/support/GxtTestFile.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/TempDir.h"
#include "windows/frmGXT.h"
#include "windows/frmProgress.h"

using namespace gxt_test;

namespace {

const QString kInvalid = QStringLiteral("Error - No a valid GXT file!");

// Twelve entries. Rows 3 and 7 hold "needle" in different cases; key NEEDLEK holds it
// only in its name; row 2 has a byte above 127 and a name of exactly 8 characters.
std::vector<Entry> TwelveEntries()
{
    std::vector<Entry> e;
    for (int i = 1; i <= 12; ++i)
        e.push_back({"K" + std::to_string(i), Cells("plain text " + std::to_string(i))});
    e[1] = {"EIGHTCHR", Cells("caf\xE9 cr\xE8me")};
    e[2].text = Cells("n!a needle here", 2);
    e[6].text = Cells("ANOTHER NEEDLE");
    e[10].name = "NEEDLEK";
    return e;
}

// A window, shown, with a scripted desktop behind it.
struct Fixture {
    Fixture()
    {
        SetGTA2Path(dir.Path().string() + "/");
        w.show();
    }
    QTreeWidget* list() { return w.findChild<QTreeWidget*>(QStringLiteral("lvwItems")); }
    QLineEdit* value() { return w.findChild<QLineEdit*>(QStringLiteral("txtValue")); }
    QPushButton* button(const char* name) { return w.findChild<QPushButton*>(QString::fromLatin1(name)); }
    QString cell(int row, int column) { return list()->topLevelItem(row - 1)->text(column); }
    int selectedRow()
    {
        const auto selected = list()->selectedItems();
        return selected.isEmpty() ? 0 : list()->indexOfTopLevelItem(selected.first()) + 1;
    }
    std::string write(const std::string& name, const std::string& bytes)
    {
        const std::string file = dir.File(name);
        TempDir::Write(file, bytes);
        return file;
    }
    void open(const std::string& file)
    {
        platform.openAnswers.push_back(FromUtf8(file));
        QTest::mouseClick(button("cmdOpen"), Qt::LeftButton);
    }
    void clickRow(int row)
    {
        QTreeWidgetItem* item = list()->topLevelItem(row - 1);
        list()->scrollToItem(item);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(item).center());
    }
    void enter(const QString& text)
    {
        value()->setText(text);
        QTest::keyClick(value(), Qt::Key_Return);
    }
    void find(const std::optional<QString>& answer)
    {
        platform.inputAnswers.push_back(answer);
        QTest::mouseClick(button("cmdFind"), Qt::LeftButton);
    }
    void findAgain() { QTest::mouseClick(button("cmdFinda"), Qt::LeftButton); }
    QStringList messages()
    {
        QStringList out;
        for (const auto& m : platform.messages)
            out << m.text;
        return out;
    }

    TempDir dir;
    ScriptedPlatform platform;
    frmGXT w;
};

// Watches the window from inside the progress updates: what was enabled, and whether a
// second Open or a close got through.
class BusyProbe : public ProgressReporter {
public:
    explicit BusyProbe(Fixture& f) : f_(f), previous_(InstallProgressReporter(this)) {}
    ~BusyProbe() override { InstallProgressReporter(previous_); }
    void Show(double, double, const std::string&) override {}
    void Hide() override {}
    void Update(double, const std::string& caption) override
    {
        captions.insert(QString::fromStdString(caption));
        for (const char* name : {"cmdOpen", "cmdSave", "cmdFind", "cmdFinda"})
            anyEnabled |= f_.button(name)->isEnabled();
        f_.button("cmdOpen")->click();
        f_.button("cmdSave")->click();
        f_.w.close();
        stillOpen &= f_.w.isVisible();
    }
    QSet<QString> captions;
    bool anyEnabled = false;
    bool stillOpen = true;

private:
    Fixture& f_;
    ProgressReporter* previous_;
};

}  // namespace

class TestFrmGXT : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallMessageBoxes(); }

    void opensAFileAndShowsEveryEntry()
    {
        Fixture f;
        QVERIFY(!f.button("cmdSave")->isEnabled());
        QVERIFY(!f.button("cmdFind")->isEnabled());
        f.open(f.write("a.gxt", FileOf(TwelveEntries())));

        QCOMPARE(f.platform.openRequests.size(), 1u);
        QCOMPARE(f.platform.openRequests[0].directory, FromUtf8(sDataPath()));
        QCOMPARE(f.platform.openRequests[0].filter, QStringLiteral("GXT Files (*.gxt)|*.gxt"));
        QCOMPARE(f.list()->topLevelItemCount(), 12);
        QCOMPARE(f.cell(1, 0), QStringLiteral("K1"));
        QCOMPARE(f.cell(2, 0), QStringLiteral("EIGHTCHR"));
        QCOMPARE(f.cell(2, 1), QStringLiteral("caf\u00E9 cr\u00E8me"));  // bytes shown as Latin-1
        QCOMPARE(f.cell(3, 1), QStringLiteral("n!a needle here"));
        QCOMPARE(f.value()->text(), QStringLiteral("plain text 1"));
        QCOMPARE(f.selectedRow(), 1);
        QVERIFY(f.button("cmdSave")->isEnabled());
        QVERIFY(f.button("cmdFind")->isEnabled());
        QVERIFY(!f.button("cmdFinda")->isEnabled());

        // Cancelled and refused opens change nothing.
        f.clickRow(4);
        f.open("");
        f.open(f.write("bad.gxt", std::string("GBLEd\0TKEY", 10)));  // ends after the tag
        f.open(f.dir.File("missing.gxt"));
        QCOMPARE(f.messages().size(), 2);
        QCOMPARE(f.messages()[0], kInvalid);
        QVERIFY(f.messages()[1].contains(QStringLiteral("missing.gxt")));
        QCOMPARE(f.list()->topLevelItemCount(), 12);
        QCOMPARE(f.value()->text(), QStringLiteral("plain text 4"));
        QCOMPARE(f.selectedRow(), 4);

        // A second file replaces every row. Its text is longer than an edit box holds by
        // default; Enter without a change must store it whole.
        const std::string file = f.write("b.gxt", FileOf({{"ONLY", Cells(std::string(40000, 'x'))}}));
        f.open(file);
        QCOMPARE(f.list()->topLevelItemCount(), 1);
        QCOMPARE(f.value()->text().size(), 40000);
        QTest::keyClick(f.value(), Qt::Key_Return);
        f.platform.saveAnswers.push_back(FromUtf8(file));
        QTest::mouseClick(f.button("cmdSave"), Qt::LeftButton);
        QVERIFY(TempDir::Read(file) == TempDir::Read(file + ".bak"));

        // A file without entries: an empty list, an empty box, and Enter does nothing.
        f.open(f.write("empty.gxt", File("", "")));
        QCOMPARE(f.list()->topLevelItemCount(), 0);
        QCOMPARE(f.value()->text(), QString());
        f.enter(QStringLiteral("x"));
        QCOMPARE(f.messages().size(), 2);
    }

    void enterChangesOnlyTheSelectedEntryAndSaveWritesIt()
    {
        Fixture f;
        const std::string original = FileOf(TwelveEntries());
        const std::string file = f.write("a.gxt", original);
        f.open(file);

        f.clickRow(6);
        f.value()->setText(QStringLiteral("typed, never committed"));
        f.clickRow(5);
        QCOMPARE(f.value()->text(), QStringLiteral("plain text 5"));
        QCOMPARE(f.cell(6, 1), QStringLiteral("plain text 6"));
        f.enter(QStringLiteral("Changed \u00FC"));
        QCOMPARE(f.cell(5, 1), QStringLiteral("Changed \u00FC"));
        QCOMPARE(f.value()->text(), QStringLiteral("Changed \u00FC"));

        // A character with no single-byte code is refused by name and changes nothing.
        f.enter(QStringLiteral("costs 5 \u20AC"));
        QCOMPARE(f.messages().size(), 1);
        QVERIFY(f.messages()[0].contains(QStringLiteral("\"\u20AC\"")));
        QCOMPARE(f.cell(5, 1), QStringLiteral("Changed \u00FC"));

        // Moving with the keyboard shows the new row's value before Enter can write it.
        QTest::keyClick(f.list(), Qt::Key_Down);
        QCOMPARE(f.selectedRow(), 6);
        QCOMPARE(f.value()->text(), QStringLiteral("plain text 6"));

        // Nothing selected: Enter has no entry to change.
        f.list()->clearSelection();
        f.enter(QStringLiteral("nowhere"));
        QCOMPARE(f.cell(6, 1), QStringLiteral("plain text 6"));

        f.platform.saveAnswers.push_back(FromUtf8(file));
        QTest::mouseClick(f.button("cmdSave"), Qt::LeftButton);
        QVERIFY(f.platform.saveRequests.at(0).confirmOverwrite);
        QCOMPARE(TempDir::Read(file + ".bak"), original);
        clsGXT saved;
        QVERIFY(saved.LoadGXT(file));
        QCOMPARE(saved.GetValue(5), std::string("Changed \xFC"));
        std::vector<Entry> expected = TwelveEntries();
        expected[4].text = Cells("Changed \xFC");
        QVERIFY(TempDir::Read(file) == FileOf(expected));

        // A save that cannot be written tells the user, and the window goes on.
        f.platform.saveAnswers.push_back(FromUtf8(f.dir.File("no/folder/c.gxt")));
        QTest::mouseClick(f.button("cmdSave"), Qt::LeftButton);
        QCOMPARE(f.messages().size(), 2);
        QVERIFY(f.messages()[1].contains(QStringLiteral("no/folder/c.gxt")));
        QVERIFY(f.button("cmdOpen")->isEnabled());
        QVERIFY(f.button("cmdSave")->isEnabled());
    }

    void findAndFindAgainSearchTheValues()
    {
        Fixture f;
        f.open(f.write("a.gxt", FileOf(TwelveEntries())));

        f.find(std::nullopt);
        f.find(QString());
        QVERIFY(f.messages().isEmpty());
        QVERIFY(!f.button("cmdFinda")->isEnabled());
        QCOMPARE(f.platform.inputPrompts.value(0), QStringLiteral("String to find"));

        f.find(QStringLiteral("NeEdLe"));
        QCOMPARE(f.selectedRow(), 3);
        QCOMPARE(f.value()->text(), QStringLiteral("n!a needle here"));
        QVERIFY(f.button("cmdFinda")->isEnabled());
        f.findAgain();
        QCOMPARE(f.selectedRow(), 7);
        f.findAgain();  // row 11's key holds the text, its value does not
        QCOMPARE(f.messages(), QStringList{QStringLiteral("Not Found!")});
        QCOMPARE(f.platform.messages[0].icon, MessageIcon::None);
        QCOMPARE(f.platform.messages[0].title, kAppTitle);
        QCOMPARE(f.selectedRow(), 7);

        // A failed Find keeps Find Again and its text.
        f.find(QStringLiteral("NEEDLEK"));
        QCOMPARE(f.messages().size(), 2);
        QCOMPARE(f.selectedRow(), 7);
        QVERIFY(f.button("cmdFinda")->isEnabled());
        f.clickRow(2);
        f.findAgain();
        QCOMPARE(f.selectedRow(), 3);

        // Find Again starts after the clicked row; Find always starts at row 1.
        f.find(QStringLiteral("plain text"));
        QCOMPARE(f.selectedRow(), 1);
        f.clickRow(10);
        f.findAgain();
        QCOMPARE(f.selectedRow(), 11);
    }

    void commandsAreOffWhileLoadingFillingAndSaving()
    {
        Fixture f;
        const std::string file = f.write("a.gxt", FileOf(TwelveEntries()));
        {
            BusyProbe probe(f);
            f.open(file);
            f.platform.saveAnswers.push_back(FromUtf8(f.dir.File("out.gxt")));
            QTest::mouseClick(f.button("cmdSave"), Qt::LeftButton);
            QCOMPARE(probe.captions, (QSet<QString>{QStringLiteral("Loading..."), QStringLiteral("Displying..."),
                                                    QStringLiteral("Saving...")}));
            QVERIFY(!probe.anyEnabled);
            QVERIFY(probe.stillOpen);
        }
        // Only the two dialogs of the test were shown: the clicks inside went nowhere.
        QCOMPARE(f.platform.openRequests.size(), 1u);
        QCOMPARE(f.platform.saveRequests.size(), 1u);
        QCOMPARE(f.list()->topLevelItemCount(), 12);
        QVERIFY(f.button("cmdOpen")->isEnabled());
        QVERIFY(f.button("cmdSave")->isEnabled());
    }

    void showsAFileOfThousandsOfEntries()
    {
        Fixture f;
        ProgressWindowReporter reporter;  // the real progress window and its event processing
        ProgressReporter* previous = InstallProgressReporter(&reporter);
        f.open(f.write("big.gxt", FileOf(GameLikeEntries(3000))));
        InstallProgressReporter(previous);

        QCOMPARE(f.list()->topLevelItemCount(), 3000);
        QCOMPARE(f.cell(3000, 0), QStringLiteral("bigname2"));  // cut to 8 characters
        QCOMPARE(f.cell(17, 1), QStringLiteral("W!Text number 16 Go to the phone"));
        QVERIFY(reporter.Window() == nullptr);
        QVERIFY(f.list()->isVisible());
        SaveScreenshot(f.w, "frmGXT-loaded");
    }
};

QTEST_MAIN(TestFrmGXT)
#include "test_frmGXT.moc"
