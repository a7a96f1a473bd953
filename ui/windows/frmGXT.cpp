// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windows/frmGXT.h"

#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QUndoCommand>
#include <algorithm>
#include <initializer_list>
#include <limits>
#include <optional>
#include <unordered_map>
#include <utility>

#include "core/common/Numbers.h"
#include "core/common/PathRules.h"
#include "core/io/FileError.h"
#include "core/sty/clsSTY.h"
#include "core/translation/TextCheck.h"
#ifdef KESTROVA_HAVE_PO
#include "core/po/GxtPo.h"
#endif
#include "ui/platform/Anchors.h"
#include "ui/platform/Platform.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/TextPreview.h"

namespace {

const QString kFontSection = QStringLiteral("Fonts");
const QString kFontStyleKey = QStringLiteral("TextStyle");

const QString kFilter = QStringLiteral("GXT Files (*.gxt)|*.gxt");
const char kFilling[] = "Displying...";

// A key is shown up to its first zero byte.
QString KeyText(const std::string& key)
{
    return FromBytes(key.substr(0, key.find('\0')));
}

QString LanguageName(char letter)
{
    switch (letter) {
        case 'F':
            return QStringLiteral("French");
        case 'G':
            return QStringLiteral("German");
        case 'I':
            return QStringLiteral("Italian");
        case 'S':
            return QStringLiteral("Spanish");
        default:
            return QStringLiteral("English");
    }
}

// A file that is no text table, or cannot be read, is told as it always was; anything
// else that stops the load is told with what went wrong.
UserMessage OpenFailure(const std::exception& e)
{
    if (const auto* invalid = dynamic_cast<const InvalidGXT*>(&e))
        return {FromUtf8(invalid->Problem())};
    if (dynamic_cast<const FileError*>(&e))
        return {FromUtf8(e.what())};
    return {QStringLiteral("The file could not be opened.\n%1").arg(FromUtf8(e.what()))};
}

// "1 text", "1,200 texts".
QString Texts(std::size_t count)
{
    return FromUtf8(Counted(count, "text"));
}

// A model's message as a sentence: its first letter a capital.
EditorWindow::Wording Sentence()
{
    return [](const std::exception& e) {
        QString text = FromUtf8(e.what());
        if (!text.isEmpty())
            text[0] = text[0].toUpper();
        return UserMessage{text};
    };
}

}  // namespace

// One text changed, byte for byte.
class frmGXT::TextEdit : public QUndoCommand {
public:
    TextEdit(frmGXT& window, int row, std::string before, std::string after)
        : QUndoCommand(QStringLiteral("Edit text")),
          window_(window),
          row_(row),
          before_(std::move(before)),
          after_(std::move(after))
    {
    }
    void undo() override { Set(before_); }
    void redo() override { Set(after_); }

private:
    void Set(const std::string& bytes)
    {
        window_.Model().SetValue(row_, bytes);
        window_.ShowText(row_);
    }
    frmGXT& window_;
    int row_;
    std::string before_, after_;
};

// Entries added, renamed, deleted or imported: the whole model before and after, and
// the row selected with each (an undone delete selects the entry it brings back).
class frmGXT::ModelChange : public QUndoCommand {
public:
    ModelChange(frmGXT& window, const QString& what, clsGXT before, clsGXT after, int rowBefore, int rowAfter)
        : QUndoCommand(what),
          window_(window),
          before_(std::move(before)),
          after_(std::move(after)),
          rowBefore_(rowBefore),
          rowAfter_(rowAfter)
    {
    }
    void undo() override { window_.Restore(before_, rowBefore_); }
    void redo() override { window_.Restore(after_, rowAfter_); }

private:
    frmGXT& window_;
    clsGXT before_, after_;
    int rowBefore_, rowAfter_;
};

