#include "ui/windows/frmSTY.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QTreeWidget>
#include <QUndoCommand>
#include <algorithm>

#include "core/common/PathRules.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"
#include "core/sty/StyExport.h"
#include "images/StyImages.h"
#include "ui/platform/Platform.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/StyPicture.h"

namespace {

using NodeKind = frmSTY::NodeKind;

const QString kImageFilter = QStringLiteral("BMP Files (*.bmp)|*.bmp|PNG Files (*.png)|*.png");
const QString kPalFilter = QStringLiteral("PAL Files (*.pal)|*.pal");
const QString kStyFilter = QStringLiteral("STY Files (*.sty)|*.sty");
const QString kReadableImages = QStringLiteral("Images (*.png *.bmp)|*.png;*.bmp");
constexpr int kStripHeight = 50;
// The zoom box's entries and their scales; the choice is kept under this setting.
constexpr std::pair<const char*, int> kZooms[] = {
    {"1x", 1}, {"2x", 2}, {"3x", 3}, {"4x", 4}, {"Fit", StyPicture::kFit}};
const QString kZoomSection = QStringLiteral("STY");
const QString kZoomKey = QStringLiteral("Zoom");

// Every node of the tree, holding what it is and which one. Kept as members rather than
// item data: data beyond the text costs each item two more allocations, and a style
// file has thousands of sprites, filled in and thrown away on every open.
class Node : public QTreeWidgetItem {
public:
    Node(NodeKind kind, const QString& text, int number)
        : QTreeWidgetItem(QStringList{text}, UserType), kind(kind), number(number)
    {
    }
    const NodeKind kind;
    const int number;
};

QTreeWidgetItem* NewNode(NodeKind kind, const QString& text, int number)
{
    return new Node(kind, text, number);
}

// The tree holds nothing but Nodes.
const Node& AsNode(const QTreeWidgetItem* node)
{
    return *static_cast<const Node*>(node);
}

NodeKind KindOf(const QTreeWidgetItem* node)
{
    return AsNode(node).kind;
}

int NumberOf(const QTreeWidgetItem* node)
{
    return AsNode(node).number;
}

// A tile or a sprite: an item with pixels, drawn as a picture and replaceable.
bool IsPicture(NodeKind kind)
{
    return kind == NodeKind::Tile || kind == NodeKind::Sprite;
}

bool IsItem(NodeKind kind)
{
    return IsPicture(kind) || kind == NodeKind::Palette;
}

// How an item is named in messages and in the file name an export offers.
QString ItemName(NodeKind kind)
{
    return kind == NodeKind::Tile     ? QStringLiteral("Tile")
           : kind == NodeKind::Sprite ? QStringLiteral("Sprite")
                                      : QStringLiteral("Pal");
}

StyItem ItemOf(NodeKind kind)
{
    return kind == NodeKind::Tile ? StyItem::Tile : kind == NodeKind::Sprite ? StyItem::Sprite : StyItem::Palette;
}

// "Sprite 3", "Tiles 4 and 7", "Sprites 1, 5 and 9".
QString Items(const QString& kind, const std::vector<int>& numbers)
{
    QStringList shown;
    for (int n : numbers)
        shown << QString::number(n);
    const QString last = shown.takeLast();
    if (shown.isEmpty())
        return kind + QLatin1Char(' ') + last;
    return kind + QStringLiteral("s ") + shown.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

// What a failed write says: the file it names, and why.
UserMessage NotWritten(const QString& path, const std::exception& e)
{
    const auto* file = dynamic_cast<const FileError*>(&e);
    return UserMessage{QStringLiteral("%1 could not be written.\n\n%2")
                           .arg(file ? FromUtf8(file->File()) : path, FromUtf8(file ? file->Problem() : e.what()))};
}

// The summary at the end of an export of all.
UserMessage Summary(const ExportResult& result, std::size_t total, const QString& folder)
{
    const auto count = [](int n, const char* one, const char* many) {
        return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
    };
    QString text =
        QStringLiteral("Written to %1: %2, %3 and %4.")
            .arg(QDir::toNativeSeparators(folder), count(result.written[0], "tile", "tiles"),
                 count(result.written[1], "sprite", "sprites"), count(result.written[2], "palette", "palettes"));
    const int done = result.written[0] + result.written[1] + result.written[2];
    if (result.cancelled)
        text += QStringLiteral("\n\nCancelled after %1 of %2 files.").arg(done + result.failures.size()).arg(total);
    if (!result.stoppedBy.isEmpty())
        text += QStringLiteral("\n\nThe export stopped: %1").arg(result.stoppedBy);
    if (!result.failures.isEmpty())
        text += QStringLiteral("\n\nNot written:\n") + result.failures.join(QLatin1Char('\n'));
    const bool clean = result.failures.isEmpty() && result.stoppedBy.isEmpty() && !result.cancelled;
    return {text, QString(), clean ? MessageIcon::Information : MessageIcon::Warning};
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

// New pixels for one tile or sprite; undoing puts the old ones back.
class frmSTY::Replacement : public QUndoCommand {
public:
    Replacement(frmSTY& window, NodeKind kind, int n, std::vector<uint8_t> before, std::vector<uint8_t> after)
        : QUndoCommand(QStringLiteral("Replace %1 %2").arg(ItemName(kind)).arg(n)),
          window_(window),
          kind_(kind),
          n_(n),
          before_(std::move(before)),
          after_(std::move(after))
    {
    }
    void undo() override { window_.PutPixels(kind_, n_, before_); }
    void redo() override { window_.PutPixels(kind_, n_, after_); }

private:
    frmSTY& window_;
    NodeKind kind_;
    int n_;
    std::vector<uint8_t> before_, after_;
};

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
    EnableDocuments(QStringLiteral("STY"), cmdRecent);
    UpdateCommands();

    connect(cmdOpen, &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdSaveAs, &QPushButton::clicked, this, [this] { cmdSaveAs_Click(); });
    connect(cmdExport, &QPushButton::clicked, this, [this] { cmdExport_Click(); });
    connect(cmdExportAll, &QPushButton::clicked, this, [this] { cmdExportAll_Click(); });
    connect(cmdReplace, &QPushButton::clicked, this, [this] { cmdReplace_Click(); });
    connect(cmbZoom, &QComboBox::activated, this, [this] { cmbZoom_Change(); });
    for (auto [keys, command] : {std::pair{QKeySequence(QKeySequence::Open), &frmSTY::cmdOpen_Click},
                                 {QKeySequence(QKeySequence::Save), &frmSTY::cmdSave_Click},
                                 {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &frmSTY::cmdSaveAs_Click}})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, command);
    connect(chkTrans, &QCheckBox::clicked, this, [this] { chkTrans_Click(); });
    // Only what the user types picks a palette; the box written after a drawing does not.
    connect(txtPal, &QLineEdit::textEdited, this, [this] { txtPal_Change(); });
    connect(pix, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) { pix_NodeClick(node); });
    connect(pix, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) { pix_CurrentChanged(node); });
    connect(pix, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateCommands(); });

    Form_Load();
}

