// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QLocale>
#include <QMenu>
#include <QtTest>
#include <filesystem>

#include "tests/support/GCISampleFile.h"
#include "tests/support/GCISetValAnswer.h"
#include "tests/support/Thrown.h"
#include "tests/support/UiTestSupport.h"
#include "ui/windows/frmGCI.h"

using Answer = GCISetValAnswer;

namespace {

struct Editor : UiFixture<frmGCI> {
    QComboBox* cars = Get<QComboBox>("cmbCars");
    QTreeWidget* list = Get<QTreeWidget>("lstVals");

    QString Value(int row) const { return list->topLevelItem(row)->text(1); }
    // Save, Save As and the rows, which a file with cars enables together.
    bool Editable() { return Get("cmdSavefile")->isEnabled() && Get("cmdSaveAs")->isEnabled() && list->isEnabled(); }
    // Double-clicks the row, or presses `key` on it, with `answer` ready for the value dialog.
    Answer::Seen Edit(int row, Answer::Action answer, int key = 0)
    {
        Answer dialog(std::move(answer));
        if (key) {
            list->setCurrentItem(list->topLevelItem(row));
            QTest::keyClick(list, Qt::Key(key));
        } else {
            ClickItem(list->topLevelItem(row), true);
        }
        return dialog.seen;
    }
    QStringList Recent()
    {
        QMenu* menu = Get<QPushButton>("cmdRecent")->menu();
        emit menu->aboutToShow();
        QStringList paths;
        for (QAction* entry : menu->actions())
            paths << entry->data().toString();
        return paths;
    }
};

}  // namespace

