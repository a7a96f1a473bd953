// SPDX-License-Identifier: GPL-3.0-or-later
// The style viewer's window: its controls, the tree of items, drawing and zoom. What
// reads and writes files is in frmSTYFiles.cpp.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <algorithm>

#include "core/common/Numbers.h"
#include "ui/platform/Anchors.h"
#include "ui/platform/Platform.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/FontTable.h"
#include "ui/windows/StyPicture.h"
#include "ui/windows/frmSTY.h"

namespace {

using NodeKind = frmSTY::NodeKind;

constexpr int kStripHeight = 50;
// The zoom box's entries and their scales; the choice is kept under this setting.
constexpr std::pair<const char*, int> kZooms[] = {
    {"1x", 1}, {"2x", 2}, {"3x", 3}, {"4x", 4}, {"Fit", StyPicture::kFit}};
const QString kZoomSection = QStringLiteral("STY");
const QString kZoomKey = QStringLiteral("Zoom");

// Where the font is wider than Tahoma, a control grows to show its whole text: to the
// left when it sits against the frame's right edge, otherwise to the right, and about
// its vertical centre.
QRect FittedToText(QWidget* control, bool keepRightEdge)
{
    const QRect place = control->geometry();
    const QSize wanted = control->sizeHint();
    QRect fitted = place;
    if (wanted.width() > place.width()) {
        fitted.setWidth(wanted.width());
        if (keepRightEdge)
            fitted.moveRight(place.right());
    }
    if (wanted.height() > place.height()) {
        fitted.setHeight(wanted.height());
        fitted.moveTop(place.center().y() - wanted.height() / 2);
    }
    return fitted;
}

}  // namespace

frmSTY::frmSTY(QWidget* parent) : EditorWindow(parent, Qt::Window)
{
    // Twips of the layout divided by 15.
    SetUpFixedWindow(this, QStringLiteral("frmSTY"), QStringLiteral("STY Editor"), {600, 336});
    AddStatusLine();
    BuildControls();
    AnchorControls();
    EnableDocuments(QStringLiteral("STY"), cmdRecent);
    UpdateCommands();
    ConnectControls();
    CenterForm(this);
}

frmSTY::~frmSTY()
{
    // The undo steps refer to this window's parts.
    UndoStack().clear();
}

void frmSTY::BuildControls()
{
    Frame1 = Child<QGroupBox>(this, "Frame1", {4, 4, 495, 327}, QStringLiteral("Image"));
    pix = Child<QTreeWidget>(Frame1, "pix", {6, 22, 175, 257});
    pix->setHeaderHidden(true);
    pix->setSelectionMode(QAbstractItemView::SingleSelection);
    pic = Child<StyPicture>(Frame1, "pic", {186, 22, 303, 257});
    lblInfo = Child<QLabel>(Frame1, "lblInfo", {10, 280, 355, 17});
    chkTrans = Child<QCheckBox>(Frame1, "chkTrans", {370, 282, 119, 14}, QStringLiteral("Draw Transparent"));
    chkTrans->setGeometry(FittedToText(chkTrans, true));
    Label1 = Child<QLabel>(Frame1, "Label1", {8, 304, 43, 14}, QStringLiteral("Palette:"));
    Label1->setGeometry(FittedToText(Label1, false));
    txtPal = Child<QLineEdit>(Frame1, "txtPal", {std::max(52, Label1->geometry().right() + 3), 298, 39, 21},
                              QStringLiteral("0"));
    lblZoom = Child<QLabel>(Frame1, "lblZoom", {186, 304, 34, 14}, QStringLiteral("Zoom:"));
    lblZoom->setGeometry(FittedToText(lblZoom, false));
    cmbZoom = Child<QComboBox>(Frame1, "cmbZoom", {lblZoom->geometry().right() + 4, 298, 64, 22});
    for (const auto& [text, scale] : kZooms)
        cmbZoom->addItem(QString::fromLatin1(text), scale);
    const int stored = cmbZoom->findText(CurrentPlatform().ReadSetting(kAppTitle, kZoomSection, kZoomKey));
    cmbZoom->setCurrentIndex(std::max(stored, 0));
    pic->SetZoom(cmbZoom->currentData().toInt());

    const auto button = [this](const char* name, const QString& caption, int top) {
        return Child<QPushButton>(this, name, {502, top, 91, 33}, caption);
    };
    cmdOpen = button("cmdOpen", QStringLiteral("Open..."), 10);
    cmdSave = button("cmdSave", QStringLiteral("Save"), 48);
    cmdSaveAs = button("cmdSaveAs", QStringLiteral("Save As..."), 86);
    cmdRecent = button("cmdRecent", QStringLiteral("Recent Files"), 124);
    cmdExport = button("cmdExport", QStringLiteral("Export"), 172);
    cmdExportAll = button("cmdExportAll", QStringLiteral("Export All..."), 210);
    cmdReplace = button("cmdReplace", QStringLiteral("Replace..."), 248);
}