frmSTY::~frmSTY()
{
    // The undo steps refer to this window's parts.
    UndoStack().clear();
}

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
    const bool ready = !Busy() && exportReady_;
    const QTreeWidgetItem* node = SelectedNode();
    const bool picture = node && IsPicture(KindOf(node));
    for (QWidget* command : std::initializer_list<QWidget*>{cmdOpen, pix, txtPal, chkTrans, cmbZoom})
        command->setEnabled(!Busy());
    for (QWidget* command : std::initializer_list<QWidget*>{cmdSave, cmdSaveAs, cmdExport, cmdExportAll})
        command->setEnabled(ready);
    cmdReplace->setEnabled(ready && picture);
}

void frmSTY::UpdateCaption()
{
    setWindowTitle(QStringLiteral("STY Editor - %1").arg(QFileInfo(DocumentPath()).fileName()));
}

void frmSTY::cmdOpen_Click()
{
    if (Busy())
        return;
    const QString path = CurrentPlatform().OpenFileName(this, {FromUtf8(sDataPath()), QString(), kStyFilter, false});
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
    UpdateCaption();
    ResetTree();
    FillTree();
    exportReady_ = true;
    UpdateCommands();
}

void frmSTY::cmdSave_Click()
{
    if (!Busy() && exportReady_)
        SaveDocument();
}

void frmSTY::cmdSaveAs_Click()
{
    if (Busy() || !exportReady_)
        return;
    const QString path = CurrentPlatform().SaveFileName(
        this, {FromUtf8(sDataPath()), QFileInfo(DocumentPath()).fileName(), kStyFilter, true});
    if (!path.isEmpty())
        SaveTo(path);
}

bool frmSTY::SaveDocument()
{
    return exportReady_ && SaveTo(DocumentPath());
}

bool frmSTY::SaveTo(const QString& path)
{
    if (!Run(QStringLiteral("The style file was not saved.\n\n%1"), [&] { Model().SaveSTY(ToUtf8(path)); }))
        return false;
    DocumentSaved(path);
    UpdateCaption();
    return true;
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
        CurrentPlatform().SaveFileName(this, {FromUtf8(sDataPath()), name, palette ? kPalFilter : kImageFilter, true});
    if (path.isEmpty())
        return;
    const bool png = path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
    Attempt([&path](const std::exception& e) { return NotWritten(path, e); },
            [&] {
                RefuseToOverwrite(ToUtf8(path), ToUtf8(DocumentPath()));
                ExportItem(*cSTY, ItemOf(kind), n, ToUtf8(path), png, cSTY->DrawTransparent());
            });
}

