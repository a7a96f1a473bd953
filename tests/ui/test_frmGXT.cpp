// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>

#include "core/common/PathRules.h"
#include "tests/core/gxt/GxtLanguageFiles.h"
#include "tests/support/GxtTestFile.h"
#include "tests/support/StyBuilder.h"
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
    QTreeView* list = Get<QTreeView>("lvwItems");
    QLineEdit* value = Get<QLineEdit>("txtValue");
    const std::string twelve = Write("a.gxt", FileOf(TwelveEntries()));

    QString Cell(int row, int column = 1) { return list->model()->index(row - 1, column).data().toString(); }
    int Rows() { return list->model()->rowCount(); }
    void ClickRow(int row) { ClickIndex(list, list->model()->index(row - 1, 0)); }
    int Selected()
    {
        const int current = list->currentIndex().row();
        return list->selectionModel()->isRowSelected(current, {}) ? current + 1 : 0;
    }
    void Enter(const QString& text)
    {
        value->setText(text);
        QTest::keyClick(value, Qt::Key_Return);
    }
    QString StatusText() { return Get<QLabel>("lblStatus")->text(); }
    void Find(const std::optional<QString>& answer, const char* button = "cmdFind")
    {
        platform.inputAnswers.push_back(answer);
        Click(button);
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
        QVERIFY(e.Rows() == 0 && e.Told() == 0);
        DropFile(&e.w, FromUtf8(e.twelve));  // a dropped file opens, and goes first in the recent files
        e.Idle();
        QVERIFY(e.Rows() == 12 && e.Told() == 0);
        QCOMPARE(e.platform.settings.value("Kestrova/Recent/GXT"), FromUtf8(e.twelve + "\n" + e.dir.File("empty.gxt")));
        e.ClickRow(4);  // refused files are told, and change nothing
        e.Open(e.Write("x.gxt", "hello, world"));
        e.Open(e.dir.File("gone.gxt"));
        QVERIFY(e.Told() == 2 && e.Said().contains("gone.gxt: cannot be opened"));
        QCOMPARE(e.platform.messages[0].text, QStringLiteral("Error - No a valid GXT file!\nThe file has 12 bytes, "
                                                             "fewer than the 14 of a text file's header."));
        const auto& [text, title, icon, parent] = e.platform.messages[1];
        QVERIFY(title == "GXT Editor - a.gxt (English)" && icon == MessageIcon::Warning && parent == &e.w);
        QVERIFY(e.Rows() == 12 && e.Selected() == 4 && e.value->text() == "plain text 4");
    }

    void enterChangesTheSelectedEntrySaveWritesItAndUnsavedEditsAreAskedAbout()
    {
        Editor e;
        e.Open(e.twelve);
        e.ClickRow(6);
        e.value->setText(QStringLiteral("typed, then another row"));  // taken in by the click
        e.ClickRow(5);
        e.Enter(QStringLiteral("Changed \u00FC"));
        e.Enter(QStringLiteral("a \u2603 here"));  // no byte in the charset: refused by name
        QVERIFY(e.Said() == "The character \"\u2603\" cannot be stored in a GXT file. The text of K5 was not changed.");
        QVERIFY(e.Cell(5) == QStringLiteral("Changed \u00FC") && e.Cell(6) == "typed, then another row");
        e.value->setText(e.Cell(5));
        QTest::keyClick(e.list, Qt::Key_Down);  // the keyboard shows the new row's value first
        e.Enter(e.value->text() + "!");
        e.value->setText(QStringLiteral("undone"));
        e.Keys(QKeySequence::Undo);  // typed text is taken in, then undone
        QVERIFY(e.value->text() == "typed, then another row!" && e.Cell(6) == e.value->text());
        e.Keys(QKeySequence::Redo);
        QCOMPARE(e.Cell(6), QStringLiteral("undone"));
        e.Keys(QKeySequence::Undo);
        QVERIFY(e.Cell(6) == "typed, then another row!" && e.Cell(7) == "ANOTHER NEEDLE" && e.Modified());
        e.Click("cmdSave");  // the opened file, without asking
        QVERIFY(!e.Modified() && e.platform.saveRequests.empty());
        const clsGXT saved = Parsed(TempDir::Read(e.twelve));
        QVERIFY(saved.GetValueFromKey("K5") == "Changed \xFC" &&
                saved.GetValueFromKey("K6") == "typed, then another row!");
        QVERIFY(TempDir::Read(e.twelve + ".bak") == FileOf(TwelveEntries()));
        e.Save("cmdSaveAs", e.dir.File("no/folder/c.gxt"));
        QVERIFY(e.Said().startsWith("The file was not saved.\n") && e.Said().contains("no/folder/c.gxt"));

        // A text longer than an edit box holds by default: Enter without a change stores it whole.
        const std::string longer = e.Write("b.gxt", FileOf({{"ONLY", Cells(std::string(40000, 'x'))}}));
        e.Open(longer);
        QTest::keyClick(e.value, Qt::Key_Return);
        QVERIFY(!e.Modified());
        e.Click("cmdSave");
        QVERIFY(TempDir::Read(longer) == TempDir::Read(longer + ".bak"));

        e.Open(e.twelve);  // unsaved edits are asked about before they are lost
        e.Enter(QStringLiteral("edited"));
        e.platform.saveChoices = {SaveChoice::Cancel, SaveChoice::Discard};
        e.Click("cmdOpen");  // cancelled: no file dialog, the edit stays
        QVERIFY(e.platform.openRequests.size() == 3 && e.Cell(1) == "edited" && e.Modified());
        QVERIFY(e.platform.saveQuestions[0].text.startsWith("a.gxt has unsaved changes."));
        e.Open(e.twelve);  // discarded; saved, its table is sorted
        QVERIFY(e.Cell(1) == QStringLiteral("caf\u00E9 cr\u00E8me") && !e.Modified());
        e.Enter(QStringLiteral("kept"));
        e.platform.saveChoices = {SaveChoice::Cancel, SaveChoice::Save};
        QVERIFY(!e.w.close() && e.w.isVisible());
        e.w.close();  // saved first, then closed
        e.Idle();
        QVERIFY(!e.w.isVisible() && Parsed(TempDir::Read(e.twelve)).GetText(1) == "kept");
    }

    void typedTextIsTakenInByEveryCommandAndOneTheCharsetCannotStoreStopsIt()
    {
        using Step = std::function<void(Editor&)>;
        const auto click = [](const char* button) { return [button](Editor& e) { e.Click(button); }; };
        const auto cancel = [](Editor& e) { e.platform.saveChoices = {SaveChoice::Cancel}; };
        const auto none = [](Editor&) {};
        // Each command, with the answers it would use.
        const std::tuple<const char*, Step, Step> commands[] = {
            {"save", none, click("cmdSave")},
            {"save as", [](Editor& e) { e.platform.saveAnswers = {FromUtf8(e.dir.File("as.gxt"))}; },
             click("cmdSaveAs")},
            {"row", none, [](Editor& e) { e.ClickRow(1); }},
            {"keys", none, [](Editor& e) { QTest::keyClick(e.list, Qt::Key_Down); }},
            {"find", [](Editor& e) { e.platform.inputAnswers = {QStringLiteral("text 1")}; }, click("cmdFind")},
            {"find again", none, click("cmdFinda")},
            {"find key", [](Editor& e) { e.platform.inputAnswers = {QStringLiteral("K1")}; }, click("cmdFindKey")},
            {"add", [](Editor& e) { e.platform.inputAnswers = {std::nullopt}; }, click("cmdAdd")},
            {"rename", [](Editor& e) { e.platform.inputAnswers = {std::nullopt}; }, click("cmdRename")},
            {"delete", [](Editor& e) { e.platform.confirmAnswers = {false}; }, click("cmdDelete")},
#ifdef KESTROVA_HAVE_PO
            {"export", [](Editor& e) { e.platform.confirmAnswers = {false}, e.platform.saveAnswers = {""}; },
             click("cmdExportPo")},
            {"import", [](Editor& e) { e.platform.openAnswers = {""}; }, click("cmdImportPo")},
#endif
            {"open", cancel, click("cmdOpen")},
            {"drop", cancel, [](Editor& e) { DropFile(&e.w, FromUtf8(e.twelve)); }},
            {"close", cancel, [](Editor& e) { e.w.close(); }},
            {"charset", none,
             [](Editor& e) {
                 emit e.Get<QComboBox>("cboCharset")->activated(1);
                 e.Idle();
             }},
        };
        const auto answers = [](const ScriptedPlatform& p) {
            return p.saveAnswers.size() + p.openAnswers.size() + p.inputAnswers.size() + p.confirmAnswers.size() +
                   p.saveChoices.size();
        };
        for (const auto& [name, prepare, command] : commands)
            for (const QString& typed : {QStringLiteral("typed"), QStringLiteral("typed \u2603")}) {
                Editor e;
                e.Open(e.twelve);
                e.Find(QStringLiteral("plain text 4"));
                e.value->setText(typed);
                QVERIFY2(e.Modified(), name);  // marked as soon as typed
                prepare(e);
                const std::size_t prepared = answers(e.platform);
                command(e);
                if (typed == "typed") {  // taken in as one edit, and the command went on
                    QVERIFY2(e.Cell(4) == typed && answers(e.platform) == 0, name);
                    QVERIFY(name != std::string("save") ||
                            Parsed(TempDir::Read(e.twelve)).GetValueFromKey("K4") == "typed");
                    e.Keys(QKeySequence::Undo);
                    QVERIFY2(e.Cell(4) == "plain text 4", name);
                } else {  // refused as Enter would be, and the command did nothing
                    QVERIFY2(e.Said().startsWith("The character \"\u2603\" cannot") && e.Told() == 1, name);
                    QVERIFY2(answers(e.platform) == prepared && e.Selected() == 4 && e.value->text() == typed &&
                                 e.Cell(4) == "plain text 4" && TempDir::Read(e.twelve) == FileOf(TwelveEntries()),
                             name);
                }
            }
    }

    void theWindowGrowsTakesTheCommonKeysAndTellsEachResult()
    {
        Editor e;
        auto* charset = e.Get<QComboBox>("cboCharset");  // its whole name shows, beside the list
        const QRect list = e.list->geometry(), value = e.value->geometry(), box = charset->geometry();
        QVERIFY(box.width() >= charset->sizeHint().width() && box.left() > list.right());
        e.w.resize(e.w.size() + QSize(300, 200));
        QCOMPARE(e.list->geometry(), list.adjusted(0, 0, 300, 200));
        QCOMPARE(e.value->geometry(), value.adjusted(0, 200, 300, 200));
        QCOMPARE(charset->geometry(), box.translated(300, 0));

        e.platform.openAnswers = {FromUtf8(e.twelve)};
        e.Keys(QKeySequence(Qt::CTRL | Qt::Key_O));
        QCOMPARE(e.StatusText(), QStringLiteral("Opened a.gxt: 12 texts."));
        e.Enter(QStringLiteral("edited"));
        e.Enter(QStringLiteral("twice"));
        e.value->setFocus();
        QTest::keyClicks(e.value, "x");  // Ctrl+Z in the box undoes its own typing first, then the document's
        QTest::keySequence(e.value, QKeySequence::Undo);
        QVERIFY(e.value->text() == "twice" && e.Cell(1) == "twice");
        QTest::keySequence(e.value, QKeySequence::Undo);
        QVERIFY(e.value->text() == "edited" && e.Cell(1) == "edited");
        e.Enter(QStringLiteral("saved"));
        e.Keys(QKeySequence(Qt::CTRL | Qt::Key_S));
        QVERIFY(!e.Modified() && Parsed(TempDir::Read(e.twelve)).GetValueFromKey("K1") == "saved");
        QCOMPARE(e.StatusText(), QStringLiteral("Saved a.gxt."));
        e.platform.inputAnswers = {QStringLiteral("text 8")};
        e.Keys(QKeySequence(Qt::CTRL | Qt::Key_F));
        e.Keys(QKeySequence(Qt::Key_F3));
        QVERIFY(e.Selected() == 8 && e.StatusText() == "\"text 8\" was not found.");
    }

    void nothingStartsWhileASaveRuns()
    {
        Editor e;
        e.Open(e.twelve);
        e.Enter(QStringLiteral("edited"));  // an edit to save, and to undo
        e.platform.saveAnswers = {FromUtf8(e.dir.File("out.gxt"))};
        QVERIFY(e.WhileBusy([&] { e.Press("cmdSaveAs"); },
                            [&] {
                                QCOMPARE(e.Usable(), QStringList());
                                e.Press(QKeySequence::Undo);
                                DropFile(&e.w, FromUtf8(e.twelve));
                                QVERIFY(!e.w.close());
                            }));
        QCoreApplication::sendPostedEvents();
        QVERIFY(e.w.isVisible() && e.w.Caption() == "GXT Editor - out.gxt (English)" && !e.Modified());
        QVERIFY(e.Cell(1) == "edited" &&
                Parsed(TempDir::Read(e.dir.File("out.gxt"))).GetValueFromKey("K1") == "edited");
    }

    void languagesAndCharsetsShowInTheCaptionAndTheTexts()
    {
        Editor e;
        auto* charset = e.Get<QComboBox>("cboCharset");  // each file picks its own
        e.Open(e.Write("bob_g.gxt", Windows1252MenuFile()));
        QVERIFY(e.w.Caption() == "GXT Editor - bob_g.gxt (German)" && charset->currentIndex() == 1);
        QCOMPARE(e.Cell(1) + e.Cell(2), QStringLiteral("GrößeÜber"));
        e.Open(e.Write("fr.gxt", GameFontFrenchFile()));
        QVERIFY(e.w.Caption() == "GXT Editor - fr.gxt (French)" && charset->currentIndex() == 0);
        QCOMPARE(e.Cell(1) + e.Cell(2), QStringLiteral("Café à Noël¿Ñandú?"));
        charset->setCurrentIndex(1);
        emit charset->activated(1);  // shown otherwise; no edit
        e.Idle();
        QVERIFY(e.Cell(1) == QStringLiteral("Cafž — No\u00A0l") && e.value->text() == e.Cell(1) && !e.Modified());
        e.Enter(QStringLiteral("Größe"));
        QCOMPARE(e.Cell(1), QStringLiteral("Größe"));
        e.Click("cmdSave");
        QVERIFY(TempDir::Read(e.dir.File("fr.gxt")).find(std::string("G\0r\0\xF6\0\xDF\0", 8)) != std::string::npos);
    }

    void textsAreFoundAndEntriesAddedRenamedDeletedFoundByKeyAndUndone()
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
        e.ClickRow(2);
        e.Click("cmdFinda");  // starts after the clicked row
        QCOMPARE(e.Selected(), 3);
        // A refused key is asked for again with what was typed.
        e.platform.inputAnswers = {std::nullopt, QStringLiteral("a b"), QStringLiteral("K1"), QStringLiteral("new")};
        e.Click("cmdAdd");
        e.Click("cmdAdd");
        QCOMPARE(e.platform.messages.size(), 3u);
        QVERIFY(e.platform.messages[1].text.startsWith("A key holds printable") &&
                e.Said() == "The key \"K1\" is already used");
        QVERIFY(e.Selected() == 13 && e.Cell(13, 0) == "new" && e.Cell(13).isEmpty() && e.Modified());
        QCOMPARE(e.StatusText(), QStringLiteral("Added new."));
        e.Enter(QStringLiteral("fresh"));
        e.platform.inputAnswers = {QStringLiteral("K3"), QStringLiteral("nu")};
        e.Click("cmdRename");
        QVERIFY(e.Said().contains("\"K3\" is already used") && e.Cell(13, 0) == "nu" && e.Cell(13) == "fresh");
        QCOMPARE(e.platform.inputInitials.mid(3), QStringList({"", "", "a b", "K1", "new", "K3"}));  // after 3 finds
        e.ClickRow(1);
        e.platform.confirmAnswers = {false, true};
        e.Click("cmdDelete");
        QCOMPARE(e.Rows(), 13);
        e.Click("cmdDelete");
        QVERIFY(e.platform.confirmQuestions[1] == "Delete the text of key \"K1\"?" && e.Cell(1, 0) == "EIGHTCHR");
        e.Find(QStringLiteral("needlek"), "cmdFindKey");  // by key, ignoring case
        QVERIFY(e.Selected() == 10 && e.value->text() == "plain text 11");
        e.Click("cmdFinda");
        QVERIFY(e.Said() == "Not Found!" && e.StatusText() == "\"needlek\" was not found.");
        e.Keys(QKeySequence::Undo);  // the deleted entry comes back selected
        QVERIFY(e.Selected() == 1 && e.value->text() == "plain text 1");
        for (int step = 0; step < 3; ++step)  // the rename, the text, the new entry
            e.Keys(QKeySequence::Undo);
        QStringList keys;
        for (int i = 1; i <= e.Rows(); ++i)
            keys << e.Cell(i, 0);
        QVERIFY(keys.join(' ') == "K1 EIGHTCHR K3 K4 K5 K6 K7 K8 K9 K10 NEEDLEK K12" && !e.Modified());
    }

    void aReferenceAddsItsTextsAFilterWithCountsAndItsMissingKeys()
    {
        Editor e;
        e.Open(e.Write("s.gxt", FileOf({{"K1", Cells("same")}, {"K2", Cells("otro")}, {"X9", Cells("extra")}})));
        const std::string reference =
            FileOf({{"K1", Cells("same")}, {"K2", Cells("other")}, {"M1", Cells("gone")}, {"M2", Cells("lost")}});
        e.Open(e.Write("e.gxt", reference), "cmdReference");
        QVERIFY(e.list->model()->columnCount() == 3 && e.Cell(2, 2) == "other" && e.Cell(3, 2).isEmpty());
        QCOMPARE(e.StatusText(), QStringLiteral("Untranslated 1, missing 2, extra 1 against e.gxt."));
        auto* filter = e.Get<QComboBox>("cboFilter");
        const auto keys = [&](int index) {
            filter->setCurrentIndex(index);
            emit filter->activated(index);
            QStringList shown;
            for (int i = 1; i <= e.Rows(); ++i)
                shown << e.Cell(i, 0) + "=" + e.Cell(i, 2);
            return shown.join(' ');
        };
        QCOMPARE(keys(3), QStringLiteral("X9="));
        QCOMPARE(keys(0), QStringLiteral("K1=same K2=other X9="));
        QVERIFY(e.Selected() == 3);  // the filter keeps the selected row when it shows it
        e.ClickRow(1);
        e.Enter(QStringLiteral("mismo"));  // translated: no longer counted
        QCOMPARE(keys(1), QString());
        QCOMPARE(e.StatusText(), QStringLiteral("Untranslated 0, missing 2, extra 1 against e.gxt."));
        QCOMPARE(keys(2), QStringLiteral("M1=gone M2=lost"));
        e.ClickRow(2);  // a missing row: nothing to type into; Add copies it as one edit
        QVERIFY(e.value->isReadOnly() && e.value->text().isEmpty() && e.StatusText().startsWith("M2 is only in"));
        e.Click("cmdAdd");
        QVERIFY(e.Cell(1, 0) == "M2" && e.Selected() == 1 && e.value->text() == "lost" && !e.value->isReadOnly());
        QVERIFY(e.Cell(1, 2) == "lost" && e.Cell(2, 0) == "M1" && e.StatusText() == "Added M2 from the reference.");
        e.Keys(QKeySequence::Undo);
        QVERIFY(e.Cell(2, 0) == "M2" && e.Rows() == 2);
        e.Keys(QKeySequence::Redo);
        e.Click("cmdSave");
        QVERIFY(Parsed(TempDir::Read(e.dir.File("s.gxt"))).GetValueFromKey("M2") == Parsed(reference).GetValue(4));
#ifdef KESTROVA_HAVE_PO
        e.platform.confirmAnswers = {true};  // the PO file's originals come from the open reference
        e.Save("cmdExportPo", e.dir.File("s.po"));
        QVERIFY(TempDir::Read(e.dir.File("s.po")).find("msgctxt \"K2\"\nmsgid \"other\"\nmsgstr \"otro\"") !=
                std::string::npos);
#endif
    }

    void checkLettersListsWhatTheFontCannotDrawAndThePaneDrawsTheChosenText()
    {
        Editor e;
        const std::string style =
            e.Write("fonts.sty", sty_test::FontStyle({{94, 5, false}, {94, 7, true}}, {2, 0, 0, 0, 1}).Build());
        e.Open(e.Write("s.gxt", FileOf({{"fine", Cells("#Bien* hecho")},
                                        {"bad", Cells("Espa\xADol")},
                                        {"blank", Cells("a@b")},
                                        {"both", Cells("@\xE1")}})));
        e.Click("cmdCheck");
        QVERIFY(e.Said().startsWith("Pick a font style with \"Font style...\" first"));
        e.Open(style, "cmdStyle");  // the pane's button; remembered
        QCOMPARE(e.platform.settings.value("Kestrova/Fonts/TextStyle"), FromUtf8(style));
        e.Click("cmdCheck");  // in the pane's font: 1, the first with lower-case letters
        auto* found = e.Get<QTreeWidget>("lvwFindings");
        QStringList rows;
        for (int i = 0; i < found->topLevelItemCount(); ++i)
            rows << found->topLevelItem(i)->text(0) + ":" + found->topLevelItem(i)->text(1) + ":" +
                        found->topLevelItem(i)->text(2);
        QCOMPARE(rows.join(' '), QStringLiteral("bad:Ñ (0xAD): blank::@ (0x40) both:0xE1:@ (0x40)"));
        QCOMPARE(e.StatusText(), QStringLiteral("3 texts with letters font 1 cannot draw."));
        ClickItem(found->topLevelItem(1), true);  // a double click selects the entry
        QVERIFY(e.Selected() == 3 && e.value->text() == "a@b");
        const auto width = [&] { return e.Get<QLabel>("lblWidth")->text(); };
        const int a = sty_test::GlyphWidth(7, 'a'), b = sty_test::GlyphWidth(7, 'b');
        QCOMPARE(width(), QStringLiteral("Width: %1 pixels").arg(a + sty_test::GlyphWidth(7, '@') + b));
        e.value->setText(QStringLiteral("ab"));  // what is typed
        QCOMPARE(width(), QStringLiteral("Width: %1 pixels").arg(a + b));

        Editor next;  // the style picked last is the next window's
        next.platform.settings = e.platform.settings;
        next.Open(e.dir.File("s.gxt"));
        QVERIFY(next.Get<QLabel>("lblStyle")->text() == "fonts.sty" && next.Get<QLabel>("lblWidth")->text() != "");
    }

