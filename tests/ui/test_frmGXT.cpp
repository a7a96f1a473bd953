#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "core/common/PathRules.h"
#include "tests/support/GxtTestFile.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiTestSupport.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/frmGXT.h"
#include "ui/windows/frmProgress.h"

using namespace gxt_test;

namespace {

// Twelve entries. Rows 3 and 7 hold "needle" in different cases; key NEEDLEK holds it
// only in its name; row 2 has bytes above 127 and a name of exactly 8 characters.
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

// A window, shown, with its controls at hand, over a scripted desktop and a folder of its own.
struct Fixture {
    TempDir dir;
    ScriptedPlatform platform;
    frmGXT w;
    QTreeWidget* list = w.findChild<QTreeWidget*>("lvwItems");
    QLineEdit* value = w.findChild<QLineEdit*>("txtValue");
    QPushButton* openButton = w.findChild<QPushButton*>("cmdOpen");
    QPushButton* saveButton = w.findChild<QPushButton*>("cmdSave");
    QPushButton* findButton = w.findChild<QPushButton*>("cmdFind");
    QPushButton* findAgainButton = w.findChild<QPushButton*>("cmdFinda");

    Fixture() { w.show(); }
    QString cell(int row, int column) { return list->topLevelItem(row - 1)->text(column); }
    int selectedRow()
    {
        const auto selected = list->selectedItems();
        return selected.isEmpty() ? 0 : list->indexOfTopLevelItem(selected.first()) + 1;
    }
    std::string write(const std::string& name, const std::string& bytes)
    {
        TempDir::Write(dir.File(name), bytes);
        return dir.File(name);
    }
    void open(const std::string& file)
    {
        platform.openAnswers.push_back(FromUtf8(file));
        QTest::mouseClick(openButton, Qt::LeftButton);
    }
    void save(const std::string& file)
    {
        platform.saveAnswers.push_back(FromUtf8(file));
        QTest::mouseClick(saveButton, Qt::LeftButton);
    }
    void clickRow(int row)
    {
        list->scrollToItem(list->topLevelItem(row - 1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->topLevelItem(row - 1)).center());
    }
    void enter(const QString& text)
    {
        value->setText(text);
        QTest::keyClick(value, Qt::Key_Return);
    }
    void find(const std::optional<QString>& answer)
    {
        platform.inputAnswers.push_back(answer);
        QTest::mouseClick(findButton, Qt::LeftButton);
    }
    QString lastMessage() { return platform.messages.empty() ? QString() : platform.messages.back().text; }
};

}  // namespace