class TestFrmGCI : public QObject {
    Q_OBJECT
private slots:
    void opensEditsThroughTheDialogSavesWithBackupReloadsUndoesAndRedoes()
    {
        Editor e;
        const std::string file = e.Write("cars.gci", gci_sample::File(85));
        e.Open("");  // cancelled
        QVERIFY(e.cars->count() == 0 && !e.Get("cmdReload")->isEnabled() && !e.Editable());
        e.Open(file);
        QVERIFY(e.cars->itemText(84) == FromUtf8(gci_sample::CarName(84)) && e.Editable());
        QCOMPARE(e.Status(), QStringLiteral("Opened cars.gci."));
        e.cars->setCurrentIndex(3);
        for (int i = 0; i < 22; ++i)
            QCOMPARE(e.Value(i), FromUtf8(i ? gci_sample::Value(3, i) : gci_sample::CarName(3)));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));  // the slider still writes a point
        const Answer::Seen mass = e.Edit(5, Answer::Slide(2250));
        QLocale::setDefault(QLocale::c());
        QCOMPARE(e.Status(), QStringLiteral("Mass of TAXI3 set to 2.250."));
        QVERIFY(mass.text == FromUtf8(gci_sample::Value(3, 5)) &&
                mass.slider == QString(mass.text).remove('.').toInt());
        e.Edit(21, Answer::Type(" 0.55 "));     // blanks around it are dropped
        QVERIFY(!e.Edit(0, Answer::Ok).shown);  // the name row is not edited
        // Enter, F2 and keypad Enter open the dialog on the value, and typing replaces it; whole values have no slider.
        for (auto [key, row, typed, info, range] :
             {std::tuple{Qt::Key_Return, 6, "0.75", "Front Drive Bias", "0.000 to 1.000"},
              {Qt::Key_F2, 3, "200", "Value", "0 to 255"},
              {Qt::Key_Enter, 2, "0", "Turbo", "0 to 1"}}) {
            const Answer::Seen seen = e.Edit(row, Answer::Type(typed), key);
            QVERIFY(seen.info == QStringLiteral("%1 of TAXI3").arg(info) &&
                    seen.range == "Allowed: " + QString(range) && (seen.slider < 0) == (row < 5));
        }
        const auto edited = [&] { return QStringList{e.Value(5), e.Value(6), e.Value(3), e.Value(2), e.Value(21)}; };
        QCOMPARE(edited().join(' '), QStringLiteral("2.250 0.750 200 0 0.550"));
        e.Click("cmdSavefile");
        QVERIFY(e.Told() == 0 && TempDir::Read(file + ".bak") == gci_sample::File(85) &&
                e.Status() == "Saved cars.gci.");
        e.cars->setCurrentIndex(7);
        e.Click("cmdReload");
        QCOMPARE(e.Status(), QStringLiteral("Reloaded cars.gci."));
        e.cars->setCurrentIndex(3);
        QCOMPARE(edited().join(' '), QStringLiteral("2.250 0.750 200 0 0.550"));

        // Undo and redo step through the edits, and keys run the commands.
        // A line not in the form an edit writes: undone, it comes back as it was.
        std::string original = gci_sample::File(3);
        const std::string turnIn = gci_sample::CarLines(2)[9];
        original.replace(original.find(turnIn), turnIn.size(), "f.5   {turn in} tuned");
        const std::string tuned = e.Write("tuned.gci", original);
        e.Open(tuned);  // no edits to undo
        const auto values = [&] {
            QString seen;
            for (int car : {0, 2}) {
                e.cars->setCurrentIndex(car);
                seen += e.Value(5) + " " + e.Value(9) + " ";
            }
            return seen;
        };
        const QString before = values();
        e.cars->setCurrentIndex(0);
        e.Edit(5, Answer::Type("2.5"));
        e.cars->setCurrentIndex(2);
        e.Edit(5, Answer::Type("3.5"));
        e.Edit(9, Answer::Type("0.5"));
        const QString changed = values();
        QCOMPARE(changed, QStringLiteral("2.500 %1 3.500 0.500 ").arg(FromUtf8(gci_sample::Value(0, 9))));
        e.cars->setCurrentIndex(1);
        e.Keys(Qt::CTRL | Qt::Key_Z);  // shows the car it changes back
        QVERIFY(e.cars->currentIndex() == 2 && e.Value(9) == ".5" && e.Value(5) == "3.500");
        QCOMPARE(e.Status(), QStringLiteral("Undone: Turn In of COPCAR2 set to 0.500."));
        e.Keys(QKeySequence("Ctrl+Z, Ctrl+Z, Ctrl+Z"));  // the last has nothing left to undo
        QVERIFY(values() == before && !e.w.isWindowModified());
        e.Keys(QKeySequence("Ctrl+Shift+Z, Ctrl+Y, Ctrl+Y"));
        QVERIFY(values() == changed && e.w.isWindowModified() &&
                e.Status() == "Redone: Turn In of COPCAR2 set to 0.500.");
        e.Keys(Qt::CTRL | Qt::Key_S);
        QVERIFY(Holds(TempDir::Read(tuned), "\r\nf0.500 {turn in}\r\n") && !e.w.isWindowModified());
        e.Keys(QKeySequence("Ctrl+Z, Ctrl+Z, Ctrl+Z"));  // back past the save: unsaved again
        QVERIFY(e.w.isWindowModified() && values() == before);
        e.Keys(Qt::CTRL | Qt::Key_S);  // every edit undone: the file as it was, but for the banner
        const std::string saved = TempDir::Read(tuned);
        QCOMPARE(saved.substr(saved.find("\r\n\r\n") + 4), original.substr(gci_sample::kHeader.size()));
        e.platform.openAnswers = {QString()};
        e.platform.saveAnswers = {QString()};
        e.Keys(QKeySequence("Ctrl+O, Ctrl+Shift+S"));
        QVERIFY(e.platform.openRequests.size() == 4 && e.platform.saveRequests.size() == 1 && e.Told() == 0);
    }

    void answersThatChangeNothingLeaveTheLineAsItWas()
    {
        const QString refused("Mass takes a number with at most three decimals from 1.000 to 30.000, not \"%1\".");
        const std::pair<Answer::Action, QString> answers[] = {
            {Answer::Slide(2000, Answer::Cancel), ""},
            {Answer::Slide(2000, [](frmSetVal& d) { QTest::keyClick(d.focusWidget(), Qt::Key_Escape); }), ""},
            {Answer::Type("0.250"), ""},                // what it showed: taken though out of range
            {Answer::Type("0.5"), refused.arg("0.5")},  // refused, and the dialog says why
            {Answer::Type("30.0005"), refused.arg("30.0005")},
            {Answer::Type("1,5"), refused.arg("1,5")}};
        // Another tool's spelling, and a value below the lower limit: the slider stands at the limit.
        const std::string line = "f0.250   {MASS} tuned", usual = gci_sample::CarLines(0)[5];
        std::string text = gci_sample::File(1);
        text.replace(text.find(usual), usual.size(), line);
        for (const auto& [answer, said] : answers) {
            Editor e;
            e.Open(e.Write("cars.gci", text));
            const Answer::Seen seen = e.Edit(5, answer);
            QVERIFY2(seen.text == "0.250" && seen.slider == 1000 && e.Value(5) == "0.250", qPrintable(said));
            // Refused: said over the dialog, which stays open.
            QVERIFY2(e.Said() == said && (said.isEmpty() || e.platform.messages.back().parent != &e.w) &&
                         !e.w.isWindowModified(),
                     qPrintable(said));
            e.Click("cmdSavefile");
            QVERIFY(Holds(TempDir::Read(e.dir.File("cars.gci")), "\r\n" + line + "\r\n"));
        }
    }

    void recentFilesAreKeptNewestFirstShortCarsEmptyFilesAndFailuresAreTold()
    {
        Editor e;
        QCOMPARE(e.Recent(), QStringList{QString()});  // only the disabled "(none)"
        QStringList files;
        for (int i = 0; i < 10; ++i) {
            files << FromUtf8(e.Write("c" + std::to_string(i) + ".gci", gci_sample::File(i + 1)));
            e.Open(ToUtf8(files.last()));
        }
        e.Open(ToUtf8(files[5]));           // again: first, once
        e.Open(e.dir.File("missing.gci"));  // refused: not kept
        const QStringList kept{files[5], files[9], files[8], files[7], files[6], files[4], files[3], files[2]};
        QCOMPARE(e.Recent(), kept);
        QCOMPARE(e.platform.settings.value("Kestrova/Recent/GCI").split('\n'), kept);
        std::filesystem::remove(ToUtf8(files[9]));
        e.Get<QPushButton>("cmdRecent")->menu()->actions()[1]->trigger();
        QCOMPARE(e.Said(), files[9] + " no longer exists; it was taken off the recent files.");
        QVERIFY(e.cars->count() == 6 && e.Recent() == QStringList(kept).mid(0, 1) + kept.mid(2));
        e.Get<QPushButton>("cmdRecent")->menu()->actions()[2]->trigger();
        e.Idle();
        QVERIFY(e.cars->count() == 8 && e.Recent().first() == files[7]);

        // Short cars, missing files and failures are told.
        e.Open(e.Write("short.gci", "{Stub}\r\n4 {Model}\r\n1 {Turbo}\r\n\r\n"));  // no comment: a car first
        QVERIFY(!e.Edit(9, Answer::Type("5")).shown && e.Value(2) == "1" && e.Value(3).isEmpty());
        QCOMPARE(e.Said(), QStringLiteral("The car Stub has no Turn In line, so there is nothing to change."));
        const std::string file = e.Write("cars.gci", gci_sample::File(3)), gone = e.dir.File("gone.gci");
        e.Open(file);
        e.Open(gone);
        QVERIFY(e.Said().contains(FromUtf8(gone)) && e.platform.messages.back().parent == &e.w && e.cars->count() == 3);
        // Files that are not car files are refused: the open file stays, and nothing is added to the recent files.
        for (const auto& [name, bytes] :
             {std::pair<std::string, std::string>{"readme.gci", "# Kestrova\n\nA tool.\n"},
              {"empty.gci", ""}}) {  // the reasons a file is refused: the car file's own tests
            e.Open(e.Write(name, bytes));
            QVERIFY2(e.Said().contains(FromUtf8(name + ": is not a car file: ")) && e.cars->count() == 3 &&
                         e.Value(0) == "ALFA0" && e.w.Caption() == "GCI Car Editor - cars.gci" &&
                         e.Recent().first() == FromUtf8(file),
                     name.c_str());
        }
        QTreeWidgetItem* model = e.list->topLevelItem(1);  // shown greyed, and not edited
        QVERIFY(model->foreground(1) != e.list->topLevelItem(2)->foreground(1));
        QVERIFY(!e.Edit(1, Answer::Ok).shown && e.Said() == model->toolTip(1) && !e.Said().isEmpty());
        TempDir::Write(file, gci_sample::File(2));
        e.Click("cmdReload");  // reads the file that was opened, not the refused one
        QCOMPARE(e.cars->count(), 2);
        const std::string other = e.dir.File("other.gci");
        e.platform.saveAnswers = {QString(), FromUtf8(other)};
        e.Click("cmdSaveAs");  // cancelled
        e.Click("cmdSaveAs");  // writes the other file only, without a backup, and opens it
        QVERIFY(Holds(TempDir::Read(other), gci_sample::CarBlock(1)));
        QVERIFY(e.w.Caption() == "GCI Car Editor - other.gci" && !std::filesystem::exists(other + ".bak"));
        e.Edit(5, Answer::Type("2.5"));
        e.Click("cmdSavefile");  // into the copy; the file first opened stays as it was
        QVERIFY(Holds(TempDir::Read(other), "\r\nf2.500 {Mass}\r\n") && TempDir::Read(file) == gci_sample::File(2));
        std::filesystem::remove(other + ".bak");
        std::filesystem::create_directory(other + ".bak");  // a backup that cannot be made stops the save
        e.Edit(5, Answer::Type("3.5"));
        e.platform.saveChoices = {SaveChoice::Save};  // and so the window stays open with its edits
        QVERIFY(!e.w.close());
        e.Idle();
        QVERIFY(e.w.isVisible() && e.w.isWindowModified());
        QVERIFY(e.platform.saveQuestions.back().text.startsWith("other.gci has unsaved changes."));
        QVERIFY(e.Said().startsWith("The cars were not saved; the file on disk is as it was.\n\n"));
    }

    void unsavedEditsAreAskedAboutBeforeTheyWouldBeLostAndNothingStartsWhileASaveRuns()
    {
        for (const QString leave : {"close", "open", "reload", "drop"})
            for (SaveChoice choice : {SaveChoice::Save, SaveChoice::Discard, SaveChoice::Cancel}) {
                const QByteArray row = leave.toLatin1() + ", choice " + QByteArray::number(int(choice));
                Editor e;
                const std::string file = e.Write("cars.gci", gci_sample::File(3)),
                                  other = e.Write("two.gci", gci_sample::File(2));
                e.Open(other);
                e.Open(file);  // nothing was edited: nothing asked
                e.Edit(5, Answer::Type("2.5"));
                e.platform.saveChoices = {choice};
                const std::map<QString, std::function<void()>> leaves = {
                    {"close", [&] { e.w.close(); }},
                    {"open", [&] { e.Open(other); }},
                    {"reload", [&] { e.Click("cmdReload"); }},
                    {"drop", [&] { DropFile(&e.w, FromUtf8(other)); }}};
                leaves.at(leave)();
                e.Idle();
                const bool went = choice != SaveChoice::Cancel;
                const auto& asked = e.platform.saveQuestions.at(0);
                QVERIFY2(e.platform.saveQuestions.size() == 1 && asked.title == "GCI Car Editor - cars.gci" &&
                             asked.parent == &e.w && asked.text == "cars.gci has unsaved changes.\n\nSave them first?",
                         row);
                QVERIFY2((Holds(TempDir::Read(file), "f2.500 {Mass}")) == (choice == SaveChoice::Save), row);
                QVERIFY2(e.w.isVisible() == (leave != "close" || !went), row);
                // Edits discarded by closing stay in the hidden window's stack.
                QVERIFY2(e.w.isWindowModified() == (!went || (leave == "close" && choice == SaveChoice::Discard)), row);
                QVERIFY2(e.cars->count() == (went && (leave == "open" || leave == "drop") ? 2 : 3), row);
                if (leave == "reload")
                    QVERIFY2(
                        e.Value(5) == (choice == SaveChoice::Discard ? FromUtf8(gci_sample::Value(0, 5)) : "2.500"),
                        row);
                if (went && leave != "close") {  // the file loaded has no edits to undo
                    e.Keys(Qt::CTRL | Qt::Key_Z);
                    QVERIFY2(!e.w.isWindowModified(), row);
                }
                if (went || leave != "reload")
                    continue;
                // Kept: while it is saved, nothing else starts.
                QMenu* recent = e.Get<QPushButton>("cmdRecent")->menu();
                emit recent->aboutToShow();
                QVERIFY(e.WhileBusy([&] { e.Press("cmdSavefile"); },
                                    [&] {
                                        QCOMPARE(e.Usable(), QStringList());
                                        e.Press(Qt::CTRL | Qt::Key_Z);
                                        e.Press(Qt::CTRL | Qt::Key_O);
                                        DropFile(&e.w, FromUtf8(other));
                                        recent->actions().value(1)->trigger();  // the other file
                                        QVERIFY(!e.w.close());
                                    }));
                QCoreApplication::sendPostedEvents();
                QVERIFY(e.w.isVisible() && e.cars->count() == 3 && e.Value(5) == "2.500" && !e.w.isWindowModified());
                QVERIFY(e.platform.openRequests.size() == 2 && e.Told() == 0 && e.Editable());
                QVERIFY(Holds(TempDir::Read(file), "f2.500 {Mass}"));
            }
    }
};

QTEST_MAIN(TestFrmGCI)
#include "test_frmGCI.moc"
