#include <QApplication>

#include "ui/platform/Artwork.h"
#include "ui/platform/QtPlatform.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/frmMain.h"
#include "ui/windows/frmProgress.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(kAppTitle);
    QApplication::setWindowIcon(MakeAppIcon());

    QtPlatform desktop;
    InstallPlatform(&desktop);
    ProgressWindowReporter progress;
    InstallProgressReporter(&progress);
    InstallMessageBoxes();

    auto* launcher = new frmMain;
    launcher->setAttribute(Qt::WA_DeleteOnClose);
    launcher->show();
    return app.exec();
}
