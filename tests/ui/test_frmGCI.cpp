#include <QComboBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "tests/support/UiTestSupport.h"
#include <filesystem>

#include "app/PathRules.h"
#include "app/modGTA2Qt.h"
#include "models/gci/GCIValueText.h"
#include "tests/support/GCISampleFile.h"
#include "tests/support/GCISetValAnswer.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/TempDir.h"
#include "windows/frmGCI.h"
#include "windows/frmProgress.h"

namespace {

QString Q(const std::string& path)
{
    return FromUtf8(path);
}

// The window with its controls at hand, shown so that rows can be clicked.
struct Editor {
    frmGCI window;
    QPushButton* open = window.findChild<QPushButton*>("cmdOpen");
    QPushButton* reload = window.findChild<QPushButton*>("cmdReload");
    QPushButton* save = window.findChild<QPushButton*>("cmdSavefile");
    QPushButton* saveAs = window.findChild<QPushButton*>("cmdSaveAs");
    QComboBox* cars = window.findChild<QComboBox*>("cmbCars");
    QTreeWidget* list = window.findChild<QTreeWidget*>("lstVals");

    Editor()
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    QString Value(int row) const { return list->topLevelItem(row)->text(1); }
    void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void DoubleClickRow(int row)
    {
        QTreeWidgetItem* item = list->topLevelItem(row);
        list->scrollToItem(item);
        const QPoint at = list->visualItemRect(item).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    void ChooseCar(int position) { cars->setCurrentIndex(position); }
};

// Checks, at every progress step of a load or save, that nothing can be started.
class CommandsWatch : public ProgressReporter {
public:
    explicit CommandsWatch(Editor& editor) : editor_(editor), previous_(InstallProgressReporter(this)) {}
    ~CommandsWatch() override { InstallProgressReporter(previous_); }
    void Show(double, double, const std::string&) override {}
    void Hide() override {}
    void Update(double, const std::string&) override
    {
        ++updates;
        for (QWidget* command : {static_cast<QWidget*>(editor_.open), static_cast<QWidget*>(editor_.reload),
                                 static_cast<QWidget*>(editor_.save), static_cast<QWidget*>(editor_.saveAs),
                                 static_cast<QWidget*>(editor_.cars), static_cast<QWidget*>(editor_.list)})
            enabledDuring += command->isEnabled() ? 1 : 0;
        // What a user could do in the middle of it: click, and try to close the window.
        editor_.open->click();
        editor_.reload->click();
        editor_.window.cmdSavefile_Click();
        editor_.window.close();
        QCoreApplication::processEvents();
    }
    int updates = 0;
    int enabledDuring = 0;

private:
    Editor& editor_;
    ProgressReporter* previous_;
};

}  // namespace

class TestFrmGCI : public QObject {
    Q_OBJECT

private slots:
    void opensAFileAndShowsTheChosenCar()
    {
        TempDir dir;
        const std::string file = dir.File("cars.gci");
        TempDir::Write(file, gci_sample::File(85));
        ScriptedPlatform platform;
        Editor e;
        QCOMPARE(e.list->topLevelItemCount(), 22);
        QCOMPARE(e.list->topLevelItem(7)->text(0), QStringLiteral("Front Mass Bais"));
        platform.openAnswers = {QString(), Q(file)};
        e.Click(e.open);  // cancelled: nothing happens
        QCOMPARE(e.cars->count(), 0);
        QVERIFY(!e.reload->isEnabled() && !e.save->isEnabled() && !e.saveAs->isEnabled() && !e.list->isEnabled());

        ProgressWindowReporter progressWindow;
        ProgressReporter* before = InstallProgressReporter(&progressWindow);
        e.Click(e.open);
        InstallProgressReporter(before);
        QCOMPARE(platform.openRequests.size(), 2u);
        QCOMPARE(platform.openRequests[1].directory, Q(sDataPath()));
        QCOMPARE(platform.openRequests[1].filter, QStringLiteral("Cars Files (*.gci)|*.gci"));
        QVERIFY(platform.messages.empty());

        QCOMPARE(e.cars->count(), 85);
        QCOMPARE(e.cars->itemText(84), Q(gci_sample::CarName(84)));
        QCOMPARE(e.cars->itemData(84).toInt(), 84);
        QCOMPARE(e.Value(0), QStringLiteral("ALFA0"));
        QVERIFY(e.reload->isEnabled() && e.save->isEnabled() && e.saveAs->isEnabled() && e.list->isEnabled());

        e.ChooseCar(41);
        for (int i = 1; i < 22; ++i)
            QCOMPARE(e.Value(i), Q(gci_sample::Value(41, i)));
        SaveScreenshot(e.window, "frmGCI-loaded");
    }

