#include "ui/windows/frmSTY.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <algorithm>

#include "core/common/PathRules.h"
#include "core/io/FileError.h"
#include "core/sty/StyExport.h"
#include "ui/platform/Platform.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/StyPicture.h"

namespace {

using NodeKind = frmSTY::NodeKind;

constexpr int kKindRole = Qt::UserRole;
constexpr int kNumberRole = Qt::UserRole + 1;
const QString kBmpFilter = QStringLiteral("BMP Files (*.bmp)|*.bmp");
const QString kPalFilter = QStringLiteral("PAL Files (*.pal)|*.pal");
constexpr int kStripHeight = 50;

QTreeWidgetItem* NewNode(NodeKind kind, const QString& text, int number)
{
    auto* node = new QTreeWidgetItem(QStringList{text});
    node->setData(0, kKindRole, static_cast<int>(kind));
    node->setData(0, kNumberRole, number);
    return node;
}

NodeKind KindOf(const QTreeWidgetItem* node)
{
    return static_cast<NodeKind>(node->data(0, kKindRole).toInt());
}

int NumberOf(const QTreeWidgetItem* node)
{
    return node->data(0, kNumberRole).toInt();
}

bool IsItem(NodeKind kind)
{
    return kind == NodeKind::Tile || kind == NodeKind::Sprite || kind == NodeKind::Palette;
}

// How an item is named in messages and in the file name an export offers.
QString ItemName(NodeKind kind)
{
    return kind == NodeKind::Tile     ? QStringLiteral("Tile")
           : kind == NodeKind::Sprite ? QStringLiteral("Sprite")
                                      : QStringLiteral("Pal");
}

void Export(clsSTY& sty, NodeKind kind, int n, const std::string& path)
{
    if (kind == NodeKind::Tile)
        sty.SaveTile(path, n);
    else if (kind == NodeKind::Sprite)
        sty.SaveSprite(path, n);
    else
        SavePal(path, sty, n);
}

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
    cmdOpen = Child<QPushButton>(this, "cmdOpen", {502, 10, 91, 33}, QStringLiteral("Open..."));
    cmdExport = Child<QPushButton>(this, "cmdExport", {502, 48, 91, 33}, QStringLiteral("Export"));
    cmdRecent = Child<QPushButton>(this, "cmdRecent", {502, 86, 91, 33}, QStringLiteral("Recent Files"));
    EnableDocuments(QStringLiteral("STY"), cmdRecent);
    UpdateCommands();

    connect(cmdOpen, &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(cmdExport, &QPushButton::clicked, this, [this] { cmdExport_Click(); });
    connect(chkTrans, &QCheckBox::clicked, this, [this] { chkTrans_Click(); });
    // Only what the user types picks a palette; the box written after a drawing does not.
    connect(txtPal, &QLineEdit::textEdited, this, [this] { txtPal_Change(); });
    connect(pix, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) { pix_NodeClick(node); });
    connect(pix, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) { pix_CurrentChanged(node); });

    Form_Load();
}

frmSTY::~frmSTY() = default;

void frmSTY::Form_Load()
{
    CenterForm(this);
}

clsSTY& frmSTY::Model()
{
    if (!cSTY)
        cSTY = std::make_unique<clsSTY>();
    return *cSTY;
}

void frmSTY::UpdateCommands()
{
    cmdOpen->setEnabled(!Busy());
    cmdExport->setEnabled(!Busy() && exportReady_);
    pix->setEnabled(!Busy());
    txtPal->setEnabled(!Busy());
    chkTrans->setEnabled(!Busy());
}

void frmSTY::cmdOpen_Click()
{
    if (Busy())
        return;
    const QString path = CurrentPlatform().OpenFileName(
        this, {FromUtf8(sDataPath()), QString(), QStringLiteral("STY Files (*.sty)|*.sty"), false});
    if (!path.isEmpty())
        OpenDocument(path);
}

void frmSTY::OpenDocument(const QString& path)
{
    if (Busy() || !MaybeSave())
        return;
    // The model keeps the previous file when the load is refused, and so does the tree.
    if (!Run(QStringLiteral("The style file could not be opened.\n\n%1"), [&] { Model().LoadSTY(ToUtf8(path)); }))
        return;
    DocumentLoaded(path);
    ResetTree();
    FillTree();
    exportReady_ = true;
    UpdateCommands();
}

