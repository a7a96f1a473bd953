#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QPointer>

#include "ui/platform/Artwork.h"
#include "ui/platform/InstanceLink.h"
#include "ui/platform/QtPlatform.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/frmMain.h"
#include "ui/windows/frmProgress.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(kAppTitle);
    QApplication::setApplicationVersion(QStringLiteral(KESTROVA_VERSION));
    QApplication::setWindowIcon(MakeAppIcon());
    QApplication::setDesktopFileName(QStringLiteral("kestrova"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Opens each FILE in the editor its kind calls for."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A .gci, .gxt, .sty or .gmp file."),
                                 QStringLiteral("[FILE...]"));
    parser.process(app);
    // The running program has its own working folder.
    QStringList files;
    for (const QString& file : parser.positionalArguments())
        files << QFileInfo(file).absoluteFilePath();

    const QString name = InstanceName();
    if (HandOverFiles(name, files))
        return 0;

    QtPlatform desktop;
    InstallPlatform(&desktop);
    ProgressWindowReporter progress;
    InstallProgressReporter(&progress);
    InstallMessageBoxes();

    QPointer<frmMain> launcher = new frmMain;
    launcher->setAttribute(Qt::WA_DeleteOnClose);
    launcher->show();
    InstanceServer server([launcher](const QStringList& handed) {
        if (!launcher)
            return;
        launcher->raise();
        launcher->activateWindow();
        launcher->OpenFiles(handed);
    });
    // Without the socket this program still works; later starts just open their own.
    if (!server.Listen(name))
        qWarning("Kestrova: later starts will open their own window: %s", qPrintable(server.Error()));
    launcher->OpenFiles(files);
    return app.exec();
}
