// SPDX-License-Identifier: GPL-3.0-or-later
// The style viewer's file commands: open, save, export one item or all of them, and
// replace an item's pixels with an image. The dialogs are asked on the window's thread;
// reading and writing runs on a worker, which holds the style while it reads it.

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTreeWidget>
#include <QUndoCommand>

#include "core/common/Numbers.h"
#include "core/common/PathRules.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"
#include "images/StyImages.h"
#include "ui/platform/Platform.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/frmSTY.h"

namespace {

using NodeKind = frmSTY::NodeKind;

// PNG first: the name offered is the one Export All gives in its first format.
const QString kImageFilter = QStringLiteral("PNG Files (*.png)|*.png|BMP Files (*.bmp)|*.bmp");
const QString kPalFilter = QStringLiteral("PAL Files (*.pal)|*.pal");
const QString kStyFilter = QStringLiteral("STY Files (*.sty)|*.sty");
const QString kReadableImages = QStringLiteral("Images (*.png *.bmp)|*.png;*.bmp");
const QString kSection = QStringLiteral("STY");
const QString kExportFolderKey = QStringLiteral("ExportFolder");

// How many items of the kind the style has: the width of the numbers in export names.
int CountOf(const clsSTY& style, NodeKind kind)
{
    return kind == NodeKind::Tile     ? style.GetNumOfTiles()
           : kind == NodeKind::Sprite ? style.GetNumOfSprx()
                                      : style.GetNumOfPals();
}

QString Count(int n)
{
    return FromUtf8(Grouped(static_cast<uint64_t>(n)));
}

// "1 file", "1,830 files".
QString Counted(int n, const char* thing)
{
    return FromUtf8(::Counted(static_cast<uint64_t>(n), thing));
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

// What an export of all that did not write everything tells.
UserMessage Summary(const ExportResult& result, std::size_t total, const QString& folder)
{
    QString text = QStringLiteral("Written to %1: %2, %3 and %4.")
                       .arg(QDir::toNativeSeparators(folder), Counted(result.written[0], "tile"),
                            Counted(result.written[1], "sprite"), Counted(result.written[2], "palette"));
    const int done = result.written[0] + result.written[1] + result.written[2];
    if (result.cancelled)
        text += QStringLiteral("\n\nCancelled after %1 of %2 files.").arg(done + result.failures.size()).arg(total);
    if (!result.stoppedBy.isEmpty())
        text += QStringLiteral("\n\nThe export stopped: %1").arg(result.stoppedBy);
    if (!result.failures.isEmpty())
        text += QStringLiteral("\n\nNot written:\n") + result.failures.join(QLatin1Char('\n'));
    return {text, QString(), MessageIcon::Warning};
}

// Why an image read for a replacement is refused; empty when it is taken.
QString Refusal(const ImageFile& got, const QString& item, QSize wanted, const QString& path, int16_t pal)
{
    const QString name = QFileInfo(path).fileName();
    switch (got.refusal) {
        case ImageFile::Refusal::None:
            return {};
        case ImageFile::Refusal::WrongSize:
            return QStringLiteral("%1 is %2 x %3 pixels, but the image %4 is %5 x %6.")
                .arg(item)
                .arg(wanted.width())
                .arg(wanted.height())
                .arg(name)
                .arg(got.size.width())
                .arg(got.size.height());
        case ImageFile::Refusal::Unreadable:
            return QStringLiteral("%1 could not be read as an image: %2.").arg(path, got.why);
        case ImageFile::Refusal::Unmatched:
            return QStringLiteral("%1 does not fit the palette of %2 (physical palette %3). %4")
                .arg(name, item)
                .arg(pal)
                .arg(got.why);
    }
    return {};
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

void frmSTY::cmdOpen_Click()
{
    const QString path = CurrentPlatform().OpenFileName(this, {FromUtf8(sDataPath()), QString(), kStyFilter, false});
    if (!path.isEmpty())
        OpenDocument(path);
}

void frmSTY::OpenDocument(const QString& path)
{
    WhenEditsMayGo([this, path] { Load(path); });
}

void frmSTY::Load(const QString& path)
{
    // A refused file changes nothing: the style shown stays, and so does the tree. A large
    // file's load can be cancelled.
    RunInBackground(
        QStringLiteral("The style file could not be opened.\n\n%1"),
        [file = ToUtf8(path), transparent = chkTrans->isChecked()](Progress& progress) {
            auto style = std::make_shared<clsSTY>();
            style->LoadSTY(file, progress);
            style->DrawTransparent(transparent);
            return style;
        },
        [this, path](std::shared_ptr<clsSTY> style) { ShowLoaded(std::move(style), path); }, true);
}

QString frmSTY::ExportFolder() const
{
    const QString folder = CurrentPlatform().ReadSetting(kAppTitle, kSection, kExportFolderKey);
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : FromUtf8(sDataPath());
}

void frmSTY::ExportedTo(const QString& folder, const QString& what)
{
    CurrentPlatform().WriteSetting(kAppTitle, kSection, kExportFolderKey, folder);
    ShowStatus(QStringLiteral("Exported %1 to %2.").arg(what, QDir::toNativeSeparators(folder)));
}

void frmSTY::ShowLoaded(std::shared_ptr<clsSTY> style, const QString& path)
{
    cSTY = std::move(style);
    DocumentLoaded(path);
    UpdateCaption();
    ResetTree();
    FillTree();
    UpdateCommands();
    ShowStatus(QStringLiteral("Opened %1: %2, %3, %4 and %5.")
                   .arg(QFileInfo(path).fileName(), Counted(cSTY->GetNumOfTiles(), "tile"),
                        Counted(cSTY->GetNumOfSprx(), "sprite"), Counted(cSTY->GetNumOfPals(), "palette"),
                        Counted(cSTY->GetNumOfFonts(), "font")));
}

void frmSTY::cmdSave_Click()
{
    SaveDocument([] {});
}

void frmSTY::cmdSaveAs_Click()
{
    const QString path = CurrentPlatform().SaveFileName(
        this, {FromUtf8(sDataPath()), QFileInfo(DocumentPath()).fileName(), kStyFilter, true});
    if (!path.isEmpty())
        SaveTo(path, [] {});
}

void frmSTY::SaveDocument(std::function<void()> saved)
{
    if (cSTY)
        SaveTo(DocumentPath(), std::move(saved));
}

void frmSTY::SaveTo(const QString& path, std::function<void()> saved)
{
    RunInBackground(
        QStringLiteral("The style file was not saved.\n\n%1"),
        [style = std::shared_ptr<const clsSTY>(cSTY), file = ToUtf8(path)](Progress&) { style->SaveSTY(file); },
        [this, path, saved] {
            DocumentSaved(path);
            UpdateCaption();
            ShowStatus(QStringLiteral("Saved %1.").arg(QFileInfo(path).fileName()));
            saved();
        });
}

void frmSTY::cmdExport_Click()
{
    QTreeWidgetItem* node = SelectedNode();
    // The root and the categories name no item: there is nothing to export.
    if (!node || !IsItem(KindOfNode(node)))
        return;
    const NodeKind kind = KindOfNode(node);
    const int n = NumberOfNode(node);
    const bool palette = kind == NodeKind::Palette;
    const QString name = ExportName(ItemOf(kind), n, CountOf(*cSTY, kind), true);
    const QString path =
        CurrentPlatform().SaveFileName(this, {ExportFolder(), name, palette ? kPalFilter : kImageFilter, true});
    if (path.isEmpty())
        return;
    const bool png = path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
    RunInBackground([path](const std::exception& e) { return NotWritten(path, e); },
                    [style = cSTY, item = ItemOf(kind), n, file = ToUtf8(path), png,
                     transparent = cSTY->DrawTransparent(), input = ToUtf8(DocumentPath())](Progress&) {
                        RefuseToOverwrite(file, input);
                        ExportItem(*style, item, n, file, png, transparent);
                    },
                    [this, path] {
                        const QFileInfo file(path);
                        ExportedTo(file.absolutePath(), file.fileName());
                    });
}

namespace {

// A name as the folder tells names apart: without regard to case where the file system
// is blind to it.
QString FolderKey(const QString& name)
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return name.toLower();
#else
    return name;
#endif
}

}  // namespace

void frmSTY::cmdExportAll_Click()
{
    if (!cSTY)
        return;
    Platform& platform = CurrentPlatform();
    const QString folder = platform.FolderName(this, ExportFolder());
    if (folder.isEmpty())
        return;
    const std::optional<int> format = platform.Choose(this, QStringLiteral("Write the tiles and sprites as:"),
                                                      Caption(), {QStringLiteral("PNG"), QStringLiteral("BMP")});
    if (!format)
        return;
    const bool png = *format == 0;
    // Naming tens of thousands of items and looking for them in the folder takes a while:
    // it is done on the worker too, and the question comes once that is over.
    RunInBackground(
        QStringLiteral("%1"),
        [style = cSTY, folder, png](Progress& progress) {
            ExportPlan plan{ExportEntries(*style, png, {StyItem::Tile, StyItem::Sprite, StyItem::Palette}), {}, false};
            QSet<QString> there;
            for (const QString& name :
                 QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
                there.insert(FolderKey(name));
            for (const ExportEntry& entry : plan.entries)
                if (there.contains(FolderKey(entry.name)))
                    plan.taken << entry.name;
            plan.stopped = progress.StopRequested();
            return plan;
        },
        [this, folder, png](ExportPlan plan) {
            // A stop asked for before any file was written is told as the export's own.
            if (plan.stopped) {
                ExportResult none;
                none.cancelled = true;
                return Tell(Summary(none, plan.entries.size(), folder));
            }
            if (MayReplace(folder, plan))
                ExportAllInto(folder, png, std::move(plan.entries));
        },
        true);
}

void frmSTY::ExportAllInto(const QString& folder, bool png, std::vector<ExportEntry> entries)
{
    const std::size_t total = entries.size();
    // Cancel, on the progress window, stops it after the file being written.
    RunInBackground(
        QStringLiteral("%1"),
        [style = cSTY, entries = std::move(entries), folder, png, transparent = cSTY->DrawTransparent()](
            Progress& progress) { return ExportAll(*style, entries, folder, png, transparent, progress); },
        [this, total, folder](const ExportResult& result) {
            const int written = result.written[0] + result.written[1] + result.written[2];
            const bool clean = result.failures.isEmpty() && result.stoppedBy.isEmpty() && !result.cancelled;
            ExportedTo(folder, clean ? Counted(written, "file")
                                     : QStringLiteral("%1 of %2 files").arg(Count(written), Count(int(total))));
            // The status line says it all when everything was written.
            if (!clean)
                Tell(Summary(result, total, folder));
        },
        true);
}

bool frmSTY::MayReplace(const QString& folder, const ExportPlan& plan)
{
    const QString question = QStringLiteral(
        "%1 of the %2 files to write are already in %3, among them %4.\n\n"
        "Replace them?");
    return plan.taken.isEmpty() || CurrentPlatform().Confirm(this,
                                                             question.arg(plan.taken.size())
                                                                 .arg(plan.entries.size())
                                                                 .arg(QDir::toNativeSeparators(folder), plan.taken[0]),
                                                             Caption());
}

void frmSTY::cmdReplace_Click()
{
    QTreeWidgetItem* node = SelectedNode();
    if (!node || !IsPicture(KindOfNode(node)))
        return;
    const NodeKind kind = KindOfNode(node);
    const int n = NumberOfNode(node);
    const QString item = ItemName(kind) + QLatin1Char(' ') + QString::number(n);
    ItemPixels now;
    QList<QRgb> colours;
    if (!Attempt(item + QStringLiteral(" cannot be replaced.\n\n%1"), [&] {
            now = PixelsOf(*cSTY, ItemOf(kind), n);
            colours = PaletteColours(*cSTY, now.pal);
        }))
        return;
    // Where the item was most likely exported to and edited.
    const QString path = CurrentPlatform().OpenFileName(
        this, {ExportFolder(), ExportName(ItemOf(kind), n, CountOf(*cSTY, kind), true), kReadableImages, false});
    if (path.isEmpty())
        return;
    const QSize wanted(now.width, now.height);
    RunInBackground(
        QStringLiteral("%1"), [path, wanted, colours](Progress&) { return ReadIndices(path, wanted, colours); },
        [this, kind, n, now, path](ImageFile got) { TakeImage(kind, n, now, std::move(got), path); });
}

void frmSTY::TakeImage(NodeKind kind, int n, ItemPixels now, ImageFile got, const QString& path)
{
    const QString item = ItemName(kind) + QLatin1Char(' ') + QString::number(n);
    const QString refused = Refusal(got, item, QSize(now.width, now.height), path, now.pal);
    if (!refused.isEmpty())
        return Tell(refused + QStringLiteral("\n\n%1 was not changed.").arg(item));
    UndoStack().push(new Replacement(*this, kind, n, std::move(now.indices), std::move(got.indices)));
    ShowStatus(Replaced(kind, n, QFileInfo(path).fileName()));
}

QString frmSTY::Replaced(NodeKind kind, int n, const QString& image) const
{
    QString done = QStringLiteral("Replaced %1 %2 from %3.").arg(ItemName(kind).toLower()).arg(n).arg(image);
    if (kind != NodeKind::Sprite)
        return done;
    const std::vector<int> sharing = cSTY->SpritesSharingPixels(n);
    if (!sharing.empty())
        done += QStringLiteral(" %1 %2 pixels with it, so %3 changed too.")
                    .arg(Items(QStringLiteral("Sprite"), sharing),
                         sharing.size() == 1 ? QStringLiteral("shares") : QStringLiteral("share"),
                         sharing.size() == 1 ? QStringLiteral("it") : QStringLiteral("they"));
    return done;
}
