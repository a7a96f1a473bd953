#include <QLineEdit>
#include <QtTest>

#include "core/common/PathRules.h"
#include "tests/support/GxtTestFile.h"
#include "tests/support/UiTestSupport.h"
#include "ui/windows/frmGXT.h"

using namespace gxt_test;

namespace {

// "plain text 1" to 12, but row 2 has bytes above 127 under a name of 8 characters, rows 3
// and 7 hold "needle" in different cases, and key NEEDLEK holds it only in its name.
std::vector<Entry> TwelveEntries()
{
    std::vector<Entry> e;
    for (int i = 1; i <= 12; ++i)
        e.push_back({i == 11 ? "NEEDLEK" : "K" + std::to_string(i), Cells("plain text " + std::to_string(i))});
    e[1] = {"EIGHTCHR", Cells("caf\xE9 cr\xE8me")};
    e[2].text = Cells("n!a needle here", 2);
    e[6].text = Cells("ANOTHER NEEDLE");
    return e;
}

struct Editor : UiFixture<frmGXT> {
    QTreeWidget* list = Get<QTreeWidget>("lvwItems");
    QLineEdit* value = Get<QLineEdit>("txtValue");
    const std::string twelve = Write("a.gxt", FileOf(TwelveEntries()));

    QString Cell(int row, int column = 1) { return list->topLevelItem(row - 1)->text(column); }
    int Selected()
    {
        return list->currentItem() && list->currentItem()->isSelected() ? list->currentIndex().row() + 1 : 0;
    }
    void Enter(const QString& text)
    {
        value->setText(text);
        QTest::keyClick(value, Qt::Key_Return);
    }
    void Find(const std::optional<QString>& answer)
    {
        platform.inputAnswers.push_back(answer);
        Click("cmdFind");
    }
};

}  // namespace

class TestFrmGXT : public QObject {
    Q_OBJECT
private slots:
    void opensAFileIntoTheList()
    {
        Editor e;
        e.Open("");  // cancelled
        QVERIFY(e.Told() == 0 && !e.Get("cmdSave")->isEnabled() && !e.Get("cmdFind")->isEnabled());
        e.Open(e.twelve);
        QCOMPARE(e.platform.openRequests[1].directory, FromUtf8(sDataPath()));
        QCOMPARE(e.Cell(2, 0) + e.Cell(2) + e.Cell(12), QStringLiteral("EIGHTCHRcaf\u00E9 cr\u00E8meplain text 12"));
        QVERIFY(e.value->text() == "plain text 1" && e.Selected() == 1);
        QVERIFY(e.Get("cmdSave")->isEnabled() && e.Get("cmdFind")->isEnabled() && !e.Get("cmdFinda")->isEnabled());
        e.Open(e.Write("empty.gxt", File("", "")));  // replaces every row; Enter has no row to change
        e.Enter(QStringLiteral("x"));
        QVERIFY(e.list->topLevelItemCount() == 0 && e.Told() == 0);
        DropFile(&e.w, FromUtf8(e.twelve));  // a dropped file opens, and goes first in the recent files
        QVERIFY(e.list->topLevelItemCount() == 12 && e.Told() == 0);
        QCOMPARE(e.platform.settings.value("Kestrova/Recent/GXT"),
                 FromUtf8(e.twelve) + "\n" + FromUtf8(e.dir.File("empty.gxt")));
    }

    void refusedFilesAreToldAndChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");  // null: no file at all
        QTest::newRow("ends after its tag") << QByteArray("GBLEd\0TKEY", 10);
        QTest::newRow("no text file") << QByteArray("hello, world");
        QTest::newRow("missing") << QByteArray();
    }
    void refusedFilesAreToldAndChangeNothing()
    {
        QFETCH(QByteArray, bytes);
        Editor e;
        e.Open(e.twelve);
        ClickItem(e.list->topLevelItem(3));
        const std::string file = bytes.isNull() ? e.dir.File("x.gxt") : e.Write("x.gxt", bytes.toStdString());
        e.Open(file);
        QCOMPARE(e.Told(), 1);
        const auto& told = e.platform.messages[0];
        QCOMPARE(told.text, bytes.isNull() ? told.text : QString::fromLatin1(kInvalidGXTMessage));
        QVERIFY(!bytes.isNull() || told.text.startsWith(FromUtf8(file) + ": "));
        QVERIFY(told.title == "GXT Editor" && told.icon == MessageIcon::Warning && told.parent == &e.w);
        QVERIFY(e.list->topLevelItemCount() == 12 && e.Selected() == 4 && e.value->text() == "plain text 4");
    }

    void enterChangesTheSelectedEntryAndSaveWritesIt()
    {
        Editor e;
        e.Open(e.twelve);
        ClickItem(e.list->topLevelItem(5));
        e.value->setText(QStringLiteral("typed, never committed"));
        ClickItem(e.list->topLevelItem(4));
        e.Enter(QStringLiteral("Changed \u00FC"));
        e.Enter(QStringLiteral("costs 5 \u20AC"));  // no single-byte code: refused by name
        QVERIFY(e.Said().contains(QStringLiteral("\"\u20AC\"")) && e.Cell(5) == QStringLiteral("Changed \u00FC"));
        QTest::keyClick(e.list, Qt::Key_Down);  // the keyboard shows the new row's value first
        e.Enter(e.value->text() + "!");
        e.list->clearSelection();
        e.Enter(QStringLiteral("nowhere"));
        QVERIFY(e.Cell(6) == "plain text 6!" && e.Cell(7) == "ANOTHER NEEDLE");
        e.Save("cmdSave", e.twelve);
        std::vector<Entry> expected = TwelveEntries();
        expected[4].text = Cells("Changed \xFC");
        expected[5].text = Cells("plain text 6!");
        QVERIFY(TempDir::Read(e.twelve) == FileOf(expected) && TempDir::Read(e.twelve + ".bak") != FileOf(expected));
        e.Save("cmdSave", e.dir.File("no/folder/c.gxt"));
        QVERIFY(e.Said().startsWith("The file was not saved.\n") && e.Said().contains("no/folder/c.gxt"));

        // A text longer than an edit box holds by default: Enter without a change stores it whole.
        const std::string longer = e.Write("b.gxt", FileOf({{"ONLY", Cells(std::string(40000, 'x'))}}));
        e.Open(longer);
        QTest::keyClick(e.value, Qt::Key_Return);
        e.Save("cmdSave", longer);
        QVERIFY(TempDir::Read(longer) == TempDir::Read(longer + ".bak"));
    }

    void findAndFindAgainSearchTheValues()
    {
        Editor e;
        e.Open(e.twelve);
        e.Find(std::nullopt);
        e.Find(QString());
        QVERIFY(e.Told() == 0 && !e.Get("cmdFinda")->isEnabled());
        e.Find(QStringLiteral("NeEdLe"));
        e.Click("cmdFinda");
        QVERIFY(e.Selected() == 7 && e.value->text() == "ANOTHER NEEDLE");
        e.Click("cmdFinda");  // row 11's key holds the text, its value does not
        QVERIFY(e.Said() == "Not Found!" && e.Selected() == 7);
        ClickItem(e.list->topLevelItem(1));
        e.Click("cmdFinda");  // starts after the clicked row
        QCOMPARE(e.Selected(), 3);
    }

    void commandsAndClosingAreRefusedWhileBusy()
    {
        Editor e;
        e.commands = {e.Get("cmdOpen"), e.Get("cmdSave"), e.Get("cmdFind"), e.Get("cmdFinda")};
        e.meddle = [&] {
            e.w.cmdOpen_Click();
            e.w.cmdSave_Click();
            e.w.close();
        };
        e.Open(e.twelve);
        e.Save("cmdSave", e.dir.File("out.gxt"));
        QVERIFY(e.updates > 24 && e.enabled == 0);  // loading, filling the list and saving
        QVERIFY(e.platform.openRequests.size() == 1 && e.platform.saveRequests.size() == 1);
        QVERIFY(e.w.isVisible() && e.list->topLevelItemCount() == 12 && e.Get("cmdSave")->isEnabled());
    }
};

QTEST_MAIN(TestFrmGXT)
#include "test_frmGXT.moc"
