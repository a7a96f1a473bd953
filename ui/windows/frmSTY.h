#pragma once
#include <QWidget>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class StyPicture;
class clsSTY;

// "STY Editor": opens a style file, lists its tiles, sprites and physical palettes in
// a tree, draws the chosen one, and exports it as a bitmap or a JASC palette.
class frmSTY : public QWidget {
    Q_OBJECT
public:
    explicit frmSTY(QWidget* parent = nullptr);
    ~frmSTY() override;

    void cmdOpen_Click();
    void ResetTree();
    void pix_NodeClick(QTreeWidgetItem* Node);
    void txtPal_KeyPress();
    void txtPal_Change();
    void chkTrans_Click();
    void cmdExport_Click();

    // Set by a key press in the palette box, cleared when its change handler uses it.
    bool Typed() const { return typed_; }
    bool Loading() const { return loading_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    // The model, made on first use and kept for every file opened here.
    clsSTY& Model();
    QTreeWidgetItem* SelectedNode() const;
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& key, const QString& text);
    QTreeWidgetItem* NodeByKey(const QString& key) const;
    void FillTree();
    void DrawPaletteStrip(int n);
    // While a load runs, the progress updates let events through; nothing may start then.
    void SetCommandsEnabled(bool enabled);
    void Tell(const QString& text);
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

    std::unique_ptr<clsSTY> cSTY;
    bool typed_ = false;
    bool loading_ = false;
    bool exportReady_ = false;  // once a file has been opened
};
