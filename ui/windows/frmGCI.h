#pragma once
#include <QString>
#include <memory>

#include "core/gci/clsGCI.h"
#include "ui/windows/EditorWindow.h"

class QComboBox;
class QGroupBox;
class QPushButton;
class QTreeWidget;

// "GCI Car Editor": open a car file, choose a car, see its 22 properties, change them one
// at a time through frmSetVal (Enter, F2 or a double-click; each change can be undone),
// save with a backup, save under another name (which then becomes the open file), reload.
// The caption names the open file.
class frmGCI : public EditorWindow {
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

    void OpenDocument(const QString& path) override;

protected:
    bool SaveDocument() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class SetValCommand;

    void Form_Load();
    // Loads `path` into the model; tells the user and returns false when it cannot.
    bool LoadCarFile(const QString& path);
    void FillSelector();
    bool SaveCarFile(const QString& path);
    // Puts `line` back as the car's line i and shows that car with it (an edit, its undo or redo).
    void ShowLine(int car, int i, const std::string& line);
    void UpdateCaption();
    void UpdateCommands() override;
    bool HasCars() const;
    int SelectedCar() const;
    // Whether the car has the line of property i.
    bool HasLine(int car, int i) const;

    // The open file is EditorWindow's DocumentPath(): Save writes there, the caption and
    // the unsaved-changes question name it.
    std::unique_ptr<clsGCI> cGCI;

    QPushButton* cmdOpen;
    QPushButton* cmdReload;
    QPushButton* cmdSavefile;
    QPushButton* cmdSaveAs;
    QPushButton* cmdRecent;
    QGroupBox* Frame1;
    QComboBox* cmbCars;
    QTreeWidget* lstVals;
};