QTreeWidgetItem* frmSTY::AddNode(QTreeWidgetItem* parent, NodeKind kind, const QString& text, int number)
{
    QTreeWidgetItem* node = NewNode(kind, text, number);
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
        if (KindOf(root->child(i)) == kind)
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
    const clsSTY& sty = Model();
    if (sty.GetNumOfTiles() == 0)
        delete CategoryNode(NodeKind::Tiles);
    FillCategory(NodeKind::Tiles, NodeKind::Tile, sty.GetNumOfTiles());
    FillCategory(NodeKind::Sprites, NodeKind::Sprite, sty.GetNumOfSprx());
    FillCategory(NodeKind::Palettes, NodeKind::Palette, sty.GetNumOfPals());
}

void frmSTY::FillCategory(NodeKind category, NodeKind item, int count)
{
    QTreeWidgetItem* parent = CategoryNode(category);
    if (!parent)
        return;
    QList<QTreeWidgetItem*> items;
    items.reserve(count);
    for (int i = 0; i < count; ++i)
        items << NewNode(item, QString::number(i), i);
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
    const clsSTY& sty = Model();
    uint32_t colours[clsSTY::kColours];
    for (int i = 0; i < clsSTY::kColours; ++i)
        colours[i] = sty.GetCol(n, i);
    pic->Clear();
    for (int i = 0; i < clsSTY::kColours; ++i)
        pic->DrawLine(i, 0, kStripHeight, colours[i]);
    pic->Show();
}

bool frmSTY::Draw(QTreeWidgetItem* node, int16_t pal)
{
    const NodeKind kind = KindOf(node);
    const int n = NumberOf(node);
    const QString failure =
        QStringLiteral("%1 %2 cannot be shown.\n\n%3").arg(ItemName(kind), QString::number(n), QStringLiteral("%1"));
    return Attempt(failure, [&] {
        shown_ = kind == NodeKind::Tile ? Model().RenderTile(n, *pic) : Model().RenderSprite(n, *pic, pal);
    });
}

void frmSTY::ShowDrawn()
{
    pic->Show();
    lblInfo->setText(QStringLiteral("Size: %1x%2").arg(shown_.lWidth).arg(shown_.lHeight));
    txtPal->setText(QString::number(shown_.lPal));
}

void frmSTY::pix_NodeClick(QTreeWidgetItem* Node)
{
    if (!Node || Busy())
        return;
    switch (KindOf(Node)) {
        case NodeKind::Root:
            return;
        case NodeKind::Palette:
            DrawPaletteStrip(NumberOf(Node));
            return;  // the size and palette of the last tile or sprite stay shown
        case NodeKind::Tile:
        case NodeKind::Sprite:
            if (!Draw(Node, 0))
                return;
            break;
        default:
            break;  // a category draws nothing; the last drawing's size and palette are shown again
    }
    ShowDrawn();
}

void frmSTY::txtPal_Change()
{
    if (Busy() || !cSTY)
        return;
    // Plain decimal digits, blanks around them ignored; anything else is not a palette.
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    const QString number = txtPal->text().trimmed();
    bool ok = false;
    const int p = digits.match(number).hasMatch() ? number.toInt(&ok) : -1;
    QTreeWidgetItem* node = SelectedNode();
    if (!ok || !node || KindOf(node) != NodeKind::Sprite || p >= cSTY->GetNumOfPals())
        return;
    if (Draw(node, static_cast<int16_t>(p)))
        pic->Show();
}

void frmSTY::chkTrans_Click()
{
    if (Busy())
        return;
    Model().DrawTransparent(chkTrans->isChecked());
    if (QTreeWidgetItem* node = SelectedNode())
        pix_NodeClick(node);
}

void frmSTY::cmdExport_Click()
{
    QTreeWidgetItem* node = SelectedNode();
    // The root and the categories name no item: there is nothing to export.
    if (Busy() || !cSTY || !node || !IsItem(KindOf(node)))
        return;
    const NodeKind kind = KindOf(node);
    const int n = NumberOf(node);
    const bool palette = kind == NodeKind::Palette;
    const QString name =
        ItemName(kind) + QString::number(n) + (palette ? QStringLiteral(".pal") : QStringLiteral(".bmp"));
    const QString path =
        CurrentPlatform().SaveFileName(this, {FromUtf8(sDataPath()), name, palette ? kPalFilter : kBmpFilter, true});
    if (path.isEmpty())
        return;
    const Wording notWritten = [&path](const std::exception& e) {
        const auto* file = dynamic_cast<const FileError*>(&e);
        return UserMessage{QStringLiteral("%1 could not be written.\n\n%2")
                               .arg(file ? FromUtf8(file->File()) : path, FromUtf8(file ? file->Problem() : e.what()))};
    };
    Attempt(notWritten, [&] { Export(*cSTY, kind, n, ToUtf8(path)); });
}
