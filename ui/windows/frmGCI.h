// SPDX-License-Identifier: GPL-3.0-or-later
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
// The caption names the open file, the status line what the last command did; the list
// grows with the window.
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
    void SaveDocument(std::function<void()> saved) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class SetValCommand;

    void Form_Load();
    // Reads `path` on a worker; the cars take the place of those shown once the whole
    // file is read, and the status line says `said` with %1 for the file's name. A refused
    // file is told, and the cars shown stay.
    void LoadCarFile(const QString& path, const QString& said);
    void ShowLoaded(std::shared_ptr<clsGCI> cars, const QString& path);
    void FillSelector();
    void SaveCarFile(const QString& path, std::function<void()> saved);
    // Puts `line` back as the car's line i and shows that car with it (an edit, its undo or redo).
    void ShowLine(int car, int i, const std::string& line);
    void UpdateCaption();
    void UpdateCommands() override;
    bool HasCars() const;
    int SelectedCar() const;
    // Whether the car has the line of property i.
    bool HasLine(int car, int i) const;

    // The open file is EditorWindow's DocumentPath(): Save writes there, the caption and
    // the unsaved-changes question name it. A save on a worker holds the cars too.
    std::shared_ptr<clsGCI> cGCI;

    QPushButton* cmdOpen;
    QPushButton* cmdReload;
    QPushButton* cmdSavefile;
    QPushButton* cmdSaveAs;
    QPushButton* cmdRecent;
    QGroupBox* Frame1;
    QComboBox* cmbCars;
    QTreeWidget* lstVals;
};
