#include "windows/frmGXT.h"

#include "app/modGTA2Qt.h"

frmGXT::frmGXT(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmGXT"));
    setWindowTitle(QStringLiteral("GXT Editor"));
    resize(480, 320);
    setFont(TahomaFont(9));
    CenterForm(this);
}