frmGXT::frmGXT(QWidget* parent) : EditorWindow(parent, Qt::Window | kFixedBorder)
{
    SetUpFixedWindow(this, QStringLiteral("frmGXT"), QStringLiteral("GXT Editor"), {613, 470});
    cboCharset = new QComboBox(this);
    cboCharset->addItem(QStringLiteral("Game font"));
    cboCharset->addItem(QStringLiteral("Windows-1252"));
    // The column of commands is as wide as the charset's longest name needs; the window
    // grows by what that adds.
    const int column = std::max(91, cboCharset->sizeHint().width());
    // The preview goes below the value box: the window grows by its height.
    const int paneTop = 470;
    setFixedSize(613 + column - 91, paneTop + TextPreview::kDefaultSize.height() + 2);
    AddStatusLine();

    lvwItems = Child<QTreeView>(this, "lvwItems", {2, 4, 513, 439});
    rows_ = new TextRows(this);
    lvwItems->setModel(rows_);
    lvwItems->setRootIsDecorated(false);
    lvwItems->setUniformRowHeights(true);  // thousands of rows: no per-row layout work
    lvwItems->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwItems->setAllColumnsShowFocus(true);
    lvwItems->header()->setStretchLastSection(true);
    lvwItems->setColumnWidth(0, 100);

    txtValue = Child<QLineEdit>(this, "txtValue", {2, 446, 513, 21});
    // The default limit would cut a long text when shown, and Enter would store the cut text.
    txtValue->setMaxLength(std::numeric_limits<int>::max());

    const auto button = [this, column](const char* name, const QString& caption, int top) {
        return Child<QPushButton>(this, name, {518, top, column, 30}, caption);
    };
    cmdOpen = button("cmdOpen", QStringLiteral("Open"), 6);
    cmdRecent = button("cmdRecent", QStringLiteral("Recent"), 38);
    cmdSave = button("cmdSave", QStringLiteral("Save"), 70);
    cmdSaveAs = button("cmdSaveAs", QStringLiteral("Save As..."), 102);
    cmdFind = button("cmdFind", QStringLiteral("Find"), 140);
    cmdFinda = button("cmdFinda", QStringLiteral("Find Again"), 172);
    cmdFindKey = button("cmdFindKey", QStringLiteral("Find Key"), 204);
    cmdAdd = button("cmdAdd", QStringLiteral("Add..."), 242);
    cmdRename = button("cmdRename", QStringLiteral("Rename..."), 274);
    cmdDelete = button("cmdDelete", QStringLiteral("Delete"), 306);
#ifdef KESTROVA_HAVE_PO
    cmdExportPo = button("cmdExportPo", QStringLiteral("Export PO..."), 344);
    cmdImportPo = button("cmdImportPo", QStringLiteral("Import PO..."), 376);
    connect(cmdExportPo, &QPushButton::clicked, this, &frmGXT::cmdExportPo_Click);
    connect(cmdImportPo, &QPushButton::clicked, this, &frmGXT::cmdImportPo_Click);
#endif
    cboCharset->setObjectName(QStringLiteral("cboCharset"));
    cboCharset->setGeometry(518, 414, column, 24);
    cboCharset->setToolTip(QStringLiteral("How the texts' accented letters are shown; no byte changes"));

    // The translator's tools, beside the preview.
    cmdReference = button("cmdReference", QStringLiteral("Reference..."), 446);
    cmdReference->setToolTip(QStringLiteral("Open the file this one translates, to show its texts beside these"));
    cboFilter = Child<QComboBox>(this, "cboFilter", {518, 479, column, 24});
    cboFilter->addItems(
        {QStringLiteral("All"), QStringLiteral("Untranslated"), QStringLiteral("Missing"), QStringLiteral("Extra")});
    cboFilter->setToolTip(QStringLiteral("Which entries the list shows, against the reference"));
    cmdCheck = button("cmdCheck", QStringLiteral("Check Letters"), 512);
    cmdCheck->setToolTip(QStringLiteral("List the texts with letters the preview's font cannot draw"));
    preview_ = new TextPreview(this);
    preview_->move(2, paneTop);

    Anchor(lvwItems, Follow::Width | Follow::Height);
    Anchor(txtValue, Follow::Bottom | Follow::Width);
    for (QWidget* side :
         std::initializer_list<QWidget*>{cmdOpen, cmdRecent, cmdSave, cmdSaveAs, cmdFind, cmdFinda, cmdFindKey, cmdAdd,
                                         cmdRename, cmdDelete, cmdExportPo, cmdImportPo, cboCharset})
        if (side)  // the PO commands exist only where PO is built in
            Anchor(side, Follow::Right);
    for (QWidget* tool : std::initializer_list<QWidget*>{cmdReference, cboFilter, cmdCheck})
        Anchor(tool, Follow::Right | Follow::Bottom);
    Anchor(preview_, Follow::Bottom | Follow::Width);
    AllowResizing(this);

    PressWith(cmdOpen, {QKeySequence(Qt::CTRL | Qt::Key_O)});
    PressWith(cmdSave, {QKeySequence(Qt::CTRL | Qt::Key_S)});
    PressWith(cmdSaveAs, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    PressWith(cmdFind, {QKeySequence(Qt::CTRL | Qt::Key_F)});
    PressWith(cmdFinda, {QKeySequence(Qt::Key_F3)});
    ShareUndoWith(txtValue);
    EnableDocuments(QStringLiteral("GXT"), cmdRecent);
    UpdateCommands();

    connect(cmdOpen, &QPushButton::clicked, this, &frmGXT::cmdOpen_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmGXT::cmdSave_Click);
    connect(cmdSaveAs, &QPushButton::clicked, this, &frmGXT::cmdSaveAs_Click);
    connect(cmdFind, &QPushButton::clicked, this, &frmGXT::cmdFind_Click);
    connect(cmdFinda, &QPushButton::clicked, this, &frmGXT::cmdFinda_Click);
    connect(cmdFindKey, &QPushButton::clicked, this, &frmGXT::cmdFindKey_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmGXT::cmdAdd_Click);
    connect(cmdRename, &QPushButton::clicked, this, &frmGXT::cmdRename_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmGXT::cmdDelete_Click);
    connect(cboCharset, &QComboBox::activated, this, &frmGXT::cboCharset_Change);
    connect(cmdReference, &QPushButton::clicked, this, &frmGXT::cmdReference_Click);
    connect(cboFilter, &QComboBox::activated, this, &frmGXT::cboFilter_Change);
    connect(cmdCheck, &QPushButton::clicked, this, &frmGXT::cmdCheck_Click);
    connect(preview_, &TextPreview::StyleRequested, this, &frmGXT::cmdFontStyle_Click);
    connect(lvwItems, &QTreeView::clicked, this, [this](const QModelIndex& item) { lvwItems_ItemClick(item); });
    // Moving the selection with the keyboard shows that row's value too, so that Enter
    // never writes one row's text into another.
    connect(lvwItems->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& item) {
        if (item.isValid())
            lvwItems_ItemClick(item);
    });
    lvwItems->installEventFilter(this);
    lvwItems->viewport()->installEventFilter(this);
    connect(txtValue, &QLineEdit::returnPressed, this, [this] { txtValue_KeyPress(13); });
    connect(txtValue, &QLineEdit::textChanged, this, [this] {
        UpdateModifiedMark();
        ShowInPane();
    });

    CenterForm(this);
}

