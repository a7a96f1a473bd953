#pragma once
#include <QString>
#include <QWidget>
#include <memory>

#include "core/common/modGTA2.h"
#include "core/gci/clsGCI.h"

class QComboBox;
class QGroupBox;
class QPushButton;
class QTreeWidget;

// "GCI Car Editor": open a car file, choose a car, see its 22 properties, change them one
// at a time through frmSetVal, save with a backup, save under another name, reload.
class frmGCI : public QWidget {
    Q_OBJECT
public:
    explicit frmGCI(QWidget* parent = nullptr);
    ~frmGCI() override;

    void cmdOpen_Click();
    void cmdReload_Click();
    void cmdSavefile_Click();
    void cmdSaveAs_Click();
    void cmbCars_Click();
    void lstVals_DblClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class Busy;

    void Form_Load();
    // Loads `path` into the model; tells the user and returns false when it cannot.
    bool LoadCarFile(const QString& path);
    void FillSelector();
    void SaveCarFile(const QString& path);
    void UpdateCommands();
    int SelectedCar() const;
    void Tell(const QString& text, MessageIcon icon);

    std::unique_ptr<clsGCI> cGCI;
    QString sCarFile;
    // A load or save is running; its progress updates let events in, which must not
    // start another one.
    bool busy_ = false;

    QPushButton* cmdOpen;
    QPushButton* cmdReload;
    QPushButton* cmdSavefile;
    QPushButton* cmdSaveAs;
    QGroupBox* Frame1;
    QComboBox* cmbCars;
    QTreeWidget* lstVals;
};
