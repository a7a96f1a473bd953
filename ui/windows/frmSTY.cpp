#include "ui/windows/frmSTY.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
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
#include "core/sty/clsSTY.h"
#include "ui/platform/Platform.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/StyPicture.h"

namespace {

const QString kRoot = QStringLiteral("root");
const QString kTiles = QStringLiteral("tiles");
const QString kSprites = QStringLiteral("sprites");
const QString kPals = QStringLiteral("pals");
const QString kBmpFilter = QStringLiteral("BMP Files (*.bmp)|*.bmp");
const QString kPalFilter = QStringLiteral("PAL Files (*.pal)|*.pal");
constexpr int kStripHeight = 50;

QString Key(const QTreeWidgetItem* node)
{
    return node ? node->data(0, Qt::UserRole).toString() : QString();
}

QString ParentText(const QTreeWidgetItem* node)
{
    return node && node->parent() ? node->parent()->text(0) : QString();
}

// Where the font is wider than Tahoma, a control grows to show its whole text: to the
// left when it sits against the frame's right edge, otherwise to the right, and about
// its vertical centre.
QRect FittedToText(QWidget* control, const QRect& place, bool keepRightEdge)
{
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

// What a failure says to the user: a FileError already names its file.
QString Reason(const std::exception& e)
{
    return FromUtf8(e.what());
}

}  // namespace

frmSTY::frmSTY(QWidget* parent) : QWidget(parent, Qt::Window)
{
    // Twips of the layout divided by 15.
    SetUpFixedWindow(this, QStringLiteral("frmSTY"), QStringLiteral("STY Editor"), {600, 336});

    Frame1 = new QGroupBox(QStringLiteral("Image"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(4, 4, 495, 327);

    pix = new QTreeWidget(Frame1);
    pix->setObjectName(QStringLiteral("pix"));
    pix->setGeometry(6, 22, 175, 257);
    pix->setHeaderHidden(true);
    pix->setSelectionMode(QAbstractItemView::SingleSelection);

    pic = new StyPicture(Frame1);
    pic->setObjectName(QStringLiteral("pic"));
    pic->setGeometry(186, 22, 303, 257);

    lblInfo = new QLabel(Frame1);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setGeometry(10, 280, 355, 17);

    chkTrans = new QCheckBox(QStringLiteral("Draw Transparent"), Frame1);
    chkTrans->setObjectName(QStringLiteral("chkTrans"));
    chkTrans->setGeometry(FittedToText(chkTrans, {370, 282, 119, 14}, true));

    Label1 = new QLabel(QStringLiteral("Palette:"), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(FittedToText(Label1, {8, 304, 43, 14}, false));

    txtPal = new QLineEdit(QStringLiteral("0"), Frame1);
    txtPal->setObjectName(QStringLiteral("txtPal"));
    txtPal->setGeometry(std::max(52, Label1->geometry().right() + 3), 298, 39, 21);
    txtPal->installEventFilter(this);

    cmdOpen = new QPushButton(QStringLiteral("Open..."), this);
    cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    cmdOpen->setGeometry(502, 10, 91, 33);

    cmdExport = new QPushButton(QStringLiteral("Export"), this);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));
    cmdExport->setGeometry(502, 48, 91, 33);
    cmdExport->setEnabled(false);

    connect(cmdOpen, &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(cmdExport, &QPushButton::clicked, this, [this] { cmdExport_Click(); });
    connect(chkTrans, &QCheckBox::clicked, this, [this] { chkTrans_Click(); });
    connect(txtPal, &QLineEdit::textChanged, this, [this] { txtPal_Change(); });
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

void frmSTY::Tell(const QString& text)
{
    CurrentPlatform().Message(this, text, windowTitle(), MessageIcon::Warning);
}

void frmSTY::SetCommandsEnabled(bool enabled)
{
    cmdOpen->setEnabled(enabled);
    cmdExport->setEnabled(enabled && exportReady_);
    pix->setEnabled(enabled);
    txtPal->setEnabled(enabled);
    chkTrans->setEnabled(enabled);
}

void frmSTY::closeEvent(QCloseEvent* event)
{
    // The load runs on this window's model; it must finish first.
    if (loading_)
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void frmSTY::cmdOpen_Click()
{
    if (loading_)
        return;
    const QString path = CurrentPlatform().OpenFileName(
        this, {FromUtf8(sDataPath()), QString(), QStringLiteral("STY Files (*.sty)|*.sty"), false});
    if (path.isEmpty())
        return;

    // The model keeps the previous file when the load is refused, and so does the tree.
    QString failure;
    loading_ = true;
    SetCommandsEnabled(false);
    try {
        Model().LoadSTY(ToUtf8(path));
    } catch (const std::exception& e) {
        failure = Reason(e);
    }
    loading_ = false;
    SetCommandsEnabled(true);
    if (!failure.isEmpty()) {
        Tell(QStringLiteral("The style file could not be opened.\n\n%1").arg(failure));
        return;
    }

    ResetTree();
    FillTree();
    exportReady_ = true;
    cmdExport->setEnabled(true);
}

QTreeWidgetItem* frmSTY::AddNode(QTreeWidgetItem* parent, const QString& key, const QString& text)
{
    auto* node = new QTreeWidgetItem(QStringList{text});
    if (!key.isEmpty())
        node->setData(0, Qt::UserRole, key);
    if (parent)
        parent->addChild(node);
    else
        pix->addTopLevelItem(node);
    return node;
}

QTreeWidgetItem* frmSTY::NodeByKey(const QString& key) const
{
    for (QTreeWidgetItemIterator it(pix); *it; ++it)
        if (Key(*it) == key)
            return *it;
    return nullptr;
}

void frmSTY::ResetTree()
{
    pix->clear();
    QTreeWidgetItem* root = AddNode(nullptr, kRoot, QStringLiteral("Graphics"));
    root->setExpanded(true);
    AddNode(root, kTiles, QStringLiteral("Tiles"));
    AddNode(root, kSprites, QStringLiteral("Sprites"));
    AddNode(root, kPals, QStringLiteral("Palettes"));
}

void frmSTY::FillTree()
{
    const clsSTY& sty = Model();
    if (sty.GetNumOfTiles() == 0)
        delete NodeByKey(kTiles);
    auto fill = [this](const QString& key, int count) {
        QTreeWidgetItem* category = NodeByKey(key);
        if (!category)
            return;
        QList<QTreeWidgetItem*> items;
        items.reserve(count);
        for (int i = 0; i < count; ++i)
            items << new QTreeWidgetItem(QStringList{QString::number(i)});
        category->addChildren(items);  // in one go: thousands of sprites are common
    };
    fill(kTiles, sty.GetNumOfTiles());
    fill(kSprites, sty.GetNumOfSprx());
    fill(kPals, sty.GetNumOfPals());
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

void frmSTY::pix_NodeClick(QTreeWidgetItem* Node)
{
    if (!Node || loading_ || Key(Node) == kRoot)
        return;
    const QString parentText = ParentText(Node);
    const int n = Node->text(0).toInt();
    try {
        if (parentText == QLatin1String("Tiles")) {
            Model().RenderTile(n, *pic);
        } else if (parentText == QLatin1String("Sprites")) {
            Model().RenderSprite(n, *pic, 0);
        } else if (parentText == QLatin1String("Palettes")) {
            DrawPaletteStrip(n);
            return;  // the size and palette of the last tile or sprite stay shown
        }
    } catch (const std::exception& e) {
        Tell(QStringLiteral("%1 %2 cannot be shown.\n\n%3").arg(parentText.chopped(1), Node->text(0), Reason(e)));
        return;
    }
    pic->Show();
    const clsSTY& sty = Model();
    lblInfo->setText(QStringLiteral("Size: %1x%2").arg(sty.lWidth()).arg(sty.lHeight()));
    txtPal->setText(QString::number(sty.lPal()));
}

bool frmSTY::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtPal && event->type() == QEvent::KeyPress)
        txtPal_KeyPress();
    return QWidget::eventFilter(watched, event);
}

void frmSTY::txtPal_KeyPress()
{
    typed_ = true;
}

void frmSTY::txtPal_Change()
{
    const QString text = txtPal->text();
    if (text.isEmpty() || !typed_)
        return;
    typed_ = false;
    if (loading_ || !cSTY)
        return;

    // Plain decimal digits, blanks around them ignored; anything else is not a palette.
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    const QString number = text.trimmed();
    bool ok = false;
    const int p = digits.match(number).hasMatch() ? number.toInt(&ok) : -1;
    QTreeWidgetItem* node = SelectedNode();
    if (!ok || !node || ParentText(node) != QLatin1String("Sprites") || p >= cSTY->GetNumOfPals())
        return;
    try {
        cSTY->RenderSprite(node->text(0).toInt(), *pic, static_cast<int16_t>(p));
    } catch (const std::exception& e) {
        Tell(QStringLiteral("Sprite %1 cannot be shown.\n\n%2").arg(node->text(0), Reason(e)));
        return;
    }
    pic->Show();
}

void frmSTY::chkTrans_Click()
{
    if (loading_)
        return;
    Model().DrawTransparent(chkTrans->isChecked());
    QTreeWidgetItem* node = SelectedNode();
    if (node && !node->text(0).isEmpty())
        pix_NodeClick(node);
}

void frmSTY::cmdExport_Click()
{
    if (loading_ || !cSTY)
        return;
    QTreeWidgetItem* node = SelectedNode();
    if (!node || Key(node) == kRoot)
        return;
    // A category node names no item: there is nothing to export.
    const QString kind = Key(node->parent());
    const QString number = node->text(0);
    QString name;
    QString filter;
    if (kind == kTiles) {
        name = QStringLiteral("Tile%1.bmp").arg(number);
        filter = kBmpFilter;
    } else if (kind == kSprites) {
        name = QStringLiteral("Sprite%1.bmp").arg(number);
        filter = kBmpFilter;
    } else if (kind == kPals) {
        name = QStringLiteral("Pal%1.pal").arg(number);
        filter = kPalFilter;
    } else {
        return;
    }

    const QString path = CurrentPlatform().SaveFileName(this, {FromUtf8(sDataPath()), name, filter, true});
    if (path.isEmpty())
        return;
    const int n = number.toInt();
    try {
        if (kind == kTiles)
            cSTY->SaveTile(ToUtf8(path), n);
        else if (kind == kSprites)
            cSTY->SaveSprite(ToUtf8(path), n);
        else
            SavePal(ToUtf8(path), *cSTY, n);
    } catch (const FileError& e) {
        Tell(QStringLiteral("%1 could not be written.\n\n%2").arg(FromUtf8(e.File()), FromUtf8(e.Problem())));
    } catch (const std::exception& e) {
        Tell(QStringLiteral("%1 could not be written.\n\n%2").arg(path, Reason(e)));
    }
}