frmGXT::~frmGXT()
{
    // The undo commands refer to this window's parts.
    UndoStack().clear();
}

// What a load hands the window: the model (or reference) and the rows it shows.
struct frmGXT::LoadedFile {
    std::shared_ptr<clsGXT> model;
    Rows rows;
};

clsGXT& frmGXT::Model()
{
    return *cGXT;
}

int frmGXT::CharsetIndex() const
{
    return cGXT->Charset() == GxtCharset::GameFont ? 0 : 1;
}

frmGXT::Rows frmGXT::RowsOf(const clsGXT& model, const clsGXT* reference, Progress& progress)
{
    using Kind = TextRows::Kind;
    const int32_t count = model.GetEntries();
    Rows rows(static_cast<std::size_t>(count));
    ProgressScope stage(progress, 1, count, kFilling);
    for (int32_t i = 1; i <= count; ++i) {
        stage.Update(i);
        rows[static_cast<std::size_t>(i - 1)].key = KeyText(model.GetKey(i));
        rows[static_cast<std::size_t>(i - 1)].text = FromUtf8(model.GetText(i));
    }
    if (!reference)
        return rows;
    const TextComparison compared = CompareTexts(model, *reference);
    const auto mark = [&rows](const std::vector<int32_t>& entries, Kind kind) {
        for (const int32_t e : entries)
            rows[static_cast<std::size_t>(e - 1)].kind = kind;
    };
    mark(compared.same, Kind::Untranslated);
    mark(compared.different, Kind::Translated);
    mark(compared.onlyHere, Kind::Extra);
    // Each key's first entry in the reference, whose text the column shows.
    std::unordered_map<std::string, int32_t> theirs;
    for (int32_t e = 1; e <= reference->GetEntries(); ++e)
        theirs.try_emplace(KeyName(*reference, e), e);
    for (int32_t i = 1; i <= count; ++i)
        if (const auto match = theirs.find(KeyName(model, i)); match != theirs.end()) {
            TextRows::Row& row = rows[static_cast<std::size_t>(i - 1)];
            row.referenceEntry = match->second;
            row.reference = FromUtf8(reference->GetText(match->second));
        }
    for (const int32_t e : compared.onlyReference)
        rows.push_back({KeyText(reference->GetKey(e)), QString(), FromUtf8(reference->GetText(e)), Kind::Missing, e});
    return rows;
}

void frmGXT::cmdOpen_Click()
{
    WhenEditsMayGo([this] {
        const QString path = CurrentPlatform().OpenFileName(this, DialogRequest(false));
        if (!path.isEmpty())
            Load(path);
    });
}

void frmGXT::OpenDocument(const QString& path)
{
    WhenEditsMayGo([this, path] { Load(path); });
}

void frmGXT::Load(const QString& path)
{
    RunInBackground(
        OpenFailure,
        [file = ToUtf8(path), reference = reference_](Progress& progress) {
            auto model = std::make_shared<clsGXT>();
            model->ReadGXT(file, progress);
            Rows rows = RowsOf(*model, reference.get(), progress);
            return LoadedFile{std::move(model), std::move(rows)};
        },
        [this, path](LoadedFile loaded) { ShowLoaded(std::move(loaded), path); }, true);
}

