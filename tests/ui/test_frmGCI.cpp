#include <QComboBox>
#include <QLocale>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>

#include "core/common/PathRules.h"
#include "tests/support/GCISampleFile.h"
#include "tests/support/GCISetValAnswer.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiTestSupport.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/frmGCI.h"
#include "ui/windows/frmProgress.h"

namespace {

// The window, shown, with its controls at hand, over a scripted desktop and a folder of its own.
struct Editor {
    TempDir dir;
    ScriptedPlatform platform;
    frmGCI window;
    QPushButton* open = window.findChild<QPushButton*>("cmdOpen");
    QPushButton* reload = window.findChild<QPushButton*>("cmdReload");
    QPushButton* save = window.findChild<QPushButton*>("cmdSavefile");
    QPushButton* saveAs = window.findChild<QPushButton*>("cmdSaveAs");
    QComboBox* cars = window.findChild<QComboBox*>("cmbCars");
    QTreeWidget* list = window.findChild<QTreeWidget*>("lstVals");

    Editor() { window.show(); }
    std::string Write(const std::string& bytes, const std::string& name = "cars.gci")
    {
        TempDir::Write(dir.File(name), bytes);
        return dir.File(name);
    }
    void Open(const std::string& file)
    {
        platform.openAnswers.push_back(FromUtf8(file));
        QTest::mouseClick(open, Qt::LeftButton);
    }
    QString Value(int row) const { return list->topLevelItem(row)->text(1); }
    QString Said() const { return platform.messages.empty() ? QString() : platform.messages.back().text; }
    // Save, Save As and the rows, which open and reload enable together.
    bool Editable() const { return save->isEnabled() && saveAs->isEnabled() && list->isEnabled(); }
    // Double-clicks a row with `answer` ready for the value dialog; what the dialog showed.
    GCISetValAnswer::Shown Edit(int row, GCISetValAnswer::Action answer)
    {
        GCISetValAnswer dialog(std::move(answer));
        list->scrollToItem(list->topLevelItem(row));
        const QPoint at = list->visualItemRect(list->topLevelItem(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        return dialog.seen;
    }
};

}  // namespace

class TestFrmGCI : public QObject {
    Q_OBJECT

private slots:
    void opensChangesThroughTheDialogSavesWithBackupAndReloads()
    {
        Editor e;
        const std::string file = e.Write(gci_sample::File(85));
        e.Open("");  // cancelled: nothing happens
        QVERIFY(e.cars->count() == 0 && !e.reload->isEnabled() && !e.Editable());
        ProgressWindowReporter progressWindow;  // the real progress window and its event processing
        ProgressReporter* before = InstallProgressReporter(&progressWindow);
        e.Open(file);
        InstallProgressReporter(before);
        QCOMPARE(e.platform.openRequests[1].directory, FromUtf8(sDataPath()));
        QCOMPARE(e.platform.openRequests[1].filter, QStringLiteral("Cars Files (*.gci)|*.gci"));
        QCOMPARE(e.cars->itemText(84), FromUtf8(gci_sample::CarName(84)));  // 85 cars in file order
        QVERIFY(e.reload->isEnabled() && e.Editable());
        e.cars->setCurrentIndex(3);
        for (int i = 0; i < 22; ++i)
            QCOMPARE(e.Value(i), FromUtf8(i ? gci_sample::Value(3, i) : gci_sample::CarName(3)));
        SaveScreenshot(e.window, "frmGCI-loaded");

        const auto mass = e.Edit(5, GCISetValAnswer::Slide(2250));  // the slider counts thousandths
        QVERIFY(mass.sliderEnabled && mass.sliderMin == 1000 && mass.sliderMax == 30000);
        QCOMPARE(mass.text, FromUtf8(gci_sample::Value(3, 5)));
        QCOMPARE(e.Value(5), QStringLiteral("2.250"));
        e.Edit(21, GCISetValAnswer::Type(" 0.75 "));  // blanks around it are dropped
        e.Edit(1, GCISetValAnswer::Type("77"));       // the model number shows the answer ...
        QCOMPARE(e.Value(21) + e.Value(1), QStringLiteral("0.7577"));
        QVERIFY(!e.Edit(0, GCISetValAnswer::Ok).shown);  // the name row is not edited
        QTest::mouseClick(e.save, Qt::LeftButton);
        QVERIFY(e.platform.messages.empty());  // nothing is said after a save that worked
        QCOMPARE(TempDir::Read(file + ".bak"), gci_sample::File(85));
        e.cars->setCurrentIndex(7);
        QTest::mouseClick(e.reload, Qt::LeftButton);
        QCOMPARE(e.cars->currentIndex(), 0);
        e.cars->setCurrentIndex(3);
        QCOMPARE(e.Value(1) + e.Value(5) + e.Value(21), QStringLiteral("32.2500.75"));  // ... the car keeps its own
    }

