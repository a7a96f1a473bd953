#include <QComboBox>
#include <QLocale>
#include <QtTest>
#include <filesystem>

#include "tests/support/GCISampleFile.h"
#include "tests/support/GCISetValAnswer.h"
#include "tests/support/UiTestSupport.h"
#include "ui/windows/frmGCI.h"

using Answer = GCISetValAnswer;
Q_DECLARE_METATYPE(Answer::Action)

namespace {

struct Editor : UiFixture<frmGCI> {
    QComboBox* cars = Get<QComboBox>("cmbCars");
    QTreeWidget* list = Get<QTreeWidget>("lstVals");

    QString Value(int row) const { return list->topLevelItem(row)->text(1); }
    // Save, Save As and the rows, which a file with cars enables together.
    bool Editable() { return Get("cmdSavefile")->isEnabled() && Get("cmdSaveAs")->isEnabled() && list->isEnabled(); }
    // Double-clicks a row with `answer` ready for the value dialog; the text the dialog showed, null for none.
    QString Edit(int row, Answer::Action answer)
    {
        Answer dialog(std::move(answer));
        ClickItem(list->topLevelItem(row), true);
        return dialog.shown ? dialog.text : QString();
    }
};

}  // namespace

class TestFrmGCI : public QObject {
    Q_OBJECT
private slots:
    void opensEditsSavesWithBackupAndReloads()
    {
        Editor e;
        const std::string file = e.Write("cars.gci", gci_sample::File(85));
        e.Open("");  // cancelled
        QVERIFY(e.cars->count() == 0 && !e.Get("cmdReload")->isEnabled() && !e.Editable());
        e.Open(file);
        QVERIFY(e.cars->itemText(84) == FromUtf8(gci_sample::CarName(84)) && e.Editable());
        e.cars->setCurrentIndex(3);
        for (int i = 0; i < 22; ++i)
            QCOMPARE(e.Value(i), FromUtf8(i ? gci_sample::Value(3, i) : gci_sample::CarName(3)));
        QCOMPARE(e.Edit(5, Answer::Slide(2250)), FromUtf8(gci_sample::Value(3, 5)));
        e.Edit(21, Answer::Type(" 0.75 "));       // blanks around it are dropped
        e.Edit(1, Answer::Type("77"));            // the model number shows the answer ...
        QVERIFY(e.Edit(0, Answer::Ok).isNull());  // the name row is not edited
        QCOMPARE(e.Value(5) + e.Value(21) + e.Value(1), QStringLiteral("2.2500.7577"));
        e.Click("cmdSavefile");
        QVERIFY(e.Told() == 0 && TempDir::Read(file + ".bak") == gci_sample::File(85));
        e.cars->setCurrentIndex(7);
        e.Click("cmdReload");
        e.cars->setCurrentIndex(3);
        QCOMPARE(e.Value(1) + e.Value(5) + e.Value(21), QStringLiteral("32.2500.75"));  // ... the file keeps its own
    }

    void answersThatChangeNothingLeaveTheLineAsItWas_data()
    {
        QTest::addColumn<Answer::Action>("answer");
        QTest::addColumn<QString>("said");
        QTest::newRow("cancel") << Answer::Slide(900, Answer::Cancel) << "";
        QTest::newRow("escape") << Answer::Slide(900, Answer::Escape) << "";
        QTest::newRow("closed") << Answer::Slide(900, Answer::CloseWindow) << "";
        QTest::newRow("untouched") << Answer::Action(Answer::Ok) << "";
        QTest::newRow("-1 or less") << Answer::Type("-2.5") << "";
        for (const char* typed : {"", "abc", "1.5x", "1,5"})
            QTest::newRow(typed)
                << Answer::Type(typed)
                << QStringLiteral("\"%1\" is not a number; Brake Friction keeps its value.").arg(typed);
    }
    void answersThatChangeNothingLeaveTheLineAsItWas()
    {
        QFETCH(Answer::Action, answer);
        QFETCH(QString, said);
        Editor e;
        std::string text = gci_sample::File(1);
        const std::string line = "f0.250   {brake  FRICTION} tuned";  // another tool's spelling
        const std::string usual = gci_sample::CarLines(0)[8];
        const std::string file = e.Write("cars.gci", text.replace(text.find(usual), usual.size(), line));
        e.Open(file);
        QVERIFY(!e.Edit(8, answer).isNull() && e.Value(8) == "0.250" && e.Said() == said);
        e.Click("cmdSavefile");
        QVERIFY(TempDir::Read(file).find("\r\n" + line + "\r\n") != std::string::npos);
    }

