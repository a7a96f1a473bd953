// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

#include "app/Version.h"
#include "ui/platform/Artwork.h"
#include "ui/platform/InstanceLink.h"
#include "ui/platform/QtPlatform.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/frmMain.h"

namespace {

void Describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral("Opens each FILE in the editor its kind calls for."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A .gci, .gxt, .sty or .gmp file."),
                                 QStringLiteral("[FILE...]"));
}

// --help and --version are answered before the window system is asked for: they must
// work in a terminal without a display, where QApplication would end the program.
void AnswerHelpOrVersion(int argc, char* argv[])
{
    const QCoreApplication terminal(argc, argv);
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays version information."));
    QCommandLineParser parser;
    Describe(parser);
    parser.addOption(version);
    // Qt's own options (-platform, -style) are not known here: such a line is left to
    // QApplication, which takes them out first.
    if (!parser.parse(QCoreApplication::arguments()))
        return;
    if (parser.isSet(version)) {
        std::fputs(qPrintable(VersionText(QStringLiteral("kestrova"))), stdout);
        std::exit(0);
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(kAppTitle);
    QCoreApplication::setApplicationVersion(QStringLiteral(KESTROVA_VERSION));
    AnswerHelpOrVersion(argc, argv);

    QApplication app(argc, argv);
    QApplication::setWindowIcon(MakeAppIcon());
    QApplication::setDesktopFileName(QStringLiteral("kestrova"));

    QCommandLineParser parser;
    Describe(parser);
    parser.addVersionOption();
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

    // Closing the launcher only hides it, so that a later start can bring it back; the
    // program ends when its last window is closed.
    frmMain launcher;
    launcher.show();
    InstanceServer server([&launcher](const QStringList& handed) { launcher.TakeHandOver(handed); });
    // Without the socket this program still works; later starts just open their own.
    if (!server.Listen(name))
        qWarning("Kestrova: later starts will open their own window: %s", qPrintable(server.Error()));
    launcher.OpenFiles(files);
    return app.exec();
}
