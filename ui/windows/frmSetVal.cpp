// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windows/frmSetVal.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <stdexcept>

#include "core/gci/GCIProperties.h"
#include "core/gci/GCIValueText.h"
#include "ui/platform/Platform.h"
#include "ui/platform/modGTA2Qt.h"

frmSetVal::frmSetVal(QWidget* parent) : QDialog(parent, Qt::Dialog | kFixedBorder)
{
    SetUpFixedWindow(this, QStringLiteral("frmSetVal"), QStringLiteral("Change Setting..."), {313, 100});

    cmdOk = Child<QPushButton>(this, "cmdOk", {220, 6, 87, 25}, QStringLiteral("Ok"));
    cmdOk->setDefault(true);
    cmdCancel = Child<QPushButton>(this, "cmdCancel", {220, 35, 87, 25}, QStringLiteral("Cancel"));
    sVal = Child<QSlider>(this, "sVal", {6, 6, 207, 25}, Qt::Horizontal);
    tVal = Child<QLineEdit>(this, "tVal", {6, 37, 207, 21});
    lblInfo = Child<QLabel>(this, "lblInfo", {6, 64, 301, 15});
    lblRange = Child<QLabel>(this, "lblRange", {6, 81, 301, 15});

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
    const int lower = WholeNumberOf(vMin.toStdString()), upper = WholeNumberOf(vMax.toStdString());
    const bool decimal = iValIdx >= kFirstDecimal;
    const auto shown = [decimal](int limit) {
        return decimal ? QString::fromStdString(FormatThousandths(limit)) : QString::number(limit);
    };
    iValIdx_ = iValIdx;
    lblRange->setText(QStringLiteral("Allowed: %1 to %2").arg(shown(lower), shown(upper)));
    if (decimal) {
        sVal->setMaximum(upper);
        sVal->setMinimum(lower);
        // A value that is no number, or lies past a limit, puts the slider at the nearest
        // limit; the text field below still shows the value as the file holds it.
        sVal->setValue(ThousandthsWithin(ToBytes(vCurrent), sVal->minimum(), sVal->maximum()));
    } else {
        sVal->setEnabled(false);
    }
    tVal->setText(vCurrent);
    // Typing replaces the value, and Enter (Ok is the default button) confirms it.
    tVal->selectAll();
    tVal->setFocus();
    lblInfo->setText(sInfo);
    vSetValResult = vCurrent;
}

void frmSetVal::cmdOk_Click()
{
    // The value as it was given stays what it was, even one the game's rules would refuse
    // in a file from elsewhere; a changed one must be a value the game reads.
    if (tVal->text() != vSetValResult) {
        try {
            CarValueText(iValIdx_, ToBytes(tVal->text()));
        } catch (const std::invalid_argument& refused) {
            CurrentPlatform().Message(this, FromBytes(refused.what()) + '.', windowTitle(), MessageIcon::Warning);
            tVal->selectAll();
            tVal->setFocus();
            return;
        }
    }
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
