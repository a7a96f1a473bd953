#pragma once
#include <QString>
#include <memory>

#include "core/gxt/clsGXT.h"
#include "ui/platform/Platform.h"
#include "ui/windows/EditorWindow.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// "GXT Editor": every key of a text file with its text, a box to change the chosen
// text, Find / Find Again over the texts, and Save with a backup. Texts are shown one
// byte a character, as Latin-1.
class frmGXT : public EditorWindow {
    Q_OBJECT
public:
    explicit frmGXT(QWidget* parent = nullptr);
    ~frmGXT() override;

    void cmdOpen_Click();
    void OpenDocument(const QString& path) override;
    void cmdSave_Click();
    void cmdFind_Click();
    void cmdFinda_Click();
    void lvwItems_ItemClick(QTreeWidgetItem* Item);
    void txtValue_KeyPress(int KeyAscii);

private:
    clsGXT& Model();
    void FillList();
    // Selects the row, scrolls it into view and shows its value, as a click would.
    void ShowRow(int row);
    // The 1-based position of the selected row, 0 when none is.
    int SelectedRow() const;
    // The first row from `from` on whose value contains `text`, ignoring case; 0 when none.
    int FindFrom(int from, const QString& text) const;
    void NotFound();
    // The file dialog for Open or Save: starts in the data directory, .gxt files.
    static FileDialogRequest DialogRequest(bool save);
    void UpdateCommands() override;

    QTreeWidget* lvwItems;
    QLineEdit* txtValue;
    QPushButton* cmdOpen;
    QPushButton* cmdSave;
    QPushButton* cmdFind;
    QPushButton* cmdFinda;
    QPushButton* cmdRecent;

    std::unique_ptr<clsGXT> cGXT;
    QString sFindText;
    bool loaded_ = false;
    bool searched_ = false;
};