class TestFrmGXT : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallMessageBoxes(); }

    void opensFilesAndShowsEveryEntry()
    {
        Fixture f;
        QVERIFY(!f.saveButton->isEnabled() && !f.findButton->isEnabled());
        ProgressWindowReporter reporter;  // the real progress window and its event processing
        ProgressReporter* previous = InstallProgressReporter(&reporter);
        f.open(f.write("big.gxt", FileOf(GameLikeEntries(3000))));
        InstallProgressReporter(previous);
        QVERIFY(!reporter.Window());  // gone once the list is filled
        QCOMPARE(f.platform.openRequests[0].directory, FromUtf8(sDataPath()));
        QCOMPARE(f.platform.openRequests[0].filter, QStringLiteral("GXT Files (*.gxt)|*.gxt"));
        QCOMPARE(f.list->topLevelItemCount(), 3000);
        QCOMPARE(f.cell(3000, 0), QStringLiteral("bigname2"));  // cut to 8 characters
        QCOMPARE(f.cell(17, 1), QStringLiteral("W!Text number 16 Go to the phone"));
        SaveScreenshot(f.w, "frmGXT-loaded");

        f.open(f.write("a.gxt", FileOf(TwelveEntries())));  // a second file replaces every row
        QCOMPARE(f.list->topLevelItemCount(), 12);
        QCOMPARE(f.cell(2, 0), QStringLiteral("EIGHTCHR"));
        QCOMPARE(f.cell(2, 1), QStringLiteral("caf\u00E9 cr\u00E8me"));  // bytes shown as Latin-1
        QCOMPARE(f.value->text(), QStringLiteral("plain text 1"));
        QCOMPARE(f.selectedRow(), 1);
        QVERIFY(f.saveButton->isEnabled() && f.findButton->isEnabled());
        QVERIFY(!f.findAgainButton->isEnabled());

        // Cancelled and refused opens change nothing.
        f.clickRow(4);
        f.open("");
        f.open(f.write("bad.gxt", std::string("GBLEd\0TKEY", 10)));  // ends after the tag
        QCOMPARE(f.lastMessage(), QStringLiteral("Error - No a valid GXT file!"));
        f.open(f.dir.File("missing.gxt"));
        QVERIFY(f.lastMessage().contains(QStringLiteral("missing.gxt")));
        QCOMPARE(f.platform.messages.size(), 2u);
        QCOMPARE(f.list->topLevelItemCount(), 12);
        QCOMPARE(f.value->text(), QStringLiteral("plain text 4"));
        QCOMPARE(f.selectedRow(), 4);

        // A text longer than an edit box holds by default: Enter without a change stores it whole.
        const std::string file = f.write("b.gxt", FileOf({{"ONLY", Cells(std::string(40000, 'x'))}}));
        f.open(file);
        QTest::keyClick(f.value, Qt::Key_Return);
        f.save(file);
        QVERIFY(TempDir::Read(file) == TempDir::Read(file + ".bak"));

        // A file without entries: an empty list, an empty box, and Enter does nothing.
        f.open(f.write("empty.gxt", File("", "")));
        QCOMPARE(f.list->topLevelItemCount(), 0);
        QCOMPARE(f.value->text(), QString());
        f.enter(QStringLiteral("x"));
        QCOMPARE(f.platform.messages.size(), 2u);
    }

    void enterChangesOnlyTheSelectedEntryAndSaveWritesIt()
    {
        Fixture f;
        const std::string file = f.write("a.gxt", FileOf(TwelveEntries()));
        f.open(file);
        f.clickRow(6);
        f.value->setText(QStringLiteral("typed, never committed"));
        f.clickRow(5);
        QCOMPARE(f.value->text(), QStringLiteral("plain text 5"));
        f.enter(QStringLiteral("Changed \u00FC"));
        QCOMPARE(f.cell(5, 1), QStringLiteral("Changed \u00FC"));
        f.enter(QStringLiteral("costs 5 \u20AC"));  // no single-byte code: refused by name
        QVERIFY(f.lastMessage().contains(QStringLiteral("\"\u20AC\"")));
        QCOMPARE(f.cell(5, 1), QStringLiteral("Changed \u00FC"));
        QTest::keyClick(f.list, Qt::Key_Down);  // the keyboard shows the new row's value first
        QCOMPARE(f.value->text(), QStringLiteral("plain text 6"));
        f.list->clearSelection();
        f.enter(QStringLiteral("nowhere"));  // nothing selected: no entry to change
        QCOMPARE(f.cell(6, 1), QStringLiteral("plain text 6"));

        f.save(file);
        QVERIFY(f.platform.saveRequests.at(0).confirmOverwrite);
        QVERIFY(TempDir::Read(file + ".bak") == FileOf(TwelveEntries()));
        std::vector<Entry> expected = TwelveEntries();
        expected[4].text = Cells("Changed \xFC");
        QVERIFY(TempDir::Read(file) == FileOf(expected));
        f.save(f.dir.File("no/folder/c.gxt"));  // cannot be written: told, and the window goes on
        QVERIFY(f.lastMessage().contains(QStringLiteral("no/folder/c.gxt")));
        QVERIFY(f.openButton->isEnabled() && f.saveButton->isEnabled());
    }

    void findAndFindAgainSearchTheValues()
    {
        Fixture f;
        f.open(f.write("a.gxt", FileOf(TwelveEntries())));
        f.find(std::nullopt);
        f.find(QString());
        QVERIFY(f.platform.messages.empty() && !f.findAgainButton->isEnabled());
        QCOMPARE(f.platform.inputPrompts.value(0), QStringLiteral("String to find"));

        f.find(QStringLiteral("NeEdLe"));
        QCOMPARE(f.selectedRow(), 3);
        QCOMPARE(f.value->text(), QStringLiteral("n!a needle here"));
        QTest::mouseClick(f.findAgainButton, Qt::LeftButton);
        QCOMPARE(f.selectedRow(), 7);
        QTest::mouseClick(f.findAgainButton, Qt::LeftButton);  // row 11's key holds the text, its value does not
        QCOMPARE(f.lastMessage(), QStringLiteral("Not Found!"));
        QCOMPARE(f.platform.messages[0].icon, MessageIcon::None);
        QCOMPARE(f.platform.messages[0].title, kAppTitle);
        QCOMPARE(f.selectedRow(), 7);

        f.find(QStringLiteral("NEEDLEK"));  // a failed Find keeps Find Again and its text
        QCOMPARE(f.platform.messages.size(), 2u);
        f.clickRow(2);
        QTest::mouseClick(f.findAgainButton, Qt::LeftButton);  // starts after the clicked row
        QCOMPARE(f.selectedRow(), 3);
        f.find(QStringLiteral("plain text"));  // Find always starts at row 1
        QCOMPARE(f.selectedRow(), 1);
    }

    void commandsAreOffWhileLoadingFillingAndSaving()
    {
        Fixture f;
        const std::string file = f.write("a.gxt", FileOf(TwelveEntries()));
        {
            BusyWatch watch({f.openButton, f.saveButton, f.findButton, f.findAgainButton}, [&] {
                f.openButton->click();
                f.saveButton->click();
                f.w.close();
                QVERIFY(f.w.isVisible());
            });
            f.open(file);
            f.save(f.dir.File("out.gxt"));
            QCOMPARE(watch.captions, (QSet<QString>{"Loading...", "Displying...", "Saving..."}));
            QCOMPARE(watch.enabled, 0);
        }
        // Only the two dialogs of the test were shown: the clicks inside went nowhere.
        QCOMPARE(f.platform.openRequests.size(), 1u);
        QCOMPARE(f.platform.saveRequests.size(), 1u);
        QCOMPARE(f.list->topLevelItemCount(), 12);
        QVERIFY(f.openButton->isEnabled() && f.saveButton->isEnabled());
    }
};

QTEST_MAIN(TestFrmGXT)
#include "test_frmGXT.moc"