void frmGXT::ShowLoaded(LoadedFile loaded, const QString& path)
{
    cGXT = std::move(loaded.model);
    cboCharset->setCurrentIndex(CharsetIndex());
    ShowRows(std::move(loaded.rows), 1);
    DocumentLoaded(path);
    UpdateCaption();
    ShowStatus(QStringLiteral("Opened %1: %2.").arg(QFileInfo(path).fileName(), Texts(rows_->Count())));
    if (!std::exchange(styleTried_, true))
        LoadFontStyle(StoredFontStyle(), false);
}

void frmGXT::UpdateCaption()
{
    setWindowTitle(QStringLiteral("GXT Editor - %1 (%2)")
                       .arg(QFileInfo(DocumentPath()).fileName(), LanguageName(Model().Language())));
}

FileDialogRequest frmGXT::DialogRequest(bool save)
{
    return FileDialogRequest{FromUtf8(sDataPath()), QString(), kFilter, save};
}

void frmGXT::ShowModel(int row)
{
    RunInBackground(
        QStringLiteral("%1"),
        [model = std::shared_ptr<const clsGXT>(cGXT), reference = reference_](Progress& progress) {
            return RowsOf(*model, reference.get(), progress);
        },
        [this, row](Rows rows) { ShowRows(std::move(rows), row); });
}

void frmGXT::ShowRows(Rows rows, int row)
{
    boxRow_ = 0;
    const bool entry = row >= 1 && row <= Model().GetEntries();
    rows_->Reset(std::move(rows), reference_ != nullptr, entry ? row - 1 : -1);
    cboFilter->setCurrentIndex(static_cast<int>(rows_->CurrentFilter()));
    if (entry)
        ShowRow(row);
    else
        Select(rows_->ShownCount() > 0 ? 0 : -1);
    UpdateCommands();
}

void frmGXT::cboCharset_Change(int index)
{
    if (!cGXT)
        return;
    if (!TakePendingEdit()) {  // typed through the charset shown
        cboCharset->setCurrentIndex(CharsetIndex());
        return;
    }
    Model().SetCharset(index == 0 ? GxtCharset::GameFont : GxtCharset::Windows1252);
    ShowModel(SelectedRow());
}

void frmGXT::Restore(const clsGXT& model, int row)
{
    const GxtCharset shown = Model().Charset();
    Model() = model;
    Model().SetCharset(shown);  // the drop-down's choice is no edit
    ShowModel(row);
}

void frmGXT::ShowText(int row)
{
    using Kind = TextRows::Kind;
    const QString text = FromUtf8(Model().GetText(row));
    const TextRows::Row& shown = rows_->At(row - 1);
    Kind kind = shown.kind;
    if (kind == Kind::Translated || kind == Kind::Untranslated)
        kind =
            Model().GetValue(row) == reference_->GetValue(shown.referenceEntry) ? Kind::Untranslated : Kind::Translated;
    rows_->SetText(row - 1, text, kind);
    if (boxRow_ == row)
        txtValue->setText(text);
}

bool frmGXT::Change(const QString& what, const std::function<int(clsGXT&)>& change, int rowBefore)
{
    clsGXT after = Model();
    int row = 0;
    if (!Attempt(Sentence(), [&] { row = change(after); }))
        return false;
    UndoStack().push(new ModelChange(*this, what, Model(), std::move(after), rowBefore, row));
    ShowStatus(what + QLatin1Char('.'));
    return true;
}

void frmGXT::cmdSave_Click()
{
    if (TakePendingEdit())
        SaveDocument([] {});
}

void frmGXT::cmdSaveAs_Click()
{
    if (!TakePendingEdit())
        return;
    // The previous file is kept as a backup; the dialog still asks before replacing it.
    const QString path = CurrentPlatform().SaveFileName(this, DialogRequest(true));
    if (!path.isEmpty())
        SaveTo(path, [] {});
}

void frmGXT::SaveDocument(std::function<void()> saved)
{
    if (cGXT && !DocumentPath().isEmpty())
        SaveTo(DocumentPath(), std::move(saved));
}

void frmGXT::SaveTo(const QString& path, std::function<void()> saved)
{
    RunInBackground(
        QStringLiteral("The file was not saved.\n%1"),
        [model = cGXT, file = ToUtf8(path)](Progress& progress) { model->SaveGXT(file, progress); },
        [this, path, saved] {
            DocumentSaved(path);
            UpdateCaption();
            ShowStatus(QStringLiteral("Saved %1.").arg(QFileInfo(path).fileName()));
            saved();
        });
}

void frmGXT::lvwItems_ItemClick(const QModelIndex& Item)
{
    const int entry = EntryAt(Item.row());
    if (entry != 0 && entry == boxRow_)
        return;                // shown already, with whatever was typed
    if (!TakePendingEdit()) {  // back to the row the typed text belongs to
        lvwItems->setCurrentIndex(rows_->index(rows_->ShownRow(boxRow_ - 1), 0));
        return;
    }
    boxRow_ = entry;
    ShowBox();
}

void frmGXT::txtValue_KeyPress(int KeyAscii)
{
    if (KeyAscii == 13)
        TakePendingEdit();
}