    void theValueDialogShowsWhatTheFileHoldsAndWritesAPoint_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<int>("slider");  // mass: 1.000 to 30.000; others put it at the nearest limit
        for (auto [current, slider] :
             {std::pair{"1.5", 1500}, {"0.0015", 1000}, {"1.0015", 1002}, {"45.5", 30000}, {"fast", 1000}})
            QTest::newRow(current) << QString::fromLatin1(current) << slider;
    }
    void theValueDialogShowsWhatTheFileHoldsAndWritesAPoint()
    {
        QFETCH(QString, current);
        QFETCH(int, slider);
        Answer untouched(Answer::Ok);
        QCOMPARE(AskValue("1000", "30000", "info", current, 5), current);
        QVERIFY(untouched.slider == slider && untouched.text == current && untouched.info == "info");
        Answer typed(Answer::Type(" 12x "));  // typed properties have no slider
        QVERIFY(AskValue("0", "255", QString(), current, 3) == " 12x " && typed.slider == -1);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Answer slid(Answer::Slide(2250));
        const QString answer = AskValue("1000", "30000", QString(), current, 5);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(answer, QStringLiteral("2.250"));
    }

    void shortCarsEmptyFilesAndFailuresAreTold()
    {
        Editor e;
        e.Open(e.Write("short.gci", "h\r\n\r\n{Stub}\r\n4 {Model}\r\n1 {Turbo}\r\n\r\n"));
        QVERIFY(e.Edit(9, Answer::Type("5")).isNull() && e.Value(2) == "1" && e.Value(3).isEmpty());
        QCOMPARE(e.Said(), QStringLiteral("The car Stub has no Turn In line, so there is nothing to change."));
        const std::string empty = e.Write("empty.gci", "a header and nothing else\r\n");
        e.Open(empty);
        QCOMPARE(e.Said(), QStringLiteral("No cars were found in %1.").arg(FromUtf8(empty)));
        QVERIFY(!e.Editable() && e.Get("cmdReload")->isEnabled());
        const std::string file = e.Write("cars.gci", gci_sample::File(3)), gone = e.dir.File("gone.gci");
        e.Open(file);
        e.Open(gone);
        QVERIFY(e.Said().contains(FromUtf8(gone)) && e.platform.messages.back().parent == &e.w && e.cars->count() == 3);
        TempDir::Write(file, gci_sample::File(2));
        e.Click("cmdReload");  // reads the file that was opened, not the refused one
        QCOMPARE(e.cars->count(), 2);
        e.platform.saveAnswers = {QString(), FromUtf8(e.dir.File("other.gci"))};
        e.Click("cmdSaveAs");  // cancelled
        e.Click("cmdSaveAs");  // writes the other file only, without a backup
        QVERIFY(TempDir::Read(e.dir.File("other.gci")).find(gci_sample::CarBlock(1)) != std::string::npos);
        QVERIFY(TempDir::Read(file) == gci_sample::File(2) && !std::filesystem::exists(e.dir.File("other.gci.bak")));
        std::filesystem::create_directory(file + ".bak");  // a backup that cannot be made stops the save
        e.Click("cmdSavefile");
        QVERIFY(e.Said().startsWith("The cars were not saved; the file on disk is as it was.\n\n"));
    }

    void commandsAndClosingAreRefusedWhileBusy()
    {
        Editor e;
        e.platform.openAnswers = {FromUtf8(e.Write("cars.gci", gci_sample::File(5)))};
        e.commands = {e.Get("cmdOpen"), e.Get("cmdReload"), e.Get("cmdSavefile"), e.Get("cmdSaveAs"), e.cars, e.list};
        e.meddle = [&] {
            e.w.cmdOpen_Click();
            e.w.cmdReload_Click();
            e.w.cmdSavefile_Click();
            e.w.close();
        };
        for (const char* command : {"cmdOpen", "cmdSavefile", "cmdReload"})
            e.Click(command);
        QVERIFY(e.updates == 15 && e.enabled == 0);  // one update per car for each load and save
        QVERIFY(e.platform.openRequests.size() == 1 && e.w.isVisible() && e.Editable() && e.cars->count() == 5);
    }
};

QTEST_MAIN(TestFrmGCI)
#include "test_frmGCI.moc"
