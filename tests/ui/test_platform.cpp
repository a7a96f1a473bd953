#include <QtTest>

#include "app/Platform.h"
#include "tests/support/ScriptedPlatform.h"

class PlatformTest : public QObject {
    Q_OBJECT

private slots:
    void windowFiltersBecomeQtFilters()
    {
        QCOMPARE(QtFileFilter("Cars Files (*.gci)|*.gci"), QStringLiteral("Cars Files (*.gci)"));
        QCOMPARE(QtFileFilter("Bitmaps|*.bmp|Palettes|*.pal"), QStringLiteral("Bitmaps (*.bmp);;Palettes (*.pal)"));
        QCOMPARE(QtFileFilter("Images|*.bmp;*.png"), QStringLiteral("Images (*.bmp *.png)"));
        QCOMPARE(QtFileFilter(""), QString());
    }

    void aScriptedPlatformStandsInForItsLifetimeOnly()
    {
        Platform* desktop = &CurrentPlatform();
        {
            ScriptedPlatform scripted;
            QCOMPARE(&CurrentPlatform(), static_cast<Platform*>(&scripted));
            {
                ScriptedPlatform inner;
                QCOMPARE(&CurrentPlatform(), static_cast<Platform*>(&inner));
            }
            QCOMPARE(&CurrentPlatform(), static_cast<Platform*>(&scripted));
        }
        QCOMPARE(&CurrentPlatform(), desktop);
    }
};

QTEST_MAIN(PlatformTest)
#include "test_platform.moc"
