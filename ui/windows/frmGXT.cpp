#include "ui/windows/frmGXT.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>
#include <limits>
#include <optional>

#include "core/common/PathRules.h"
#include "core/common/modGTA2.h"
#include "core/io/FileError.h"
#include "ui/platform/Platform.h"
#include "ui/platform/modGTA2Qt.h"

namespace {

const QString kFilter = QStringLiteral("GXT Files (*.gxt)|*.gxt");
const char kFilling[] = "Displying...";

// A key is shown up to its first zero byte.
QString KeyText(const std::string& key)
{
    return FromBytes(key.substr(0, key.find('\0')));
}

// The first character that has no single-byte code, or an empty string.
QString UnstorableCharacter(const QString& text)
{
    for (char32_t c : text.toUcs4())
        if (c > 0xFF)
            return QString::fromUcs4(&c, 1);
    return {};
}

// A file that is no text table, or cannot be read, is told as it always was; anything
// else that stops the load is told with what went wrong.
UserMessage OpenFailure(const std::exception& e)
{
    if (dynamic_cast<const InvalidGXT*>(&e))
        return {QString::fromLatin1(kInvalidGXTMessage)};
    if (dynamic_cast<const FileError*>(&e))
        return {FromUtf8(e.what())};
    return {QStringLiteral("The file could not be opened.\n%1").arg(FromUtf8(e.what()))};
}

}  // namespace

frmGXT::frmGXT(QWidget* parent) : EditorWindow(parent, Qt::Window | kFixedBorder)
{
    SetUpFixedWindow(this, QStringLiteral("frmGXT"), QStringLiteral("GXT Editor"), {613, 364});

    lvwItems = Child<QTreeWidget>(this, "lvwItems", {2, 4, 513, 333});
    lvwItems->setColumnCount(2);
    lvwItems->setHeaderLabels({QStringLiteral("Key Name"), QStringLiteral("Value")});
    lvwItems->setRootIsDecorated(false);
    lvwItems->setUniformRowHeights(true);  // thousands of rows: no per-row layout work
    lvwItems->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwItems->setAllColumnsShowFocus(true);
    lvwItems->header()->setStretchLastSection(true);
    lvwItems->setColumnWidth(0, 100);

    txtValue = Child<QLineEdit>(this, "txtValue", {2, 340, 513, 21});
    // The default limit would cut a long text when shown, and Enter would store the cut text.
    txtValue->setMaxLength(std::numeric_limits<int>::max());

    const auto button = [this](const char* name, const QString& caption, int top) {
        return Child<QPushButton>(this, name, {518, top, 91, 33}, caption);
    };
    cmdOpen = button("cmdOpen", QStringLiteral("Open"), 6);
    cmdSave = button("cmdSave", QStringLiteral("Save"), 44);
    cmdFind = button("cmdFind", QStringLiteral("Find"), 84);
    cmdFinda = button("cmdFinda", QStringLiteral("Find Again"), 122);
    cmdRecent = button("cmdRecent", QStringLiteral("Recent Files"), 160);
    EnableDocuments(QStringLiteral("GXT"), cmdRecent);
    UpdateCommands();

    connect(cmdOpen, &QPushButton::clicked, this, &frmGXT::cmdOpen_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmGXT::cmdSave_Click);
    connect(cmdFind, &QPushButton::clicked, this, &frmGXT::cmdFind_Click);
    connect(cmdFinda, &QPushButton::clicked, this, &frmGXT::cmdFinda_Click);
    connect(lvwItems, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { lvwItems_ItemClick(item); });
    // Moving the selection with the keyboard shows that row's value too, so that Enter
    // never writes one row's text into another.
    connect(lvwItems, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item)
            lvwItems_ItemClick(item);
    });
    connect(txtValue, &QLineEdit::returnPressed, this, [this] { txtValue_KeyPress(13); });

    CenterForm(this);
}

frmGXT::~frmGXT() = default;

clsGXT& frmGXT::Model()
{
    if (!cGXT)
        cGXT = std::make_unique<clsGXT>();
    return *cGXT;
}

void frmGXT::cmdOpen_Click()
{
    if (Busy())
        return;
    const QString path = CurrentPlatform().OpenFileName(this, DialogRequest(false));
    if (!path.isEmpty())
        OpenDocument(path);
}