    void answersThatChangeNothingLeaveTheLineAsItWas()
    {
        Editor e;
        std::vector<std::string> lines = gci_sample::CarLines(0);
        lines[8] = "f0.250   {brake  FRICTION} tuned";  // another tool's spelling
        std::string text = gci_sample::kHeader;
        for (const std::string& line : lines)
            text += line + "\r\n";
        const std::string file = e.Write(text + "\r\n"), out = e.dir.File("out.gci");
        e.Open(file);
        for (auto leave : {GCISetValAnswer::Cancel, GCISetValAnswer::Escape, GCISetValAnswer::CloseWindow})
            QVERIFY(e.Edit(8, GCISetValAnswer::Slide(900, leave)).shown);
        e.Edit(8, GCISetValAnswer::Ok);
        for (const char* typed : {"", "abc", "1.5x", "1,5", "-1", "-2.5"})  // not numbers, and -1 or less
            e.Edit(8, GCISetValAnswer::Type(typed));
        QCOMPARE(e.Value(8), QStringLiteral("0.250"));
        QCOMPARE(e.platform.messages.size(), 4u);  // one per answer that is not a number
        QVERIFY(e.platform.messages[0].text.contains(QStringLiteral("not a number")));
        QVERIFY(e.platform.messages[1].text.contains("\"abc\"") &&
                e.platform.messages[1].text.contains("Brake Friction"));

        e.platform.saveAnswers = {QString(), FromUtf8(out)};
        QTest::mouseClick(e.saveAs, Qt::LeftButton);  // cancelled
        QTest::mouseClick(e.saveAs, Qt::LeftButton);
        QVERIFY(e.platform.saveRequests[1].confirmOverwrite);
        QCOMPARE(e.platform.saveRequests[1].directory, FromUtf8(sDataPath()));
        QVERIFY(TempDir::Read(out).find("\r\nf0.250   {brake  FRICTION} tuned\r\n") != std::string::npos);
        QVERIFY(!std::filesystem::exists(out + ".bak"));
        QCOMPARE(TempDir::Read(file), text + "\r\n");  // Save As left the opened file alone
    }