#ifdef KESTROVA_HAVE_PO
    void poFilesAreExportedAndImported()
    {
        Editor e;
        e.Open(e.Write("fr.gxt", GameFontFrenchFile()));
        e.platform.confirmAnswers = {true};
        e.platform.saveAnswers = {FromUtf8(e.dir.File("fr.po"))};
        e.Open(e.Write("e.gxt", FileOf({{"caf", Cells("Coffee")}})), "cmdExportPo");
        std::string edited = TempDir::Read(e.dir.File("fr.po"));
        QVERIFY(edited.find("msgctxt \"caf\"\nmsgid \"Coffee\"\nmsgstr \"Café à Noël\"") != std::string::npos);
        QVERIFY(e.Told() == 0 && !e.Modified());
        QCOMPARE(e.StatusText(), "Exported 2 texts to " + FromUtf8(e.dir.File("fr.po")) + ".");
        edited.replace(edited.find("Café à Noël"), 14, "Thé");
        edited += "\nmsgctxt \"gone\"\nmsgid \"x\"\nmsgstr \"y\"\n";
        e.Open(e.Write("in.po", edited), "cmdImportPo");
        QCOMPARE(e.Said(), QString("Updated: 1\nUnchanged: 1\nSkipped: 1\n\nkey \"gone\": is not in the GXT file"));
        QVERIFY(e.Cell(1) == QStringLiteral("Thé") && e.Modified() && e.StatusText() == "Imported 1 text from in.po.");
        e.Open(e.Write("bad.po", "msgid \"unended\n"), "cmdImportPo");
        QVERIFY(e.Said().startsWith("The PO file was not imported.\n") && e.Said().contains("bad.po: line "));
        e.Keys(QKeySequence::Undo);
        QCOMPARE(e.Cell(1), QStringLiteral("Café à Noël"));
    }
#endif
};

QTEST_MAIN(TestFrmGXT)
#include "test_frmGXT.moc"
