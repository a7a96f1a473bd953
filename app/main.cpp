#include <QApplication>

#include "app/Artwork.h"
#include "app/QtPlatform.h"
#include "app/modGTA2Qt.h"
#include "windows/frmMain.h"
#include "windows/frmProgress.h"

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
