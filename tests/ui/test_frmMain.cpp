#include <QLabel>
#include <QScreen>
#include <QtTest>

#include "app/BitmapHeader.h"
#include "app/PathRules.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/UiTestSupport.h"
#include "windows/frmMain.h"

namespace {

const QColor kWhite(255, 255, 255);
const QColor kBlue(0, 0, 255);

bool IsHighlighted(const QLabel* label)
{
    return label->palette().color(QPalette::WindowText) == kBlue && label->font().underline();
}

bool IsPlain(const QLabel* label)
{
    return label->palette().color(QPalette::WindowText) == kWhite && !label->font().underline();
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedPlatform> platform;
    std::unique_ptr<frmMain> window;

    QLabel* entry(int i) { return window->EntryLabel(i); }
    int highlightedCount()
    {
        int n = 0;
        for (int i = 0; i < frmMain::kEntries; ++i)
            n += IsHighlighted(entry(i)) ? 1 : 0;
        return n;
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

    void loadReadsTheSettingsFillsTheHeaderAndLaysOutTheWindow()
    {
        // Taken exactly as stored: no separator is added at start-up.
        QCOMPARE(sGTA2Path(), std::string("C:\\GTA2"));
        QCOMPARE(sDataPath(), "C:\\GTA2data" + std::string(1, PlatformSeparator()));
        QCOMPARE(SharedBitmapHeader().pixelDataOffset, 1078u);
        QVERIFY(platform->messages.empty());

        QCOMPARE(window->windowTitle(), QStringLiteral("Kestrova"));
        QCOMPARE(window->size(), QSize(357, 237));
        QCOMPARE(window->findChild<QLabel*>("Image1")->geometry(), QRect(6, 6, 347, 91));
        QCOMPARE(window->findChild<QLabel*>("Image1")->pixmap().size(), QSize(347, 91));
        QCOMPARE(entry(frmMain::GxtEditing)->text(), QStringLiteral("GXT File Editing"));
        QCOMPARE(entry(frmMain::GxtEditing)->pos(), QPoint(10, 164));
        QCOMPARE(entry(frmMain::Options)->text(), QStringLiteral("Options"));
        for (int i = 0; i < frmMain::kEntries; ++i) {
            QVERIFY2(IsPlain(entry(i)), qPrintable(entry(i)->text()));
            QVERIFY(window->rect().contains(entry(i)->geometry()));
            QCOMPARE(entry(i)->cursor().hotSpot(), QPoint(13, 5));
            QCOMPARE(entry(i)->cursor().pixmap().size(), QSize(32, 32));
        }
        SaveScreenshot(*window, "launcher");
    }

    void loadWithNothingStoredAsksNothing()
    {
        ScriptedPlatform empty;
        frmMain fresh;
        QCOMPARE(sGTA2Path(), std::string());
        QCOMPARE(sDataPath(), "data" + std::string(1, PlatformSeparator()));
        QVERIFY(empty.messages.empty());
        QVERIFY(empty.inputPrompts.isEmpty());
    }

    void highlightFollowsThePointer()
    {
        MovePointerOver(entry(frmMain::Options));
        QVERIFY(IsHighlighted(entry(frmMain::Options)));
        QCOMPARE(highlightedCount(), 1);

        MovePointerOver(entry(frmMain::StyViewer));
        QVERIFY(IsHighlighted(entry(frmMain::StyViewer)));
        QVERIFY(IsPlain(entry(frmMain::Options)));

        // The logo and the version text leave the highlight alone.
        MovePointerOver(window->findChild<QLabel*>("Image1"));
        MovePointerOver(window->findChild<QLabel*>("Label2"));
        QVERIFY(IsHighlighted(entry(frmMain::StyViewer)));

        // The title clears it, and so does the background.
        MovePointerOver(window->findChild<QLabel*>("Label1"));
        QCOMPARE(highlightedCount(), 0);
        MovePointerOver(entry(frmMain::ExitEntry));
        MovePointerOver(window.get(), QPoint(200, 5));
        QCOMPARE(highlightedCount(), 0);
    }

    void repeatedMovesOverOneEntryWriteNothing()
    {
        MovePointerOver(entry(frmMain::GciEditing));
        EventCounter paletteWrites(entry(frmMain::GciEditing), QEvent::PaletteChange);
        EventCounter fontWrites(entry(frmMain::GciEditing), QEvent::FontChange);
        EventCounter otherWrites(entry(frmMain::GxtEditing), QEvent::PaletteChange);
        for (int i = 0; i < 5; ++i)
            MovePointerOver(entry(frmMain::GciEditing), QPoint(2 + i, 3));
        QCOMPARE(paletteWrites.count, 0);
        QCOMPARE(fontWrites.count, 0);
        QCOMPARE(otherWrites.count, 0);

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
        QCOMPARE(highlightedCount(), 0);  // cleared, the clicked entry's own included
        const QList<QWidget*> first = TopLevelsNamed(name);
        QCOMPARE(first.size(), 1);
        QCOMPARE(first[0]->windowTitle(), caption);
        first[0]->setWindowTitle("changed by the user");

        QTest::mouseClick(entry(index), Qt::LeftButton);
        const QList<QWidget*> again = TopLevelsNamed(name);
        QCOMPARE(again.size(), 1);
        QCOMPARE(again[0], first[0]);
        QCOMPARE(again[0]->windowTitle(), QStringLiteral("changed by the user"));

        // Closed windows are released; the next click makes a new one.
        QPointer<QWidget> closed = again[0];
        closed->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(closed.isNull());
        QTest::mouseClick(entry(index), Qt::LeftButton);
        QCOMPARE(TopLevelsNamed(name).size(), 1);
        QCOMPARE(TopLevelsNamed(name)[0]->windowTitle(), caption);
    }

    void creditLinesOpenMailLinksAndIgnoreTheResult()
    {
        QTest::mouseClick(entry(frmMain::AuthorCredit), Qt::LeftButton);
        QTest::mouseClick(entry(frmMain::LayoutCredit), Qt::LeftButton);
        QCOMPARE(platform->openedUrls.size(), 2);
        for (const QUrl& url : platform->openedUrls) {
            QCOMPARE(url.scheme(), QStringLiteral("mailto"));
            QVERIFY(url.path().endsWith("@example.org"));
        }
        QVERIFY(platform->messages.empty());
        QVERIFY(window->isVisible());
    }

    void exitEndsTheProgramWithoutAsking()
    {
        QTest::mouseClick(entry(frmMain::GciEditing), Qt::LeftButton);
        QTest::mouseClick(entry(frmMain::ExitEntry), Qt::LeftButton);
        QCOMPARE(platform->endProgramCalls, 1);
        QVERIFY(platform->messages.empty());
        QCOMPARE(TopLevelsNamed("frmGCI").size(), 1);  // no window was closed on the way out
    }

    void aPressWithoutReleaseOverTheEntryDoesNothing()
    {
        QTest::mousePress(entry(frmMain::ExitEntry), Qt::LeftButton);
        QTest::mouseRelease(window.get(), Qt::LeftButton, {}, QPoint(200, 5));
        QCOMPARE(platform->endProgramCalls, 0);
    }

    void theWindowIsCentredOnItsScreen()
    {
        const QRect screen = window->screen()->geometry();
        const QRect frame = window->frameGeometry();
        QVERIFY(qAbs((frame.left() + frame.width() / 2.0) - screen.width() / 2.0) <= 1.0);
        QVERIFY(qAbs((frame.top() + frame.height() / 2.0) - screen.height() / 2.0) <= 1.0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_frmMain.moc"
