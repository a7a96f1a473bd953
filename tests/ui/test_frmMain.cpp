#include <QLabel>
#include <QScreen>
#include <QtTest>

#include "app/BitmapHeader.h"
#include "app/PathRules.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/UiTestSupport.h"
#include "windows/frmMain.h"

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedPlatform> platform;
    std::unique_ptr<frmMain> window;

    QLabel* entry(int i) { return window->EntryLabel(i); }
    // The entries drawn highlighted (blue, underlined); every other one must be plain.
    QList<int> highlighted()
    {
        QList<int> out;
        for (int i = 0; i < frmMain::kEntries; ++i) {
            const QColor colour = entry(i)->palette().color(QPalette::WindowText);
            if (colour == QColor(0, 0, 255) && entry(i)->font().underline())
                out << i;
            else if (colour != QColor(255, 255, 255) || entry(i)->font().underline())
                out << -1;
        }
        return out;
    }

private slots:
    void init()
    {
        platform = std::make_unique<ScriptedPlatform>();
        platform->settings[ScriptedPlatform::SettingKey("Kestrova", "Settings", "Path")] = "C:\\GTA2";
        window = std::make_unique<frmMain>();
        window->show();
    }
    void cleanup()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != window.get())
                delete w;
        window.reset();
        platform.reset();
    }

    void loadReadsTheSettingsAndLaysOutTheWindow()
    {
        QCOMPARE(sGTA2Path(), std::string("C:\\GTA2"));  // taken exactly as stored
        QCOMPARE(sDataPath(), "C:\\GTA2data" + std::string(1, PlatformSeparator()));
        QCOMPARE(SharedBitmapHeader().pixelDataOffset, 1078u);
        QCOMPARE(window->windowTitle(), QStringLiteral("Kestrova"));
        QCOMPARE(window->size(), QSize(357, 237));
        QCOMPARE(window->findChild<QLabel*>("Image1")->pixmap().size(), QSize(347, 91));
        QCOMPARE(highlighted(), QList<int>());
        for (int i = 0; i < frmMain::kEntries; ++i) {
            QCOMPARE(entry(i)->cursor().hotSpot(), QPoint(13, 5));
            QCOMPARE(entry(i)->cursor().pixmap().size(), QSize(32, 32));
        }
        const QRect screen = window->screen()->geometry(), frame = window->frameGeometry();
        QVERIFY(qAbs((frame.left() + frame.width() / 2.0) - screen.width() / 2.0) <= 1.0);  // centred
        QVERIFY(qAbs((frame.top() + frame.height() / 2.0) - screen.height() / 2.0) <= 1.0);
        SaveScreenshot(*window, "launcher");

        ScriptedPlatform empty;  // nothing stored: nothing asked
        frmMain fresh;
        QCOMPARE(sDataPath(), "data" + std::string(1, PlatformSeparator()));
        QVERIFY(empty.messages.empty() && empty.inputPrompts.isEmpty() && platform->messages.empty());
    }

    void highlightFollowsThePointerAndWritesOnlyChanges()
    {
        MovePointerOver(entry(frmMain::Options));
        QCOMPARE(highlighted(), QList<int>{frmMain::Options});
        MovePointerOver(entry(frmMain::StyViewer));
        QCOMPARE(highlighted(), QList<int>{frmMain::StyViewer});
        MovePointerOver(window->findChild<QLabel*>("Image1"));  // the logo and the version leave it alone
        MovePointerOver(window->findChild<QLabel*>("Label2"));
        QCOMPARE(highlighted(), QList<int>{frmMain::StyViewer});
        MovePointerOver(window->findChild<QLabel*>("Label1"));  // the title clears it
        QCOMPARE(highlighted(), QList<int>());
        MovePointerOver(entry(frmMain::ExitEntry));
        MovePointerOver(window.get(), QPoint(200, 5));  // and so does the background
        QCOMPARE(highlighted(), QList<int>());

        MovePointerOver(entry(frmMain::GciEditing));
        EventCounter paletteWrites(entry(frmMain::GciEditing), QEvent::PaletteChange);
        EventCounter fontWrites(entry(frmMain::GciEditing), QEvent::FontChange);
        EventCounter otherWrites(entry(frmMain::GxtEditing), QEvent::PaletteChange);
        for (int i = 0; i < 5; ++i)
            MovePointerOver(entry(frmMain::GciEditing), QPoint(2 + i, 3));
        QCOMPARE(paletteWrites.count + fontWrites.count + otherWrites.count, 0);
        MovePointerOver(window.get(), QPoint(200, 5));
        QCOMPARE(paletteWrites.count, 1);
        QCOMPARE(fontWrites.count, 1);
        QCOMPARE(otherWrites.count, 0);
    }

    void workingWindowsAreSingleInstances_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("text editor") << int(frmMain::GxtEditing) << "frmGXT" << "GXT Editor";
        QTest::newRow("car editor") << int(frmMain::GciEditing) << "frmGCI" << "GCI Car Editor";
        QTest::newRow("style viewer") << int(frmMain::StyViewer) << "frmSTY" << "STY Editor";
        QTest::newRow("options") << int(frmMain::Options) << "frmOptions" << "Options";
    }
    void workingWindowsAreSingleInstances()
    {
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        MovePointerOver(entry(index));
        QTest::mouseClick(entry(index), Qt::LeftButton);
        QCOMPARE(highlighted(), QList<int>());  // cleared, the clicked entry's own included
        const QList<QWidget*> first = TopLevelsNamed(name);
        QCOMPARE(first.size(), 1);
        QCOMPARE(first[0]->windowTitle(), caption);
        first[0]->setWindowTitle("changed by the user");
        QTest::mouseClick(entry(index), Qt::LeftButton);
        QCOMPARE(TopLevelsNamed(name), first);  // brought forward unchanged
        QCOMPARE(first[0]->windowTitle(), QStringLiteral("changed by the user"));

        QPointer<QWidget> closed = first[0];  // closed windows are released; the next click makes a new one
        closed->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(closed.isNull());
        QTest::mouseClick(entry(index), Qt::LeftButton);
        QCOMPARE(TopLevelsNamed(name).size(), 1);
        QCOMPARE(TopLevelsNamed(name)[0]->windowTitle(), caption);
    }

    void creditLinesOpenMailLinksAndExitEndsTheProgramWithoutAsking()
    {
        QTest::mouseClick(entry(frmMain::AuthorCredit), Qt::LeftButton);
        QTest::mouseClick(entry(frmMain::LayoutCredit), Qt::LeftButton);
        QCOMPARE(platform->openedUrls.size(), 2);
        for (const QUrl& url : platform->openedUrls)
            QVERIFY(url.scheme() == "mailto" && url.path().endsWith("@example.org"));

        QTest::mouseClick(entry(frmMain::GciEditing), Qt::LeftButton);
        QTest::mousePress(entry(frmMain::ExitEntry), Qt::LeftButton);  // a press released elsewhere does nothing
        QTest::mouseRelease(window.get(), Qt::LeftButton, {}, QPoint(200, 5));
        QCOMPARE(platform->endProgramCalls, 0);
        QTest::mouseClick(entry(frmMain::ExitEntry), Qt::LeftButton);
        QCOMPARE(platform->endProgramCalls, 1);
        QVERIFY(platform->messages.empty());
        QCOMPARE(TopLevelsNamed("frmGCI").size(), 1);  // no window was closed on the way out
        QVERIFY(window->isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_frmMain.moc"
