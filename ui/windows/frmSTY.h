// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>
#include <memory>
#include <vector>

#include "core/sty/clsSTY.h"
#include "ui/windows/EditorWindow.h"
#include "ui/windows/StyNodes.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class StyPicture;

// "STY Editor": opens a style file, lists its tiles, sprites, physical palettes and
// fonts in a tree, draws the chosen one at a chosen scale, exports it or everything as images
// and JASC palettes, takes edited images back into tiles and sprites, and saves the file.
//
// frmSTY.cpp holds the window, its tree, drawing and zoom; frmSTYFiles.cpp what reads
// and writes files: open, save, the exports and replace, each on a worker.
class frmSTY : public EditorWindow {
    Q_OBJECT
public:
    using NodeKind = StyNodeKind;

    explicit frmSTY(QWidget* parent = nullptr);
    ~frmSTY() override;

    void cmdOpen_Click();
    void OpenDocument(const QString& path) override;
    void ResetTree();
    void pix_NodeClick(QTreeWidgetItem* Node);
    void txtPal_Change();
    void chkTrans_Click();
    void cmdExport_Click();
    void cmdExportAll_Click();
    void cmdReplace_Click();
    void cmdSave_Click();
    void cmdSaveAs_Click();
    void cmbZoom_Change();

private:
    class Replacement;

    // The window, the tree and the drawing (frmSTY.cpp).
    void BuildControls();
    void AnchorControls();
    void ConnectControls();
    QTreeWidgetItem* SelectedNode() const;
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, NodeKind kind, const QString& text, int number = 0);
    QTreeWidgetItem* CategoryNode(NodeKind kind) const;
    void FillTree();
    void FillCategory(NodeKind category, NodeKind item, int count);
    // Each drawing shows, under the picture, what it drew: `info` and the palette in `pal`.
    void DrawPaletteStrip(int n);
    void ShowFont(int n);
    // Draws the tile or sprite of `node` with palette `pal` (0: its own); false when it cannot be shown.
    bool Draw(QTreeWidgetItem* node, int16_t pal);
    void ShowFields(const QString& info, const QString& pal);
    void UpdateCommands() override;
    void UpdateCaption();
    void pix_CurrentChanged(QTreeWidgetItem* Node);
    // New pixels for a tile or sprite, from an undo step; the selected item is drawn again.
    void PutPixels(NodeKind kind, int n, const std::vector<uint8_t>& indices);

    // Files (frmSTYFiles.cpp).
    void Load(const QString& path);
    // A style read whole from `path` takes the place of the one shown.
    void ShowLoaded(std::shared_ptr<clsSTY> style, const QString& path);
    void SaveDocument(std::function<void()> saved) override;
    void SaveTo(const QString& path, std::function<void()> saved);
    // Whether the export may go into `folder`: none of its files are there, or the user
    // agreed to replace them.
    // What Export All is to write, and which of those names the folder has already.
    struct ExportPlan {
        std::vector<ExportEntry> entries;
        QStringList taken;
        bool stopped;  // the user asked to stop meanwhile
    };
    bool MayReplace(const QString& folder, const ExportPlan& plan);
    void ExportAllInto(const QString& folder, bool png, std::vector<ExportEntry> entries);
    // The image read for a replacement of item n: its pixels go in as one undoable step,
    // or the user is told why not.
    void TakeImage(NodeKind kind, int n, ItemPixels now, ImageFile got, const QString& path);
    // Where exports and Replace's dialog start: the folder last exported to, else the data folder.
    QString ExportFolder() const;
    // `what` was exported into `folder`: it is remembered, and the status line says so.
    void ExportedTo(const QString& folder, const QString& what);
    // What the user is told of a replacement that went in.
    QString Replaced(NodeKind kind, int n, const QString& image) const;

    QGroupBox* Frame1 = nullptr;
    QTreeWidget* pix = nullptr;
    StyPicture* pic = nullptr;
    QLabel* lblInfo = nullptr;
    QCheckBox* chkTrans = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtPal = nullptr;
    QLabel* lblZoom = nullptr;
    QComboBox* cmbZoom = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdSaveAs = nullptr;
    QPushButton* cmdRecent = nullptr;
    QPushButton* cmdExport = nullptr;
    QPushButton* cmdExportAll = nullptr;
    QPushButton* cmdReplace = nullptr;

    // None before a file is opened. Work on a worker holds it too while it reads it.
    std::shared_ptr<clsSTY> cSTY;
};
