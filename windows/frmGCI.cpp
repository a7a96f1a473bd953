#include "windows/frmGCI.h"

#include "app/modGTA2Qt.h"

frmGCI::frmGCI(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmGCI"));
    setWindowTitle(QStringLiteral("GCI Car Editor"));
    resize(480, 320);
    setFont(TahomaFont(9));
    CenterForm(this);
}