bool frmGXT::HasPendingEdit() const
{
    return boxRow_ > 0 && txtValue->text() != rows_->Text(boxRow_ - 1);
}

bool frmGXT::TakePendingEdit()
{
    if (!HasPendingEdit())
        return true;
    std::string bytes;
    try {
        bytes = EncodeGxtText(ToUtf8(txtValue->text()), Model().Charset());
    } catch (const UnstorableCharacter& e) {
        const char32_t c = e.Character();
        Tell(QStringLiteral("The character \"%1\" cannot be stored in a GXT file. The text of %2 was not changed.")
                 .arg(QString::fromUcs4(&c, 1), rows_->Key(boxRow_ - 1)));
        return false;
    }
    std::string before = Model().GetValue(boxRow_);
    if (bytes != before)
        UndoStack().push(new TextEdit(*this, boxRow_, std::move(before), std::move(bytes)));
    return true;
}

bool frmGXT::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lvwItems || watched == lvwItems->viewport()) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
                refusedPress_ = !TakePendingEdit();
                return refusedPress_;
            case QEvent::MouseButtonRelease:
                return std::exchange(refusedPress_, false);
            default:
                break;
        }
    }
    return EditorWindow::eventFilter(watched, event);
}

void frmGXT::cmdAdd_Click()
{
    if (!TakePendingEdit())
        return;
    if (const TextRows::Row* missing = SelectedMissing())
        return AddMissing(*missing);
    const int before = SelectedRow();
    // A refused key is asked for again, as typed, until it is taken or the user gives up.
    for (QString typed;;) {
        const std::optional<QString> key =
            CurrentPlatform().Input(this, QStringLiteral("Key of the new text (1 to 7 characters)"), Caption(), typed);
        if (!key)
            return;
        typed = *key;
        if (Change(
                QStringLiteral("Added %1").arg(typed), [&](clsGXT& m) { return m.AddEntry(ToUtf8(typed), ""); },
                before))
            break;
    }
    txtValue->setFocus();
}

void frmGXT::cmdRename_Click()
{
    if (!TakePendingEdit())
        return;
    const int row = SelectedRow();
    if (row == 0)
        return;
    const QString old = rows_->Key(row - 1);
    for (QString typed = old;;) {
        const std::optional<QString> key =
            CurrentPlatform().Input(this, QStringLiteral("New key (1 to 7 characters)"), Caption(), typed);
        if (!key)
            return;
        typed = *key;
        const auto rename = [&](clsGXT& m) {
            m.RenameEntry(row, ToUtf8(typed));
            return row;
        };
        if (Change(QStringLiteral("Renamed %1 to %2").arg(old, typed), rename, row))
            return;
    }
}

void frmGXT::cmdDelete_Click()
{
    if (!TakePendingEdit())
        return;
    const int row = SelectedRow();
    if (row == 0)
        return;
    const QString key = rows_->Key(row - 1);
    if (!CurrentPlatform().Confirm(this, QStringLiteral("Delete the text of key \"%1\"?").arg(key), Caption()))
        return;
    const auto remove = [&](clsGXT& m) {
        m.RemoveEntry(row);
        return std::min(row, m.GetEntries());
    };
    Change(QStringLiteral("Deleted %1").arg(key), remove, row);
}

#ifdef KESTROVA_HAVE_PO
// What an import hands the window: a copy of the model with the PO file's texts, and
// what became of each entry.
struct frmGXT::Imported {
    std::shared_ptr<clsGXT> after;
    PoImportResult result;
};

void frmGXT::cmdExportPo_Click()
{
    if (!TakePendingEdit())
        return;
    if (reference_) {
        const bool theirs = CurrentPlatform().Confirm(
            this,
            QStringLiteral("Take the original texts (msgid) from the reference, %1?\nNo: this file's own texts are "
                           "the originals.")
                .arg(referenceName_),
            Caption());
        return ExportPoWith(theirs ? reference_ : nullptr);
    }
    if (!CurrentPlatform().Confirm(this,
                                   QStringLiteral("Take the original texts (msgid) from another GXT file, such as the "
                                                  "English one?\nNo: this file's own texts are the originals."),
                                   Caption()))
        return ExportPoWith(nullptr);
    const QString path = CurrentPlatform().OpenFileName(this, DialogRequest(false));
    if (path.isEmpty())
        return;
    RunInBackground(
        OpenFailure,
        [file = ToUtf8(path)](Progress& progress) {
            auto source = std::make_shared<clsGXT>();
            source->ReadGXT(file, progress);
            return std::shared_ptr<const clsGXT>(std::move(source));
        },
        [this](std::shared_ptr<const clsGXT> source) { ExportPoWith(std::move(source)); });
}

