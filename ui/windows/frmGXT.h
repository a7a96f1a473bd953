#pragma once
#include <QString>
#include <memory>

#include "core/gxt/clsGXT.h"
#include "ui/platform/Platform.h"
#include "ui/windows/EditorWindow.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// "GXT Editor": every key of a text file with its text, a box to change the chosen
// text, Find / Find Again over the texts or the keys, entries added, renamed and
// deleted, Save with a backup, and (when built with libgettextpo) PO export and import.
// Texts are shown through the file's charset, which a drop-down switches. Every edit
// goes through the undo stack; unsaved edits are asked about before they would be lost.
// Text typed into the box is an edit as soon as it differs from the stored text: every
// command, another row and closing take it in first.
class frmGXT : public EditorWindow {
    Q_OBJECT
public:
    explicit frmGXT(QWidget* parent = nullptr);
    ~frmGXT() override;

    void cmdOpen_Click();
    void cmdSave_Click();
    void cmdSaveAs_Click();
    void cmdFind_Click();
    void cmdFindKey_Click();
    void cmdFinda_Click();
    void cmdAdd_Click();
    void cmdRename_Click();
    void cmdDelete_Click();
#ifdef KESTROVA_HAVE_PO
    void cmdExportPo_Click();
    void cmdImportPo_Click();
#endif
    void lvwItems_ItemClick(QTreeWidgetItem* Item);
    void txtValue_KeyPress(int KeyAscii);
    void OpenDocument(const QString& path) override;

private:
    class TextEdit;
    class ModelChange;

    clsGXT& Model();
    void Load(const QString& path);
    void FillList();
    // Puts a whole model in place (an undo or redo of a change of entries) and shows it.
    void Restore(const clsGXT& model, int row);
    // Shows entry `row`'s text in its row (and in the box when it is selected).
    void ShowText(int row);
    // Makes the change `change` did to a copy of the model, as one undoable step.
    void Change(const QString& what, const std::function<int(clsGXT&)>& change);
    bool SaveDocument() override;
    bool TakePendingEdit() override;
    bool HasPendingEdit() const override;
    // A click or key in the list takes typed text in first; when it is refused, the
    // list stays on its row.
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool SaveTo(const QString& path);
    void UpdateCaption();
    // Selects the row, scrolls it into view and shows its value, as a click would. Typed
    // text must have been taken in.
    void ShowRow(int row);
    // The 1-based position of the selected row, 0 when none is.
    int SelectedRow() const;
    // The first row from `from` on whose value (or key) contains `text`, ignoring case; 0 when none.
    int FindFrom(int from, const QString& text) const;
    void Search(const QString& prompt, bool keys);
    void NotFound();
    // The file dialog for Open or Save: starts in the data directory, .gxt files.
    static FileDialogRequest DialogRequest(bool save);
    void UpdateCommands() override;

    QTreeWidget* lvwItems;
    QLineEdit* txtValue;
    QPushButton* cmdOpen;
    QPushButton* cmdRecent;
    QPushButton* cmdSave;
    QPushButton* cmdSaveAs;
    QPushButton* cmdFind;
    QPushButton* cmdFinda;
    QPushButton* cmdFindKey;
    QPushButton* cmdAdd;
    QPushButton* cmdRename;
    QPushButton* cmdDelete;
    QPushButton* cmdExportPo = nullptr;
    QPushButton* cmdImportPo = nullptr;
    QComboBox* cboCharset;

    std::unique_ptr<clsGXT> cGXT;
    QString path_;
    QString sFindText;
    bool findKeys_ = false;
    bool loaded_ = false;
    bool searched_ = false;
    // The row whose text the box shows, and to which typed text belongs; 0 for none.
    int boxRow_ = 0;
    // A press in the list was refused: its release is not a click either.
    bool refusedPress_ = false;
};
