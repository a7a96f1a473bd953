#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "app/PathRules.h"
#include "app/Platform.h"
#include "app/QtPlatform.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/UiTestSupport.h"
#include "windows/frmOptions.h"

namespace {
const QString kStoredPath = ScriptedPlatform::SettingKey("Kestrova", "Settings", "Path");
const QString kSep(QChar::fromLatin1(PlatformSeparator()));
}  // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedPlatform> platform;

    // Opens the dialog, types `text` into the directory box and presses `button` or a key.
    void answer(const QString& text, const char* button, Qt::Key key = Qt::Key_unknown)
    {
        QPointer<frmOptions> dialog = new frmOptions;
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
        dialog->findChild<QLineEdit*>("txtDir")->setText(text);
        if (button)
            QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
        else
            QTest::keyClick(dialog, key);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(dialog.isNull());  // closed and released
    }
    QString stored() { return QString::fromStdString(sGTA2Path()); }

private slots:
    void init()
    {
        platform = std::make_unique<ScriptedPlatform>();
        SetGTA2Path("");
    }
    void cleanup() { platform.reset(); }

    void layoutShowsTheStoredDirectory()
    {
        SetGTA2Path("C:\\GTA2\\");
        frmOptions dialog;
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Options"));
        QCOMPARE(dialog.size(), QSize(439, 351));
        auto* tabs = dialog.findChild<QTabWidget*>("SSTab1");
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(tabs->tabText(0), QStringLiteral("General"));
        QCOMPARE(dialog.findChild<QLineEdit*>("txtDir")->text(), QStringLiteral("C:\\GTA2\\"));
        QVERIFY(dialog.findChild<QPushButton*>("cmdOk")->isDefault() && !dialog.isModal());
        SaveScreenshot(dialog, "options");
    }

    void okAppendsOneSeparatorAndStoresIt_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::newRow("no separator") << "games" + kSep + "GTA2" << "games" + kSep + "GTA2" + kSep;
        QTest::newRow("already ends in it") << "games" + kSep << "games" + kSep;
        QTest::newRow("empty") << "" << kSep;
        const QString other = kSep == "/" ? "\\" : "/";
        QTest::newRow("ends in the other slash") << "C:" + other << "C:" + other + kSep;
    }
    void okAppendsOneSeparatorAndStoresIt()
    {
        QFETCH(QString, typed);
        QFETCH(QString, result);
        answer(typed, "cmdOk");
        QCOMPARE(platform->settings.value(kStoredPath), result);
        QCOMPARE(stored(), result);
        QCOMPARE(QString::fromStdString(sDataPath()), result + "data" + kSep);
        QVERIFY(platform->messages.empty());
    }

    void cancelAndEscapeChangeNothing()
    {
        SetGTA2Path("old" + kSep.toStdString());
        answer("new", "cmdCancel");
        answer("typed", nullptr, Qt::Key_Escape);
        QCOMPARE(stored(), "old" + kSep);
        QVERIFY(platform->settings.isEmpty());
        frmOptions again;
        QCOMPARE(again.findChild<QLineEdit*>("txtDir")->text(), "old" + kSep);
    }

    void aFailedSettingsWriteIsReported()
    {
        platform->settingsWriteError = "the settings store could not be written (access denied)";
        answer("games", "cmdOk");
        QCOMPARE(platform->messages.size(), std::size_t(1));
        QVERIFY(platform->messages[0].text.contains("access denied"));
        QCOMPARE(stored(), "games" + kSep);  // the running program still uses it
    }

    void desktopSettingsRoundTripInAFileOfTheirOwn()
    {
        QTemporaryDir dir;
        QtPlatform desktop(dir.filePath("Kestrova.ini"));
        QCOMPARE(desktop.ReadSetting("Kestrova", "Settings", "Path"), QString());
        QCOMPARE(desktop.WriteSetting("Kestrova", "Settings", "Path", "C:\\GTA2\\"), QString());
        QCOMPARE(QtPlatform(dir.filePath("Kestrova.ini")).ReadSetting("Kestrova", "Settings", "Path"),
                 QStringLiteral("C:\\GTA2\\"));
        QFile blocker(dir.filePath("not-a-folder"));  // a store that cannot be created says why
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!QtPlatform(dir.filePath("not-a-folder/Kestrova.ini")).WriteSetting("Kestrova", "Settings", "Path", "x").isEmpty());
    }

    void windowFiltersBecomeQtFilters()
    {
        QCOMPARE(QtFileFilter("Cars Files (*.gci)|*.gci"), QStringLiteral("Cars Files (*.gci)"));
        QCOMPARE(QtFileFilter("Bitmaps|*.bmp|Palettes|*.pal"), QStringLiteral("Bitmaps (*.bmp);;Palettes (*.pal)"));
        QCOMPARE(QtFileFilter("Images|*.bmp;*.png"), QStringLiteral("Images (*.bmp *.png)"));
        QCOMPARE(QtFileFilter(""), QString());
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "test_frmOptions.moc"