void frmGXT::ExportPoWith(std::shared_ptr<const clsGXT> source)
{
    const QString po = CurrentPlatform().SaveFileName(
        this, FileDialogRequest{FromUtf8(sDataPath()), QString(), QStringLiteral("PO Files (*.po)|*.po"), true});
    if (po.isEmpty())
        return;
    RunInBackground(
        QStringLiteral("The PO file was not written.\n%1"),
        [model = std::shared_ptr<const clsGXT>(cGXT), source, file = ToUtf8(po)](Progress&) {
            return ExportPo(*model, source.get(), file);
        },
        [this, po](std::size_t texts) { ShowStatus(QStringLiteral("Exported %1 to %2.").arg(Texts(texts), po)); });
}

void frmGXT::cmdImportPo_Click()
{
    if (!TakePendingEdit())
        return;
    const QString po = CurrentPlatform().OpenFileName(
        this, FileDialogRequest{FromUtf8(sDataPath()), QString(), QStringLiteral("PO Files (*.po)|*.po"), false});
    if (po.isEmpty())
        return;
    // Into a copy: the model shown changes only through the undoable step.
    RunInBackground(
        QStringLiteral("The PO file was not imported.\n%1"),
        [model = std::shared_ptr<const clsGXT>(cGXT), file = ToUtf8(po)](Progress&) {
            auto after = std::make_shared<clsGXT>(*model);
            PoImportResult result = ImportPo(*after, file);
            return Imported{std::move(after), std::move(result)};
        },
        [this, po](Imported imported) { TakeImport(std::move(imported), QFileInfo(po).fileName()); });
}

void frmGXT::TakeImport(Imported imported, const QString& po)
{
    const PoImportResult& result = imported.result;
    const int row = SelectedRow();
    if (result.updated > 0)
        UndoStack().push(
            new ModelChange(*this, QStringLiteral("Import PO"), Model(), std::move(*imported.after), row, row));
    ShowStatus(QStringLiteral("Imported %1 from %2.").arg(Texts(result.updated), po));
    QString report = QStringLiteral("Updated: %1\nUnchanged: %2\nSkipped: %3")
                         .arg(result.updated)
                         .arg(result.unchanged)
                         .arg(result.skipped);
    constexpr std::size_t kShown = 20;
    for (std::size_t i = 0; i < std::min(result.problems.size(), kShown); ++i)
        report += (i == 0 ? QStringLiteral("\n\n") : QStringLiteral("\n")) + FromUtf8(result.problems[i]);
    if (result.problems.size() > kShown)
        report += QStringLiteral("\n... and %1 more").arg(result.problems.size() - kShown);
    Tell(report, result.skipped > 0 ? MessageIcon::Warning : MessageIcon::Information);
}
#endif

void frmGXT::cmdFind_Click()
{
    Search(QStringLiteral("String to find"), false);
}

void frmGXT::cmdFindKey_Click()
{
    Search(QStringLiteral("Key to find"), true);
}

void frmGXT::Search(const QString& prompt, bool keys)
{
    if (!TakePendingEdit())
        return;
    const std::optional<QString> answer = CurrentPlatform().Input(this, prompt, Caption(), QString());
    if (!answer || answer->isEmpty())
        return;
    findKeys_ = keys;
    const int row = FindFrom(0, *answer);
    if (row < 0) {
        NotFound(*answer);
        return;
    }
    sFindText = *answer;
    searched_ = true;
    UpdateCommands();
    Found(row);
}

void frmGXT::cmdFinda_Click()
{
    if (!searched_ || !TakePendingEdit())
        return;
    const int row = FindFrom(SelectedShown() + 1, sFindText);
    if (row < 0)
        NotFound(sFindText);
    else
        Found(row);
}

void frmGXT::Found(int shown)
{
    Select(shown);
    ShowStatus(QStringLiteral("Found \"%1\" in %2.").arg(sFindText, rows_->Key(rows_->RowOf(shown))));
}

int frmGXT::FindFrom(int from, const QString& text) const
{
    for (int shown = std::max(from, 0); shown < rows_->ShownCount(); ++shown) {
        const TextRows::Row& row = rows_->At(rows_->RowOf(shown));
        if ((findKeys_ ? row.key : row.text).contains(text, Qt::CaseInsensitive))
            return shown;
    }
    return -1;
}

void frmGXT::NotFound(const QString& text)
{
    ShowStatus(QStringLiteral("\"%1\" was not found.").arg(text));
    Tell(QStringLiteral("Not Found!"), MessageIcon::None);
}

void frmGXT::ShowRow(int row)
{
    if (rows_->ShownRow(row - 1) < 0) {  // hidden by the filter: every entry is shown again
        rows_->SetFilter(TextRows::Filter::All);
        cboFilter->setCurrentIndex(0);
    }
    Select(rows_->ShownRow(row - 1));
}

void frmGXT::Select(int shown)
{
    // The box first, so that the selection finds it on its row.
    boxRow_ = shown < 0 ? 0 : EntryAt(shown);
    ShowBox();
    if (shown < 0)
        return;
    const QModelIndex item = rows_->index(shown, 0);
    lvwItems->setCurrentIndex(item);
    lvwItems->scrollTo(item);
}

