#include "ui/windows/frmSetVal.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include "core/gci/GCIValueText.h"
#include "ui/platform/modGTA2Qt.h"

namespace {
// The first property with a decimal value; those below it are typed.
constexpr int kFirstDecimal = 5;
}  // namespace

frmSetVal::frmSetVal(QWidget* parent) : QDialog(parent, Qt::Dialog | kFixedBorder)
{
    SetUpFixedWindow(this, QStringLiteral("frmSetVal"), QStringLiteral("Change Setting..."), {313, 83});

    cmdOk = Child<QPushButton>(this, "cmdOk", {220, 6, 87, 25}, QStringLiteral("Ok"));
    cmdOk->setDefault(true);
    cmdCancel = Child<QPushButton>(this, "cmdCancel", {220, 35, 87, 25}, QStringLiteral("Cancel"));
    sVal = Child<QSlider>(this, "sVal", {6, 6, 207, 25}, Qt::Horizontal);
    tVal = Child<QLineEdit>(this, "tVal", {6, 37, 207, 21});
    lblInfo = Child<QLabel>(this, "lblInfo", {6, 64, 301, 15});

    setTabOrder(cmdOk, cmdCancel);
    setTabOrder(cmdCancel, sVal);
    setTabOrder(sVal, tVal);

    connect(cmdOk, &QPushButton::clicked, this, &frmSetVal::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSetVal::cmdCancel_Click);
    connect(sVal, &QSlider::valueChanged, this, &frmSetVal::sVal_Change);
    CenterForm(this);
}

void frmSetVal::Prepare(const QString& vMin, const QString& vMax, const QString& sInfo, const QString& vCurrent,
                        int iValIdx)
{
    if (iValIdx >= kFirstDecimal) {
        sVal->setMaximum(WholeNumberOf(vMax.toStdString()));
        sVal->setMinimum(WholeNumberOf(vMin.toStdString()));
        // A value that is no number, or lies past a limit, puts the slider at the nearest
        // limit; the text field below still shows the value as the file holds it.
        sVal->setValue(ThousandthsWithin(ToBytes(vCurrent), sVal->minimum(), sVal->maximum()));
    } else {
        sVal->setEnabled(false);
    }
    tVal->setText(vCurrent);
    lblInfo->setText(sInfo);
    vSetValResult = vCurrent;
}

void frmSetVal::cmdOk_Click()
{
    vSetValResult = tVal->text();
    accept();
}

void frmSetVal::cmdCancel_Click()
{
    reject();
}

void frmSetVal::sVal_Change()
{
    sVal_Scroll();
}

void frmSetVal::sVal_Scroll()
{
    // Always a ".": the game's files use it whatever the system's locale says, and a ","
    // written into a value would break them.
    sVal->setToolTip(QString::fromStdString(FormatThousandths(sVal->value())));
    tVal->setText(sVal->toolTip());
}

QString AskValue(const QString& vMin, const QString& vMax, const QString& sInfo, const QString& vCurrent, int iValIdx,
                 QWidget* parent)
{
    frmSetVal dialog(parent);
    dialog.Prepare(vMin, vMax, sInfo, vCurrent, iValIdx);
    dialog.exec();
    return dialog.Result();
}