void frmSTY::cmdExportAll_Click()
{
    if (Busy() || !cSTY || !exportReady_)
        return;
    Platform& platform = CurrentPlatform();
    const QString folder = platform.FolderName(this, FromUtf8(sDataPath()));
    if (folder.isEmpty())
        return;
    const std::optional<int> format = platform.Choose(this, QStringLiteral("Write the tiles and sprites as:"),
                                                      Caption(), {QStringLiteral("PNG"), QStringLiteral("BMP")});
    if (!format)
        return;
    const bool png = *format == 0;
    const std::vector<ExportEntry> entries =
        ExportEntries(*cSTY, png, {StyItem::Tile, StyItem::Sprite, StyItem::Palette});
    const QDir into(folder);
    QStringList taken;
    for (const ExportEntry& entry : entries)
        if (QFileInfo::exists(into.filePath(entry.name)))
            taken << entry.name;
    const QString question = QStringLiteral(
        "%1 of the %2 files to write are already in %3, among them %4.\n\n"
        "Replace them?");
    if (!taken.isEmpty() &&
        !platform.Confirm(
            this, question.arg(taken.size()).arg(entries.size()).arg(QDir::toNativeSeparators(folder), taken[0]),
            Caption()))
        return;

    QProgressDialog progress(QStringLiteral("Exporting..."), QStringLiteral("Cancel"), 0,
                             static_cast<int>(entries.size()), this);
    progress.setObjectName(QStringLiteral("dlgExportAll"));
    progress.setWindowTitle(Caption());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    ExportResult result;
    Run(QStringLiteral("%1"), [&] {
        result = ExportAll(*cSTY, entries, folder, png, cSTY->DrawTransparent(), [&](int done, const QString& next) {
            progress.setValue(done);
            progress.setLabelText(QStringLiteral("Writing %1...").arg(next));
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        });
    });
    progress.reset();
    Tell(Summary(result, entries.size(), folder));
}

void frmSTY::cmdReplace_Click()
{
    QTreeWidgetItem* node = SelectedNode();
    if (Busy() || !cSTY || !node || !IsPicture(KindOf(node)))
        return;
    const NodeKind kind = KindOf(node);
    const int n = NumberOf(node);
    const QString item = ItemName(kind) + QLatin1Char(' ') + QString::number(n);
    ItemPixels now;
    QList<QRgb> colours;
    if (!Attempt(item + QStringLiteral(" cannot be replaced.\n\n%1"), [&] {
            now = PixelsOf(*cSTY, ItemOf(kind), n);
            colours = PaletteColours(*cSTY, now.pal);
        }))
        return;
    const int count = kind == NodeKind::Tile ? cSTY->GetNumOfTiles() : cSTY->GetNumOfSprx();
    const QString path = CurrentPlatform().OpenFileName(
        this, {FromUtf8(sDataPath()), ExportName(ItemOf(kind), n, count, true), kReadableImages, false});
    if (path.isEmpty())
        return;
    const QString name = QFileInfo(path).fileName();
    const QString unchanged = QStringLiteral("\n\n%1 was not changed.").arg(item);
    const QSize wanted(now.width, now.height);
    ImageFile got = ReadIndices(path, wanted, colours);
    switch (got.refusal) {
        case ImageFile::Refusal::None:
            break;
        case ImageFile::Refusal::WrongSize:
            return Tell(QStringLiteral("%1 is %2 x %3 pixels, but the image %4 is %5 x %6.")
                            .arg(item)
                            .arg(wanted.width())
                            .arg(wanted.height())
                            .arg(name)
                            .arg(got.size.width())
                            .arg(got.size.height()) +
                        unchanged);
        case ImageFile::Refusal::Unreadable:
            return Tell(QStringLiteral("%1 could not be read as an image: %2.").arg(path, got.why) + unchanged);
        case ImageFile::Refusal::Unmatched:
            return Tell(QStringLiteral("%1 does not fit the palette of %2 (physical palette %3). %4")
                            .arg(name, item)
                            .arg(now.pal)
                            .arg(got.why) +
                        unchanged);
    }
    UndoStack().push(new Replacement(*this, kind, n, std::move(now.indices), std::move(got.indices)));
    QString done = QStringLiteral("%1 now has the pixels of %2.").arg(item, name);
    if (kind == NodeKind::Sprite) {
        const std::vector<int> sharing = cSTY->SpritesSharingPixels(n);
        if (!sharing.empty())
            done += QStringLiteral("\n\n%1 %2 pixels with it, so %3 changed too.")
                        .arg(Items(QStringLiteral("Sprite"), sharing),
                             sharing.size() == 1 ? QStringLiteral("shares") : QStringLiteral("share"),
                             sharing.size() == 1 ? QStringLiteral("it") : QStringLiteral("they"));
    }
    Tell(done, MessageIcon::Information);
}

void frmSTY::PutPixels(NodeKind kind, int n, const std::vector<uint8_t>& indices)
{
    Attempt(QStringLiteral("%1"), [&] {
        if (kind == NodeKind::Tile)
            Model().ReplaceTile(n, indices);
        else
            Model().ReplaceSprite(n, indices);
    });
    QTreeWidgetItem* node = SelectedNode();
    if (node && IsPicture(KindOf(node)))
        pix_NodeClick(node);
}

void frmSTY::cmbZoom_Change()
{
    if (Busy())
        return;
    pic->SetZoom(cmbZoom->currentData().toInt());
    CurrentPlatform().WriteSetting(kAppTitle, kZoomSection, kZoomKey, cmbZoom->currentText());
}
