#pragma once
#include <memory>

#include "core/sty/clsSTY.h"
#include "ui/windows/EditorWindow.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class StyPicture;

// "STY Editor": opens a style file, lists its tiles, sprites and physical palettes in
// a tree, draws the chosen one, and exports it as a bitmap or a JASC palette.
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

private:
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
    void pix_CurrentChanged(QTreeWidgetItem* Node);

    QGroupBox* Frame1 = nullptr;
    QTreeWidget* pix = nullptr;
    StyPicture* pic = nullptr;
    QLabel* lblInfo = nullptr;
    QCheckBox* chkTrans = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtPal = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdExport = nullptr;
    QPushButton* cmdRecent = nullptr;

    std::unique_ptr<clsSTY> cSTY;
    // The last tile or sprite drawn: its size and palette are what the texts show.
    clsSTY::Drawn shown_;
    bool exportReady_ = false;  // once a file has been opened
};