    void theValueDialogShowsWhatTheFileHolds()
    {
        // Mass: limits 1.000 to 30.000. Values it cannot show put the slider at the nearest limit.
        const std::pair<const char*, int> cases[] = {
            {"1.5", 1500}, {"0.0015", 1000}, {"1.0015", 1002}, {"45.5", 30000}, {"fast", 1000}};
        for (const auto& [current, position] : cases) {
            GCISetValAnswer answer(GCISetValAnswer::Ok);
            QCOMPARE(AskValue("1000", "30000", "info", current, 5), QString::fromLatin1(current));
            QCOMPARE(answer.seen.sliderValue, position);
            QCOMPARE(answer.seen.text + answer.seen.info, QString::fromLatin1(current) + "info");  // not reformatted
        }
        GCISetValAnswer typed(GCISetValAnswer::Type(" 12x "));  // typed properties have no slider
        QCOMPARE(AskValue("0", "255", QString(), "17", 3), QStringLiteral(" 12x "));
        QVERIFY(!typed.seen.sliderEnabled);

        // The slider writes its position with a "." whatever the locale says; only Ok takes it.
        frmSetVal dialog;
        dialog.Prepare("1000", "30000", QString(), "1.5", 5);
        dialog.show();
        SaveScreenshot(dialog, "frmSetVal-decimal");
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        dialog.findChild<QSlider*>("sVal")->setValue(2250);
        QLocale::setDefault(before);
        QCOMPARE(dialog.findChild<QLineEdit*>("tVal")->text(), QStringLiteral("2.250"));
        QCOMPARE(dialog.Result(), QStringLiteral("1.5"));
        dialog.cmdOk_Click();
        QCOMPARE(dialog.Result(), QStringLiteral("2.250"));
    }

    void shortCarsEmptyFilesAndFailuresAreToldAndTheWindowKeepsWhatItHad()
    {
        Editor e;
        e.Open(e.Write("h\r\n\r\n{Stub}\r\n4 {Model}\r\n1 {Turbo}\r\n\r\n", "short.gci"));
        QCOMPARE(e.Value(2) + "|" + e.Value(3), QStringLiteral("1|"));
        QVERIFY(!e.Edit(9, GCISetValAnswer::Type("5")).shown);
        QVERIFY(e.Said().contains(QStringLiteral("Stub has no Turn In line")));
        QCOMPARE(e.Value(9), QString());
        const std::string empty = e.Write("a header and nothing else\r\n", "empty.gci");
        e.Open(empty);
        QCOMPARE(e.Said(), QStringLiteral("No cars were found in %1.").arg(FromUtf8(empty)));
        QVERIFY(e.cars->count() == 0 && !e.Editable() && e.reload->isEnabled());

        const std::string file = e.Write(gci_sample::File(3));
        e.Open(file);
        e.cars->setCurrentIndex(2);
        e.Open(e.dir.File("gone.gci"));
        QVERIFY(e.Said().contains(FromUtf8(e.dir.File("gone.gci"))));
        QCOMPARE(e.platform.messages.back().icon, MessageIcon::Warning);
        QCOMPARE(e.Value(0), FromUtf8(gci_sample::CarName(2)));
        TempDir::Write(file, gci_sample::File(2));
        QTest::mouseClick(e.reload, Qt::LeftButton);  // reads the file that was opened, not the refused one
        QCOMPARE(e.cars->count(), 2);
        std::filesystem::create_directory(file + ".bak");  // a backup that cannot be made stops the save
        QTest::mouseClick(e.save, Qt::LeftButton);
        QVERIFY(e.Said().contains(QStringLiteral("backed up")));
        QCOMPARE(TempDir::Read(file), gci_sample::File(2));
    }

    void commandsStayDisabledWhileALoadOrSaveRuns()
    {
        Editor e;
        e.platform.openAnswers = {FromUtf8(e.Write(gci_sample::File(5)))};
        {
            BusyWatch watch({e.open, e.reload, e.save, e.saveAs, e.cars, e.list}, [&] {
                e.open->click();
                e.reload->click();
                e.window.cmdSavefile_Click();
                e.window.close();
            });
            QTest::mouseClick(e.open, Qt::LeftButton);
            QTest::mouseClick(e.save, Qt::LeftButton);
            QTest::mouseClick(e.reload, Qt::LeftButton);
            QCOMPARE(watch.updates, 15);  // one per car for each load and save
            QCOMPARE(watch.enabled, 0);
        }
        QCOMPARE(e.platform.openRequests.size(), 1u);  // no second open from inside the first
        QVERIFY(e.window.isVisible() && e.Editable());
        QCOMPARE(e.cars->count(), 5);
    }
};

QTEST_MAIN(TestFrmGCI)
#include "test_frmGCI.moc"
