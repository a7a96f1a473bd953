#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "app/PathRules.h"
#include "app/QtPlatform.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/UiTestSupport.h"
#include "windows/frmOptions.h"

namespace {
const QString kStoredPath = ScriptedPlatform::SettingKey("Kestrova", "Settings", "Path");
const std::string kSep(1, PlatformSeparator());
}  // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedPlatform> platform;

    // Opens the dialog, types `text` into the directory box and presses `button`.
    void answer(const QString& text, const char* button)
    {
        auto* dialog = new frmOptions;
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
        QPointer<frmOptions> alive = dialog;
        auto* box = dialog->findChild<QLineEdit*>("txtDir");
        box->setText(text);
        QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(alive.isNull());  // closed and released
    }

private slots:
    void init()
    {
        platform = std::make_unique<ScriptedPlatform>();
        SetGTA2Path("");
    }
    void cleanup() { platform.reset(); }

    void layoutMatchesTheDialog()
    {
        SetGTA2Path("C:\\GTA2\\");
        frmOptions dialog;
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Options"));
        QCOMPARE(dialog.size(), QSize(439, 351));
        auto* tabs = dialog.findChild<QTabWidget*>("SSTab1");
        QCOMPARE(tabs->geometry(), QRect(2, 2, 435, 315));
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(tabs->tabText(0), QStringLiteral("General"));
        auto* frame = dialog.findChild<QGroupBox*>("Frame1");
        QCOMPARE(frame->title(), QStringLiteral("Default GTA2 Directory"));
        QCOMPARE(frame->mapTo(tabs, QPoint(0, 0)), QPoint(10, 32));
        QCOMPARE(dialog.findChild<QLineEdit*>("txtDir")->text(), QStringLiteral("C:\\GTA2\\"));
        QVERIFY(dialog.findChild<QPushButton*>("cmdOk")->isDefault());
        QCOMPARE(dialog.findChild<QPushButton*>("cmdCancel")->geometry(), QRect(348, 322, 89, 25));
        QVERIFY(!dialog.isModal());
        SaveScreenshot(dialog, "options");
    }

    void okAppendsOneSeparatorAndStoresIt_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        const QString sep = QString::fromStdString(kSep);
        QTest::newRow("no separator") << "games" + sep + "GTA2" << "games" + sep + "GTA2" + sep;
        QTest::newRow("already ends in it") << "games" + sep << "games" + sep;
        QTest::newRow("empty") << "" << sep;
        QTest::newRow("ends in the other slash") << (sep == "/" ? "C:\\GTA2\\" : "C:/GTA2/")
                                                 << (sep == "/" ? "C:\\GTA2\\/" : "C:/GTA2/\\");
    }
    void okAppendsOneSeparatorAndStoresIt()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        answer(typed, "cmdOk");
        QCOMPARE(platform->settings.value(kStoredPath), stored);
        QCOMPARE(QString::fromStdString(sGTA2Path()), stored);
        QCOMPARE(QString::fromStdString(sDataPath()), stored + "data" + QString::fromStdString(kSep));
        QVERIFY(platform->messages.empty());
    }

    void cancelChangesNothingAndReopeningShowsTheOldValue()
    {
        SetGTA2Path("old" + kSep);
        platform->settings[kStoredPath] = QString::fromStdString("old" + kSep);
        answer("new", "cmdCancel");
        QCOMPARE(sGTA2Path(), "old" + kSep);
        QCOMPARE(platform->settings.value(kStoredPath), QString::fromStdString("old" + kSep));

        frmOptions again;
        QCOMPARE(again.findChild<QLineEdit*>("txtDir")->text(), QString::fromStdString("old" + kSep));
    }

    void escapeCancels()
    {
        auto* dialog = new frmOptions;
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
        dialog->findChild<QLineEdit*>("txtDir")->setText("typed");
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(sGTA2Path().empty());
        QVERIFY(platform->settings.isEmpty());
    }

    void aFailedSettingsWriteIsReported()
    {
        platform->settingsWriteError = "the settings store could not be written (access denied)";
        answer("games", "cmdOk");
        QCOMPARE(platform->messages.size(), std::size_t(1));
        QVERIFY(platform->messages[0].text.contains("access denied"));
        QCOMPARE(sGTA2Path(), "games" + kSep);  // the running program still uses it
    }

    void desktopSettingsRoundTripInAFileOfTheirOwn()
    {
        QTemporaryDir dir;
        QtPlatform desktop(dir.filePath("Kestrova.ini"));
        QCOMPARE(desktop.ReadSetting("Kestrova", "Settings", "Path"), QString());
        QCOMPARE(desktop.WriteSetting("Kestrova", "Settings", "Path", "C:\\GTA2\\"), QString());
        QtPlatform later(dir.filePath("Kestrova.ini"));
        QCOMPARE(later.ReadSetting("Kestrova", "Settings", "Path"), QStringLiteral("C:\\GTA2\\"));

        // A store that cannot be created reports why instead of claiming success.
        QFile blocker(dir.filePath("not-a-folder"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QtPlatform broken(dir.filePath("not-a-folder/Kestrova.ini"));
        QVERIFY(!broken.WriteSetting("Kestrova", "Settings", "Path", "x").isEmpty());
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "test_frmOptions.moc"