void frmSTY::AnchorControls()
{
    // The picture takes what the window grows by; the tree only grows taller, the row of
    // fields under them keeps to the bottom and the buttons to the right.
    Anchor(Frame1, Follow::Width | Follow::Height);
    Anchor(pix, Follow::Height);
    Anchor(pic, Follow::Width | Follow::Height);
    Anchor(lblInfo, Follow::Bottom | Follow::Width);
    Anchor(chkTrans, Follow::Right | Follow::Bottom);
    for (QWidget* field : std::initializer_list<QWidget*>{Label1, txtPal, lblZoom, cmbZoom})
        Anchor(field, Follow::Bottom);
    for (QWidget* button :
         std::initializer_list<QWidget*>{cmdOpen, cmdSave, cmdSaveAs, cmdRecent, cmdExport, cmdExportAll, cmdReplace})
        Anchor(button, Follow::Right);
    AllowResizing(this);
}

void frmSTY::ConnectControls()
{
    connect(cmdOpen, &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdSaveAs, &QPushButton::clicked, this, [this] { cmdSaveAs_Click(); });
    connect(cmdExport, &QPushButton::clicked, this, [this] { cmdExport_Click(); });
    connect(cmdExportAll, &QPushButton::clicked, this, [this] { cmdExportAll_Click(); });
    connect(cmdReplace, &QPushButton::clicked, this, [this] { cmdReplace_Click(); });
    connect(cmbZoom, &QComboBox::activated, this, [this] { cmbZoom_Change(); });
    // A shortcut presses its button, which is off whenever the command is.
    PressWith(cmdOpen, {QKeySequence(Qt::CTRL | Qt::Key_O)});
    PressWith(cmdSave, {QKeySequence(Qt::CTRL | Qt::Key_S)});
    PressWith(cmdSaveAs, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    connect(chkTrans, &QCheckBox::clicked, this, [this] { chkTrans_Click(); });
    // Only what the user types picks a palette; the box written after a drawing does not.
    connect(txtPal, &QLineEdit::textEdited, this, [this] { txtPal_Change(); });
    connect(pix, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) { pix_NodeClick(node); });
    connect(pix, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) { pix_CurrentChanged(node); });
    connect(pix, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateCommands(); });
}

void frmSTY::UpdateCommands()
{
    const bool idle = !Busy();
    const bool ready = idle && cSTY;
    const QTreeWidgetItem* node = SelectedNode();
    for (QWidget* command : std::initializer_list<QWidget*>{cmdOpen, pix, txtPal, chkTrans, cmbZoom})
        command->setEnabled(idle);
    for (QWidget* command : std::initializer_list<QWidget*>{cmdSave, cmdSaveAs, cmdExportAll})
        command->setEnabled(ready);
    cmdExport->setEnabled(ready && node && IsItem(KindOfNode(node)));
    cmdReplace->setEnabled(ready && node && IsPicture(KindOfNode(node)));
}

void frmSTY::UpdateCaption()
{
    setWindowTitle(QStringLiteral("STY Editor - %1").arg(QFileInfo(DocumentPath()).fileName()));
}

QTreeWidgetItem* frmSTY::AddNode(QTreeWidgetItem* parent, NodeKind kind, const QString& text, int number)
{
    QTreeWidgetItem* node = new StyNode(kind, text, number);
    if (parent)
        parent->addChild(node);
    else
        pix->addTopLevelItem(node);
    return node;
}

QTreeWidgetItem* frmSTY::CategoryNode(NodeKind kind) const
{
    QTreeWidgetItem* root = pix->topLevelItem(0);
    for (int i = 0; root && i < root->childCount(); ++i)
        if (KindOfNode(root->child(i)) == kind)
            return root->child(i);
    return nullptr;
}

void frmSTY::ResetTree()
{
    pix->clear();
    QTreeWidgetItem* root = AddNode(nullptr, NodeKind::Root, QStringLiteral("Graphics"));
    root->setExpanded(true);
    AddNode(root, NodeKind::Tiles, QStringLiteral("Tiles"));
    AddNode(root, NodeKind::Sprites, QStringLiteral("Sprites"));
    AddNode(root, NodeKind::Palettes, QStringLiteral("Palettes"));
}

void frmSTY::FillTree()
{
    if (cSTY->GetNumOfTiles() == 0)
        delete CategoryNode(NodeKind::Tiles);
    FillCategory(NodeKind::Tiles, NodeKind::Tile, cSTY->GetNumOfTiles());
    FillCategory(NodeKind::Sprites, NodeKind::Sprite, cSTY->GetNumOfSprx());
    FillCategory(NodeKind::Palettes, NodeKind::Palette, cSTY->GetNumOfPals());
    if (cSTY->GetNumOfFonts() == 0)
        return;
    QTreeWidgetItem* fonts = AddNode(pix->topLevelItem(0), NodeKind::Fonts, QStringLiteral("Fonts"));
    for (int f = 0; f < cSTY->GetNumOfFonts(); ++f) {
        const int count = cSTY->FontCharacters(f);
        AddNode(fonts, NodeKind::Font,
                QStringLiteral("Font %1 (%2)").arg(f).arg(FromUtf8(Counted(static_cast<uint64_t>(count), "character"))),
                f);
    }
}