    void changesAValueThroughTheDialogSavesWithBackupAndReloads()
    {
        TempDir dir;
        const std::string file = dir.File("cars.gci");
        const std::string original = gci_sample::File(84);
        TempDir::Write(file, original);
        ScriptedPlatform platform;
        platform.openAnswers = {Q(file)};
        Editor e;
        e.Click(e.open);
        e.ChooseCar(3);

        {
            GCISetValAnswer answer(GCISetValAnswer::Slide(2250));
            e.DoubleClickRow(5);  // Mass
            QVERIFY(answer.seen.shown);
            QVERIFY(answer.seen.sliderEnabled);
            QCOMPARE(answer.seen.sliderMin, 1000);
            QCOMPARE(answer.seen.sliderMax, 30000);
            QCOMPARE(answer.seen.text, Q(gci_sample::Value(3, 5)));
            QCOMPARE(answer.seen.sliderValue, ThousandthsWithin(gci_sample::Value(3, 5), 1000, 30000));
            QCOMPARE(answer.seen.info, QString());
        }
        QCOMPARE(e.Value(5), QStringLiteral("2.250"));
        {
            GCISetValAnswer answer(GCISetValAnswer::Type(" 0.75 "));  // blanks around it are dropped
            e.DoubleClickRow(21);
        }
        QCOMPARE(e.Value(21), QStringLiteral("0.75"));
        {
            // The model number shows the answer, but the car keeps its own.
            GCISetValAnswer answer(GCISetValAnswer::Type("77"));
            e.DoubleClickRow(1);
            QCOMPARE(e.Value(1), QStringLiteral("77"));
        }
        {
            GCISetValAnswer answer(GCISetValAnswer::Ok);
            e.DoubleClickRow(0);  // the name row is not edited
            QVERIFY(!answer.seen.shown);
        }

        e.Click(e.save);
        QVERIFY(platform.messages.empty());  // nothing is said after a save that worked
        QCOMPARE(TempDir::Read(file + ".bak"), original);
        const std::string saved = TempDir::Read(file);
        QVERIFY(saved.find("\r\nf2.250 {Mass}\r\n") != std::string::npos);
        QVERIFY(saved.find("\r\nf0.75 {Gear 3 Speed}\r\n\r\n{" + gci_sample::CarName(4) + "}") != std::string::npos);

        e.ChooseCar(7);
        e.Click(e.reload);
        QCOMPARE(e.cars->currentIndex(), 0);
        QCOMPARE(e.cars->count(), 84);
        e.ChooseCar(3);
        QCOMPARE(e.Value(1), QStringLiteral("3"));
        QCOMPARE(e.Value(5), QStringLiteral("2.250"));
        QCOMPARE(e.Value(21), QStringLiteral("0.75"));
        QCOMPARE(e.Value(6), Q(gci_sample::Value(3, 6)));
    }

    void answersThatChangeNothingLeaveTheLineAsItWas()
    {
        TempDir dir;
        const std::string file = dir.File("odd.gci");
        std::vector<std::string> lines = gci_sample::CarLines(0);
        lines[8] = "f0.250   {brake  FRICTION} tuned";  // another tool's spelling
        std::string text = gci_sample::kHeader;
        for (const std::string& line : lines)
            text += line + "\r\n";
        TempDir::Write(file, text + "\r\n");
        ScriptedPlatform platform;
        platform.openAnswers = {Q(file)};
        Editor e;
        e.Click(e.open);

        for (auto leave : {GCISetValAnswer::Cancel, GCISetValAnswer::Escape, GCISetValAnswer::CloseWindow}) {
            GCISetValAnswer answer(GCISetValAnswer::Slide(900, leave));
            e.DoubleClickRow(8);
            QVERIFY(answer.seen.shown);
        }
        {
            GCISetValAnswer untouched(GCISetValAnswer::Ok);
            e.DoubleClickRow(8);
        }
        // Refused answers: not numbers, and -1 or less.
        for (const QString& typed : {QString(), QStringLiteral("abc"), QStringLiteral("1.5x"), QStringLiteral("1,5"),
                                     QStringLiteral("-1"), QStringLiteral("-2.5")}) {
            GCISetValAnswer answer(GCISetValAnswer::Type(typed));
            e.DoubleClickRow(8);
            QCOMPARE(e.Value(8), QStringLiteral("0.250"));
        }
        QCOMPARE(platform.messages.size(), 4u);  // one per answer that is not a number
        QVERIFY(platform.messages[0].text.contains(QStringLiteral("not a number")));
        QVERIFY(platform.messages[1].text.contains(QStringLiteral("\"abc\"")));
        QVERIFY(platform.messages[1].text.contains(QStringLiteral("Brake Friction")));
        const std::string out = dir.File("out.gci");
        platform.saveAnswers = {QString(), Q(out)};
        e.Click(e.saveAs);  // cancelled
        e.Click(e.saveAs);
        QCOMPARE(platform.saveRequests.size(), 2u);
        QVERIFY(platform.saveRequests[1].confirmOverwrite);
        QCOMPARE(platform.saveRequests[1].directory, Q(sDataPath()));
        const std::string saved = TempDir::Read(out);
        QVERIFY(saved.find("\r\nf0.250   {brake  FRICTION} tuned\r\n") != std::string::npos);
        QVERIFY(!std::filesystem::exists(out + ".bak"));
        QCOMPARE(TempDir::Read(file), text + "\r\n");  // Save As left the opened file alone
    }

