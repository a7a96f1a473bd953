#include "windows/frmSTY.h"

#include "app/modGTA2Qt.h"

frmSTY::frmSTY(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmSTY"));
    setWindowTitle(QStringLiteral("STY Editor"));
    resize(480, 320);
    setFont(TahomaFont(9));
    CenterForm(this);
}