void frmSTY::FillCategory(NodeKind category, NodeKind item, int count)
{
    QTreeWidgetItem* parent = CategoryNode(category);
    if (!parent)
        return;
    QList<QTreeWidgetItem*> items;
    items.reserve(count);
    for (int i = 0; i < count; ++i)
        items << new StyNode(item, QString::number(i), i);
    parent->addChildren(items);  // in one go: thousands of sprites are common
}

QTreeWidgetItem* frmSTY::SelectedNode() const
{
    QTreeWidgetItem* node = pix->currentItem();
    return node && node->isSelected() ? node : nullptr;
}

void frmSTY::pix_CurrentChanged(QTreeWidgetItem* Node)
{
    // Arrow keys move through the items; a mouse click is handled on its release.
    if (pix->hasFocus() && QApplication::mouseButtons() == Qt::NoButton)
        pix_NodeClick(Node);
}

void frmSTY::DrawPaletteStrip(int n)
{
    uint32_t colours[clsSTY::kColours];
    for (int i = 0; i < clsSTY::kColours; ++i)
        colours[i] = cSTY->GetCol(n, i);
    pic->Clear();
    for (int i = 0; i < clsSTY::kColours; ++i)
        pic->DrawLine(i, 0, kStripHeight, colours[i]);
    pic->Show();
    ShowFields(QStringLiteral("Palette %1: %2 colours").arg(n).arg(clsSTY::kColours), QString::number(n));
}

void frmSTY::ShowFont(int n)
{
    std::shared_ptr<const FontTable> table;
    const QString failure = QStringLiteral("Font %1 cannot be shown.\n\n%2").arg(n).arg(QStringLiteral("%1"));
    if (!Attempt(failure, [&] { table = std::make_shared<const FontTable>(*cSTY, n); }))
        return;
    // The table holds its glyphs: it outlives the style should another be opened.
    pic->ShowTable([table](int scale) { return table->Draw(scale); });
    ShowFields(table->Summary(), QString());
}

bool frmSTY::Draw(QTreeWidgetItem* node, int16_t pal)
{
    const NodeKind kind = KindOfNode(node);
    const int n = NumberOfNode(node);
    const QString failure =
        QStringLiteral("%1 %2 cannot be shown.\n\n%3").arg(ItemName(kind), QString::number(n), QStringLiteral("%1"));
    clsSTY::Drawn drawn;
    if (!Attempt(failure, [&] {
            drawn = kind == NodeKind::Tile ? cSTY->RenderTile(n, *pic) : cSTY->RenderSprite(n, *pic, pal);
        }))
        return false;
    pic->Show();
    ShowFields(QStringLiteral("Size: %1x%2").arg(drawn.lWidth).arg(drawn.lHeight), QString::number(drawn.lPal));
    return true;
}

void frmSTY::ShowFields(const QString& info, const QString& pal)
{
    lblInfo->setText(info);
    txtPal->setText(pal);
}

void frmSTY::pix_NodeClick(QTreeWidgetItem* Node)
{
    // The root and the categories draw nothing: what is shown stays, and so do its fields.
    const NodeKind kind = Node ? KindOfNode(Node) : NodeKind::Root;
    if (kind == NodeKind::Palette)
        DrawPaletteStrip(NumberOfNode(Node));
    else if (kind == NodeKind::Font)
        ShowFont(NumberOfNode(Node));
    else if (IsPicture(kind))
        Draw(Node, 0);
}

void frmSTY::txtPal_Change()
{
    // Plain decimal digits, blanks around them ignored; anything else is not a palette.
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    const QString number = txtPal->text().trimmed();
    bool ok = false;
    const int p = digits.match(number).hasMatch() ? number.toInt(&ok) : -1;
    QTreeWidgetItem* node = SelectedNode();
    if (!ok || !node || KindOfNode(node) != NodeKind::Sprite || p >= cSTY->GetNumOfPals())
        return;
    Draw(node, static_cast<int16_t>(p));
}

void frmSTY::chkTrans_Click()
{
    // Kept for the next file too: a load takes it from the box.
    if (!cSTY)
        return;
    cSTY->DrawTransparent(chkTrans->isChecked());
    if (QTreeWidgetItem* node = SelectedNode())
        pix_NodeClick(node);
}

void frmSTY::PutPixels(NodeKind kind, int n, const std::vector<uint8_t>& indices)
{
    Attempt(QStringLiteral("%1"), [&] {
        if (kind == NodeKind::Tile)
            cSTY->ReplaceTile(n, indices);
        else
            cSTY->ReplaceSprite(n, indices);
    });
    QTreeWidgetItem* node = SelectedNode();
    if (node && IsPicture(KindOfNode(node)))
        pix_NodeClick(node);
}

void frmSTY::cmbZoom_Change()
{
    pic->SetZoom(cmbZoom->currentData().toInt());
    CurrentPlatform().WriteSetting(kAppTitle, kZoomSection, kZoomKey, cmbZoom->currentText());
}
