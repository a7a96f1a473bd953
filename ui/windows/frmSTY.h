#pragma once
#include <memory>
#include <vector>

#include "core/sty/clsSTY.h"
#include "ui/windows/EditorWindow.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class StyPicture;

// "STY Editor": opens a style file, lists its tiles, sprites and physical palettes in
// a tree, draws the chosen one at a chosen scale, exports it or everything as images
// and JASC palettes, takes edited images back into tiles and sprites, and saves the file.
class frmSTY : public EditorWindow {
    Q_OBJECT
public:
    // What a node of the tree stands for; kept in the node with its number.
    enum class NodeKind { Root, Tiles, Sprites, Palettes, Tile, Sprite, Palette };

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

    void Form_Load();
    // The model, made on first use and kept for every file opened here.
    clsSTY& Model();
    QTreeWidgetItem* SelectedNode() const;
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, NodeKind kind, const QString& text, int number = 0);
    QTreeWidgetItem* CategoryNode(NodeKind kind) const;
    void FillTree();
    void FillCategory(NodeKind category, NodeKind item, int count);
    void DrawPaletteStrip(int n);
    // Draws the tile or sprite of `node` with palette `pal` (0: its own); false when it cannot be shown.
    bool Draw(QTreeWidgetItem* node, int16_t pal);
    void ShowDrawn();
    void UpdateCommands() override;
    void UpdateCaption();
    void pix_CurrentChanged(QTreeWidgetItem* Node);
    // New pixels for a tile or sprite, from an undo step; the selected item is drawn again.
    void PutPixels(NodeKind kind, int n, const std::vector<uint8_t>& indices);
    bool SaveDocument() override;
    bool SaveTo(const QString& path);

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

    std::unique_ptr<clsSTY> cSTY;
    // The last tile or sprite drawn: its size and palette are what the texts show.
    clsSTY::Drawn shown_;
    bool exportReady_ = false;  // once a file has been opened
};
