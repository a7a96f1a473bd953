// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

// "Change Setting...": the one modal window. Decimal properties (index above 4) get a
// slider in thousandths that writes the value into the text field; the others are typed.
// The text field's content is the answer; Ok refuses a changed value the game could not
// read (CarValueText), saying what the property takes.
class frmSetVal : public QDialog {
    Q_OBJECT
public:
    explicit frmSetVal(QWidget* parent = nullptr);

    // Readies the dialog for one property: slider range and position, the current value
    // in the text field exactly as given and selected, the information text (which
    // property of which car), the allowed range, and vCurrent as the answer until Ok
    // says otherwise. Limits of decimal properties are whole thousandths.
    void Prepare(const QString& vMin, const QString& vMax, const QString& sInfo, const QString& vCurrent, int iValIdx);

    // The text field's content after Ok; otherwise the value Prepare was given.
    const QString& Result() const { return vSetValResult; }

    void cmdOk_Click();
    void cmdCancel_Click();
    void sVal_Change();
    void sVal_Scroll();

private:
    QPushButton* cmdOk;
    QPushButton* cmdCancel;
    QSlider* sVal;
    QLineEdit* tVal;
    QLabel* lblInfo;
    QLabel* lblRange;
    QString vSetValResult;
    int iValIdx_ = 0;
};

// Shows frmSetVal for one property and waits until it closes. Returns the text field's
// content when the user pressed Ok (vCurrent itself, or a value CarValueText takes),
// vCurrent unchanged otherwise (Cancel, Esc, closing).
QString AskValue(const QString& vMin, const QString& vMax, const QString& sInfo, const QString& vCurrent, int iValIdx,
                 QWidget* parent = nullptr);
