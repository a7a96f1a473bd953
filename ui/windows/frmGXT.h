// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <memory>

#include "core/gxt/clsGXT.h"
#include "ui/platform/Platform.h"
#include "ui/windows/EditorWindow.h"
#include "ui/windows/LetterFindings.h"
#include "ui/windows/TextRows.h"

class clsSTY;
class TextPreview;
class QComboBox;
class QLineEdit;
class QPushButton;
class QModelIndex;
class QTreeView;

// "GXT Editor": every key of a text file with its text, a box to change the chosen
// text, Find / Find Again over the texts or the keys, entries added, renamed and
// deleted, Save with a backup, and (when built with libgettextpo) PO export and import.
// Texts are shown through the file's charset, which a drop-down switches. Every edit
// goes through the undo stack; unsaved edits are asked about before they would be lost.
// Text typed into the box is an edit as soon as it differs from the stored text: every
// command, another row and closing take it in first.
//
// For translators: a pane below the box draws the selected (or typed) text in a font of
// the game's font style; Check Letters lists the texts with letters that font cannot
// draw; and a reference file (the one this file translates) adds its texts as a column,
// its keys this file lacks as rows, and a filter for untranslated, missing and extra
// entries.
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
    void cmdReference_Click();
    void cmdCheck_Click();
    void cmdFontStyle_Click();
    void lvwItems_ItemClick(const QModelIndex& Item);
    void txtValue_KeyPress(int KeyAscii);
    void OpenDocument(const QString& path) override;

private:
    class TextEdit;
    class ModelChange;
    // Each entry's key and text as the list shows them, made on a worker.
    using Rows = TextRows::Rows;
    struct LoadedFile;
    struct Imported;

    // With a reference, the rows say how each entry stands against it, and the keys only
    // the reference has follow as rows of their own.
    static Rows RowsOf(const clsGXT& model, const clsGXT* reference, Progress& progress);
    clsGXT& Model();
    // The drop-down's entry for the model's charset.
    int CharsetIndex() const;
    void cboCharset_Change(int index);
    // Reads `path` on a worker with the texts it shows; the file takes the place of the
    // one shown once it is whole. A refused file changes nothing.
    void Load(const QString& path);
    void ShowLoaded(LoadedFile loaded, const QString& path);
    // Shows the model's entries again, their texts made on a worker, and selects `row`
    // (the first when there is no such row).
    void ShowModel(int row);
    void ShowRows(Rows rows, int row);
    // Puts a whole model in place (an undo or redo of a change of entries) and shows it.
    void Restore(const clsGXT& model, int row);
    // Shows entry `row`'s text in its row (and in the box when it is selected).
    void ShowText(int row);
    // Makes the change `change` did to a copy of the model, as one undoable step named
    // `what` (and told in the status line), which selects the row `change` returns and,
    // undone, `rowBefore`. False when the model refused it (the user was told why).
    bool Change(const QString& what, const std::function<int(clsGXT&)>& change, int rowBefore);
    void SaveDocument(std::function<void()> saved) override;
    bool TakePendingEdit() override;
    bool HasPendingEdit() const override;
    // A click or key in the list takes typed text in first; when it is refused, the
    // list stays on its row.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void SaveTo(const QString& path, std::function<void()> saved);
#ifdef KESTROVA_HAVE_PO
    // Asks where the PO file goes and writes it, with the original texts from `source`
    // (none: the file's own).
    void ExportPoWith(std::shared_ptr<const clsGXT> source);
    void TakeImport(Imported imported, const QString& po);
#endif
    void UpdateCaption();
    // Selects entry `row`'s row (showing every entry when the filter hides it), scrolls it
    // into view and shows its value, as a click would. Typed text must have been taken in.
    void ShowRow(int row);
    // The same for the list's row `shown` (-1: none).
    void Select(int shown);
    // The box (and the pane) show the text of boxRow_, or of the missing row selected.
    void ShowBox();
    // The entry the list's row `shown` stands for; 0 for a key only the reference has.
    int EntryAt(int shown) const;
    // The selected row of the list, -1 when none is.
    int SelectedShown() const;
    // The entry selected, 0 when none is.
    int SelectedRow() const;
    // The selected row when it is a key only the reference has.
    const TextRows::Row* SelectedMissing() const;
    // The first row of the list from `from` on whose value (or key) contains `text`,
    // ignoring case; -1 when none.
    int FindFrom(int from, const QString& text) const;
    void Search(const QString& prompt, bool keys);
    // Selects a found row of the list and tells it.
    void Found(int shown);
    void NotFound(const QString& text);
    // The file dialog for Open or Save: starts in the data directory, .gxt files.
    static FileDialogRequest DialogRequest(bool save);
    void UpdateCommands() override;

    void cboFilter_Change(int index);
    // The reference's counts in the status line.
    void ShowCounts();
    // Adds a key only the reference has, with the reference's text, as one edit.
    void AddMissing(const TextRows::Row& missing);
    void ShowInPane();
    // The font style the pane starts with: the one last picked, else the data folder's
    // fstyle.sty; empty when neither is there.
    static QString StoredFontStyle();
    // Reads the style on a worker and hands it to the pane; a `picked` one is remembered.
    void LoadFontStyle(const QString& path, bool picked);
    void ShowFindings(int font, const std::vector<LetterFindings::Finding>& found);
    // A finding was chosen: selects its entry.
    void FindingChosen(int entry, const QString& key);

    QTreeView* lvwItems;
    TextRows* rows_;
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
    QPushButton* cmdReference;
    QComboBox* cboFilter;
    QPushButton* cmdCheck;
    TextPreview* preview_;
    LetterFindings* findings_ = nullptr;  // made at the first check that finds anything

    // None before a file is opened. Work on a worker holds it too while it reads it.
    std::shared_ptr<clsGXT> cGXT;
    // The file this one translates, once opened, and its name.
    std::shared_ptr<const clsGXT> reference_;
    QString referenceName_;
    // The pane's font style; none until one is loaded.
    std::shared_ptr<const clsSTY> fontStyle_;
    bool styleTried_ = false;  // the stored style is looked for at the first file opened
    QString sFindText;
    bool findKeys_ = false;
    bool searched_ = false;
    // The row whose text the box shows, and to which typed text belongs; 0 for none.
    int boxRow_ = 0;
    // A press in the list was refused: its release is not a click either.
    bool refusedPress_ = false;
};