    void shortCarsAndFilesWithoutCarsAreToldNotGuessed()
    {
        TempDir dir;
        const std::string shortFile = dir.File("short.gci");
        TempDir::Write(shortFile, "h\r\n\r\n{Stub}\r\n4 {Model}\r\n1 {Turbo}\r\n\r\n");
        const std::string empty = dir.File("empty.gci");
        TempDir::Write(empty, "a header and nothing else\r\n");
        ScriptedPlatform platform;
        platform.openAnswers = {Q(shortFile), Q(empty)};
        Editor e;
        e.Click(e.open);
        QCOMPARE(e.Value(2), QStringLiteral("1"));
        QCOMPARE(e.Value(3), QString());
        QCOMPARE(e.Value(21), QString());
        {
            GCISetValAnswer answer(GCISetValAnswer::Type("5"));
            e.DoubleClickRow(9);
            QVERIFY(!answer.seen.shown);
        }
        QCOMPARE(platform.messages.size(), 1u);
        QVERIFY(platform.messages[0].text.contains(QStringLiteral("Stub has no Turn In line")));
        QCOMPARE(e.Value(9), QString());

        e.Click(e.open);
        QCOMPARE(platform.messages.size(), 2u);
        QCOMPARE(platform.messages[1].text, QStringLiteral("No cars were found in %1.").arg(Q(empty)));
        QCOMPARE(e.cars->count(), 0);
        QCOMPARE(e.Value(2), QString());
        QVERIFY(!e.save->isEnabled() && !e.saveAs->isEnabled() && !e.list->isEnabled());
        QVERIFY(e.reload->isEnabled());
    }

    void failuresAreToldAndTheWindowKeepsWhatItHad()
    {
        TempDir dir;
        const std::string file = dir.File("cars.gci");
        TempDir::Write(file, gci_sample::File(3));
        const std::string missing = dir.File("gone.gci");
        ScriptedPlatform platform;
        platform.openAnswers = {Q(file), Q(missing)};
        Editor e;
        e.Click(e.open);
        e.ChooseCar(2);
        e.Click(e.open);
        QCOMPARE(platform.messages.size(), 1u);
        QVERIFY(platform.messages[0].text.contains(Q(missing)));
        QCOMPARE(platform.messages[0].icon, MessageIcon::Warning);
        QCOMPARE(e.cars->count(), 3);
        QCOMPARE(e.cars->currentIndex(), 2);
        QCOMPARE(e.Value(0), Q(gci_sample::CarName(2)));

        // Reload still reads the file that was opened, not the refused one.
        TempDir::Write(file, gci_sample::File(2));
        e.Click(e.reload);
        QCOMPARE(e.cars->count(), 2);

        // A backup that cannot be made stops the save before anything is replaced.
        std::filesystem::create_directory(file + ".bak");
        e.Click(e.save);
        QCOMPARE(platform.messages.size(), 2u);
        QVERIFY(platform.messages[1].text.contains(QStringLiteral("backed up")));
        QCOMPARE(TempDir::Read(file), gci_sample::File(2));
    }

    void commandsStayDisabledWhileALoadOrSaveRuns()
    {
        TempDir dir;
        const std::string file = dir.File("cars.gci");
        TempDir::Write(file, gci_sample::File(5));
        ScriptedPlatform platform;
        platform.openAnswers = {Q(file)};
        Editor e;
        {
            CommandsWatch watch(e);
            e.Click(e.open);
            e.Click(e.save);
            e.Click(e.reload);
            QCOMPARE(watch.updates, 15);
            QCOMPARE(watch.enabledDuring, 0);
        }
        QCOMPARE(platform.openRequests.size(), 1u);  // no second open from inside the first
        QVERIFY(e.window.isVisible());
        QVERIFY(e.open->isEnabled() && e.save->isEnabled());
        QCOMPARE(e.cars->count(), 5);
    }
};

QTEST_MAIN(TestFrmGCI)
#include "test_frmGCI.moc"