void frmGXT::ShowBox()
{
    txtValue->setText(boxRow_ > 0 ? rows_->Text(boxRow_ - 1) : QString());
    txtValue->setReadOnly(Busy() || boxRow_ == 0);
    ShowInPane();
    if (const TextRows::Row* missing = boxRow_ == 0 ? SelectedMissing() : nullptr)
        ShowStatus(
            QStringLiteral("%1 is only in the reference: Add copies it with the reference's text.").arg(missing->key));
}

int frmGXT::EntryAt(int shown) const
{
    const int row = rows_->RowOf(shown);
    return row < rows_->Count() ? row + 1 : 0;
}

int frmGXT::SelectedShown() const
{
    const QModelIndexList selected = lvwItems->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

int frmGXT::SelectedRow() const
{
    const int shown = SelectedShown();
    return shown < 0 ? 0 : EntryAt(shown);
}

const TextRows::Row* frmGXT::SelectedMissing() const
{
    const int shown = SelectedShown();
    if (shown < 0 || EntryAt(shown) != 0)
        return nullptr;
    return &rows_->At(rows_->RowOf(shown));
}

void frmGXT::UpdateCommands()
{
    const bool idle = !Busy();
    const bool ready = idle && cGXT;
    cmdOpen->setEnabled(idle);
    lvwItems->setEnabled(idle);
    for (QWidget* command :
         {static_cast<QWidget*>(cmdSave), static_cast<QWidget*>(cmdSaveAs), static_cast<QWidget*>(cmdFind),
          static_cast<QWidget*>(cmdFindKey), static_cast<QWidget*>(cmdAdd), static_cast<QWidget*>(cmdRename),
          static_cast<QWidget*>(cmdDelete), static_cast<QWidget*>(cboCharset)})
        command->setEnabled(ready);
    for (QPushButton* po : {cmdExportPo, cmdImportPo})
        if (po)
            po->setEnabled(ready);
    cmdFinda->setEnabled(idle && searched_);
    txtValue->setReadOnly(!idle || boxRow_ == 0);
    cmdReference->setEnabled(ready);
    cmdCheck->setEnabled(ready);
    cboFilter->setEnabled(ready && reference_);
    preview_->setEnabled(idle);
    if (findings_)
        findings_->setEnabled(idle);
}

// The translator's tools: a reference file, the preview's font style, and the check of
// letters against its font.

void frmGXT::cmdReference_Click()
{
    if (!TakePendingEdit())
        return;
    const QString path = CurrentPlatform().OpenFileName(this, DialogRequest(false));
    if (path.isEmpty())
        return;
    RunInBackground(
        OpenFailure,
        [file = ToUtf8(path), model = std::shared_ptr<const clsGXT>(cGXT)](Progress& progress) {
            auto reference = std::make_shared<clsGXT>();
            reference->ReadGXT(file, progress);
            Rows rows = RowsOf(*model, reference.get(), progress);
            return LoadedFile{std::move(reference), std::move(rows)};
        },
        [this, path](LoadedFile loaded) {
            const int row = SelectedRow();
            reference_ = std::move(loaded.model);
            referenceName_ = QFileInfo(path).fileName();
            ShowRows(std::move(loaded.rows), row);
            lvwItems->setColumnWidth(TextRows::TextColumn, (lvwItems->viewport()->width() - 100) / 2);
            ShowCounts();
        });
}

void frmGXT::cboFilter_Change(int index)
{
    if (!TakePendingEdit()) {  // the typed text's row stays in sight
        cboFilter->setCurrentIndex(static_cast<int>(rows_->CurrentFilter()));
        return;
    }
    const int selected = SelectedShown() < 0 ? -1 : rows_->RowOf(SelectedShown());
    rows_->SetFilter(static_cast<TextRows::Filter>(index));
    const int shown = selected < 0 ? -1 : rows_->ShownRow(selected);
    Select(shown >= 0 ? shown : rows_->ShownCount() > 0 ? 0 : -1);
    ShowCounts();
}

void frmGXT::ShowCounts()
{
    const TextRows::Counts counts = rows_->KindCounts();
    ShowStatus(QStringLiteral("Untranslated %1, missing %2, extra %3 against %4.")
                   .arg(counts.untranslated)
                   .arg(counts.missing)
                   .arg(counts.extra)
                   .arg(referenceName_));
}

void frmGXT::AddMissing(const TextRows::Row& missing)
{
    const std::string key = KeyName(*reference_, missing.referenceEntry);
    const std::string text = reference_->GetValue(missing.referenceEntry);
    Change(
        QStringLiteral("Added %1 from the reference").arg(missing.key),
        [&](clsGXT& m) {
            const int32_t added = m.AddEntry(key, "");
            m.SetValue(added, text);
            return added;
        },
        0);
    txtValue->setFocus();
}

void frmGXT::ShowInPane()
{
    std::string bytes;
    if (boxRow_ > 0) {
        try {  // what is typed, as it would be stored
            bytes = EncodeGxtText(ToUtf8(txtValue->text()), Model().Charset());
        } catch (const std::invalid_argument&) {  // a letter the charset lacks: what is stored
            bytes = Model().GetValue(boxRow_);
        }
    } else if (const TextRows::Row* missing = SelectedMissing()) {
        bytes = reference_->GetValue(missing->referenceEntry);
    }
    preview_->ShowText(bytes);
}

QString frmGXT::StoredFontStyle()
{
    const QString picked = CurrentPlatform().ReadSetting(kAppTitle, kFontSection, kFontStyleKey);
    if (!picked.isEmpty() && QFileInfo::exists(picked))
        return picked;
    const QString data = FromUtf8(sDataPath()) + QStringLiteral("fstyle.sty");
    return QFileInfo::exists(data) ? data : QString();
}

void frmGXT::cmdFontStyle_Click()
{
    const QString path = CurrentPlatform().OpenFileName(
        this, FileDialogRequest{FromUtf8(sDataPath()), QString(), QStringLiteral("Style Files (*.sty)|*.sty"), false});
    if (!path.isEmpty())
        LoadFontStyle(path, true);
}

void frmGXT::LoadFontStyle(const QString& path, bool picked)
{
    if (path.isEmpty())
        return;
    RunInBackground(
        QStringLiteral("The font style was not loaded.\n%1"),
        [file = ToUtf8(path)](Progress& progress) {
            auto style = std::make_shared<clsSTY>();
            style->LoadSTY(file, progress);
            return std::shared_ptr<const clsSTY>(std::move(style));
        },
        [this, path, picked](std::shared_ptr<const clsSTY> style) {
            fontStyle_ = std::move(style);
            preview_->SetStyle(fontStyle_, QFileInfo(path).fileName());
            ShowInPane();
            if (!picked)
                return;
            CurrentPlatform().WriteSetting(kAppTitle, kFontSection, kFontStyleKey, path);  // the next start's too
            ShowStatus(QStringLiteral("Font style %1: %2 fonts.")
                           .arg(QFileInfo(path).fileName())
                           .arg(fontStyle_->GetNumOfFonts()));
        });
}

void frmGXT::cmdCheck_Click()
{
    if (!TakePendingEdit())
        return;
    const std::optional<int> font = preview_->Font();
    if (!font) {
        Tell(fontStyle_ ? QStringLiteral("The font style has no fonts: pick another with \"Font style...\".")
                        : QStringLiteral("Pick a font style with \"Font style...\" first: the letters are checked "
                                         "against one of its fonts."));
        return;
    }
    if (Model().Charset() == GxtCharset::Windows1252) {
        Tell(
            QStringLiteral("The texts are in Windows-1252 (a front-end menu file), but the game's fonts are laid out "
                           "in the game font's charset: their letters cannot be checked against a font."));
        return;
    }
    using Finding = LetterFindings::Finding;
    RunInBackground(
        QStringLiteral("The letters were not checked.\n%1"),
        [model = std::shared_ptr<const clsGXT>(cGXT), style = fontStyle_, font = *font](Progress&) {
            std::vector<Finding> found;
            for (EntryFindings& each : CheckTexts(*model, GameFont(*style, font)))
                found.push_back({each.entry, KeyText(model->GetKey(each.entry)), std::move(each.findings)});
            return found;
        },
        [this, font = *font](std::vector<Finding> found) { ShowFindings(font, found); });
}

void frmGXT::ShowFindings(int font, const std::vector<LetterFindings::Finding>& found)
{
    if (found.empty()) {
        if (findings_)
            findings_->hide();
        ShowStatus(QStringLiteral("Font %1 draws every letter of every text.").arg(font));
        return;
    }
    if (!findings_) {
        findings_ = new LetterFindings(this);
        connect(findings_, &LetterFindings::EntryChosen, this, &frmGXT::FindingChosen);
    }
    const QString told = QStringLiteral("%1 with letters font %2 cannot draw").arg(Texts(found.size())).arg(font);
    findings_->Show(QStringLiteral("Check Letters - %1").arg(told), found);
    ShowStatus(told + QLatin1Char('.'));
}

void frmGXT::FindingChosen(int entry, const QString& key)
{
    if (Busy() || !cGXT || !TakePendingEdit())
        return;
    // The entry the check found, unless entries were added or deleted since.
    int row = entry <= rows_->Count() && rows_->Key(entry - 1) == key ? entry : 0;
    for (int r = 0; row == 0 && r < rows_->Count(); ++r)
        if (rows_->Key(r) == key)
            row = r + 1;
    if (row == 0)
        return ShowStatus(QStringLiteral("%1 is no longer in the file.").arg(key));
    ShowRow(row);
}