void frmGXT::OpenDocument(const QString& path)
{
    if (Busy() || !MaybeSave())
        return;
    // A refused file changes neither the model nor the list.
    const bool opened = Run(OpenFailure, [&] {
        Model().ReadGXT(ToUtf8(path));
        FillList();
    });
    if (opened)
        DocumentLoaded(path);
}

FileDialogRequest frmGXT::DialogRequest(bool save)
{
    return FileDialogRequest{FromUtf8(sDataPath()), QString(), kFilter, save};
}

void frmGXT::FillList()
{
    lvwItems->hide();
    lvwItems->clear();
    clsGXT& model = Model();
    const int32_t count = model.GetEntries();
    // Rows are made first and handed to the list in one go.
    QList<QTreeWidgetItem*> rows;
    rows.reserve(count);
    {
        ProgressScope progress(1, count, kFilling);
        for (int32_t i = 1; i <= count; ++i) {
            UpdateProgress(i, kFilling);
            auto* row = new QTreeWidgetItem;
            row->setText(0, KeyText(model.GetKey(i)));
            row->setText(1, FromBytes(model.GetValue(i)));
            rows.append(row);
        }
    }
    lvwItems->addTopLevelItems(rows);
    if (count > 0)
        ShowRow(1);
    else
        txtValue->clear();
    lvwItems->show();
    loaded_ = true;
}

void frmGXT::cmdSave_Click()
{
    if (Busy() || !loaded_)
        return;
    // The previous file is kept as a backup; the dialog still asks before replacing it.
    const QString path = CurrentPlatform().SaveFileName(this, DialogRequest(true));
    if (path.isEmpty())
        return;
    if (Run(QStringLiteral("The file was not saved.\n%1"), [&] { Model().SaveGXT(ToUtf8(path)); }))
        DocumentSaved(path);
}

void frmGXT::lvwItems_ItemClick(QTreeWidgetItem* Item)
{
    txtValue->setText(Item->text(1));
}

void frmGXT::txtValue_KeyPress(int KeyAscii)
{
    if (KeyAscii != 13 || Busy())
        return;
    const int row = SelectedRow();
    if (row == 0)
        return;
    const QString text = txtValue->text();
    const QString bad = UnstorableCharacter(text);
    if (!bad.isEmpty()) {
        Tell(QStringLiteral("The character \"%1\" cannot be stored in a GXT file. The text was not changed.").arg(bad));
        return;
    }
    Model().SetValue(row, ToBytes(text));
    lvwItems->topLevelItem(row - 1)->setText(1, text);
}

void frmGXT::cmdFind_Click()
{
    if (Busy() || !loaded_)
        return;
    const std::optional<QString> answer =
        CurrentPlatform().Input(this, QStringLiteral("String to find"), Caption(), QString());
    if (!answer || answer->isEmpty())
        return;
    const int row = FindFrom(1, *answer);
    if (row == 0) {
        NotFound();
        return;
    }
    sFindText = *answer;
    searched_ = true;
    UpdateCommands();
    ShowRow(row);
}

void frmGXT::cmdFinda_Click()
{
    if (Busy() || !searched_)
        return;
    const int row = FindFrom(SelectedRow() + 1, sFindText);
    if (row == 0)
        NotFound();
    else
        ShowRow(row);
}

int frmGXT::FindFrom(int from, const QString& text) const
{
    const int rows = lvwItems->topLevelItemCount();
    for (int i = std::max(from, 1); i <= rows; ++i)
        if (lvwItems->topLevelItem(i - 1)->text(1).contains(text, Qt::CaseInsensitive))
            return i;
    return 0;
}

void frmGXT::NotFound()
{
    Tell(QStringLiteral("Not Found!"), MessageIcon::None);
}

void frmGXT::ShowRow(int row)
{
    QTreeWidgetItem* item = lvwItems->topLevelItem(row - 1);
    lvwItems->setCurrentItem(item);
    lvwItems->scrollToItem(item);
    lvwItems_ItemClick(item);
}

int frmGXT::SelectedRow() const
{
    const QList<QTreeWidgetItem*> selected = lvwItems->selectedItems();
    return selected.isEmpty() ? 0 : lvwItems->indexOfTopLevelItem(selected.first()) + 1;
}

void frmGXT::UpdateCommands()
{
    cmdOpen->setEnabled(!Busy());
    cmdSave->setEnabled(!Busy() && loaded_);
    cmdFind->setEnabled(!Busy() && loaded_);
    cmdFinda->setEnabled(!Busy() && searched_);
    txtValue->setReadOnly(Busy());
}
