// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// Options: the one setting, the GTA2 directory, typed or picked with Browse. Modeless;
// stores on Ok, where an empty path means none.
class frmOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmOptions(QWidget* parent = nullptr);

    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdBrowse_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTabWidget* SSTab1;
    QGroupBox* Frame1;
    QLabel* Label1;
    QLineEdit* txtDir;
    QPushButton* cmdBrowse;
    QPushButton* cmdOk;
    QPushButton* cmdCancel;
};
