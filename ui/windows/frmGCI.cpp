// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windows/frmGCI.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QUndoCommand>

#include "core/common/PathRules.h"
#include "core/gci/GCIProperties.h"
#include "core/gci/GCIValueText.h"
#include "ui/platform/Anchors.h"
#include "ui/platform/Platform.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/frmSetVal.h"

namespace {

const QString kCarFilter = QStringLiteral("Cars Files (*.gci)|*.gci");
const QString kModelNotSaved = QStringLiteral("The model number is not saved by this editor.");
constexpr int kModelRow = 1;

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, int top)
{
    return Child<QPushButton>(parent, name, {370, top, 104, 25}, QString::fromLatin1(caption));
}

}  // namespace

// One value change; undoing it puts the line back exactly as it was. Its text says what
// it did ("Mass of TAXI set to 2.500"), and the status line says so on each step.
class frmGCI::SetValCommand : public QUndoCommand {
public:
    SetValCommand(frmGCI& window, int car, int i, std::string before, std::string after, const QString& what)
        : window_(window), car_(car), i_(i), before_(std::move(before)), after_(std::move(after))
    {
        setText(what);
    }
    void redo() override
    {
        window_.ShowLine(car_, i_, after_);
        window_.ShowStatus(std::exchange(pushed_, true) ? QStringLiteral("Redone: %1.").arg(text()) : text() + '.');
    }
    void undo() override
    {
        window_.ShowLine(car_, i_, before_);
        window_.ShowStatus(QStringLiteral("Undone: %1.").arg(text()));
    }

private:
    frmGCI& window_;
    int car_, i_;
    std::string before_, after_;
    // The first redo is the edit itself.
    bool pushed_ = false;
};

frmGCI::frmGCI(QWidget* parent) : EditorWindow(parent, Qt::Window)
{
    SetUpFixedWindow(this, QStringLiteral("frmGCI"), QStringLiteral("GCI Car Editor"), {480, 444});
    AddStatusLine();

    cmdOpen = MakeButton(this, "cmdOpen", "Open File", 10);
    cmdReload = MakeButton(this, "cmdReload", "Reload File", 40);
    cmdSavefile = MakeButton(this, "cmdSavefile", "Save File", 70);
    cmdSaveAs = MakeButton(this, "cmdSaveAs", "Save File As", 100);
    cmdRecent = MakeButton(this, "cmdRecent", "Recent Files", 130);

    Frame1 = Child<QGroupBox>(this, "Frame1", {6, 2, 358, 436}, QStringLiteral("Values For"));

    // The selector stands in the frame's title line, so the title reads "Values For" and
    // then the chosen car.
    const int titleEnd = 10 + Frame1->fontMetrics().horizontalAdvance(Frame1->title());
    cmbCars = Child<QComboBox>(Frame1, "cmbCars", {titleEnd + 6, 0, 190, 22});

    lstVals = Child<QTreeWidget>(Frame1, "lstVals", {8, 28, 342, 400});
    lstVals->setColumnCount(2);
    lstVals->setHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value")});
    lstVals->setRootIsDecorated(false);
    lstVals->setUniformRowHeights(true);
    lstVals->setAllColumnsShowFocus(true);
    lstVals->header()->setSectionsMovable(false);
    lstVals->setColumnWidth(0, 170);
    // The values take what the window grows by; the names keep their width.
    lstVals->header()->setStretchLastSection(true);

    // The list takes what the window grows by, and the buttons stay at its right.
    Anchor(Frame1, Follow::Width | Follow::Height);
    Anchor(lstVals, Follow::Width | Follow::Height);
    for (QPushButton* button : {cmdOpen, cmdReload, cmdSavefile, cmdSaveAs, cmdRecent})
        Anchor(button, Follow::Right);
    AllowResizing(this);

    connect(cmdOpen, &QPushButton::clicked, this, &frmGCI::cmdOpen_Click);
    connect(cmdReload, &QPushButton::clicked, this, &frmGCI::cmdReload_Click);
    connect(cmdSavefile, &QPushButton::clicked, this, &frmGCI::cmdSavefile_Click);
    connect(cmdSaveAs, &QPushButton::clicked, this, &frmGCI::cmdSaveAs_Click);
    connect(cmbCars, &QComboBox::currentIndexChanged, this, &frmGCI::cmbCars_Click);
    connect(lstVals, &QTreeWidget::itemDoubleClicked, this, &frmGCI::lstVals_DblClick);
    lstVals->installEventFilter(this);
    // A shortcut presses its button, which is off whenever the command is.
    for (auto [keys, button] : {std::pair{QKeySequence(QKeySequence::Open), cmdOpen},
                                {QKeySequence(QKeySequence::Save), cmdSavefile},
                                {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), cmdSaveAs}})
        connect(new QShortcut(keys, this), &QShortcut::activated, button, &QPushButton::click);
    EnableDocuments(QStringLiteral("GCI"), cmdRecent);

    Form_Load();
}

frmGCI::~frmGCI() = default;

void frmGCI::Form_Load()
{
    for (int i = 0; i < kNumOfProperties; ++i)
        new QTreeWidgetItem(lstVals, {FromBytes(PropertyName(i)), QString()});
    // Shown, but greyed: clsGCI never writes the model number.
    QTreeWidgetItem* model = lstVals->topLevelItem(kModelRow);
    for (int column = 0; column < 2; ++column) {
        model->setForeground(column, palette().brush(QPalette::Disabled, QPalette::Text));
        model->setToolTip(column, kModelNotSaved);
    }
    UpdateCommands();
    CenterForm(this);
}

bool frmGCI::HasCars() const
{
    return cGCI && cGCI->GetNumOfCars() > 0;
}

void frmGCI::UpdateCommands()
{
    cmdOpen->setEnabled(!Busy());
    cmdReload->setEnabled(!Busy() && !DocumentPath().isEmpty());
    cmdSavefile->setEnabled(!Busy() && HasCars());
    cmdSaveAs->setEnabled(!Busy() && HasCars());
    cmbCars->setEnabled(!Busy());
    lstVals->setEnabled(!Busy() && HasCars());
}

void frmGCI::LoadCarFile(const QString& path, const QString& said)
{
    RunInBackground(
        QStringLiteral("The car file could not be loaded; the editor keeps what it showed.\n\n%1"),
        [file = ToUtf8(path)](Progress& progress) {
            auto cars = std::make_shared<clsGCI>();
            cars->LoadCars(file, progress);
            return cars;
        },
        [this, path, said](std::shared_ptr<clsGCI> cars) {
            ShowLoaded(std::move(cars), path);
            ShowStatus(said.arg(QFileInfo(path).fileName()));
        },
        true);
}

void frmGCI::ShowLoaded(std::shared_ptr<clsGCI> cars, const QString& path)
{
    cGCI = std::move(cars);
    DocumentLoaded(path);
    UpdateCaption();
    FillSelector();
    UpdateCommands();
}

void frmGCI::UpdateCaption()
{
    setWindowTitle(QStringLiteral("GCI Car Editor - %1").arg(QFileInfo(DocumentPath()).fileName()));
}

void frmGCI::FillSelector()
{
    cmbCars->blockSignals(true);
    cmbCars->clear();
    for (int i = 0; i < cGCI->GetNumOfCars(); ++i)
        cmbCars->addItem(FromBytes(cGCI->GetVal(i, 0)), i);
    cmbCars->setCurrentIndex(cmbCars->count() > 0 ? 0 : -1);
    cmbCars->blockSignals(false);
    cmbCars_Click();
}

void frmGCI::cmdOpen_Click()
{
    const QString path = CurrentPlatform().OpenFileName(this, {FromUtf8(sDataPath()), QString(), kCarFilter});
    if (!path.isEmpty())
        OpenDocument(path);
}

void frmGCI::OpenDocument(const QString& path)
{
    WhenEditsMayGo([this, path] { LoadCarFile(path, QStringLiteral("Opened %1.")); });
}

void frmGCI::cmdReload_Click()
{
    if (!DocumentPath().isEmpty())
        WhenEditsMayGo([this, path = DocumentPath()] { LoadCarFile(path, QStringLiteral("Reloaded %1.")); });
}

void frmGCI::SaveCarFile(const QString& path, std::function<void()> saved)
{
    RunInBackground(
        QStringLiteral("The cars were not saved; the file on disk is as it was.\n\n%1"),
        [cars = cGCI, file = ToUtf8(path)](Progress& progress) { cars->SaveCars(file, progress); },
        [this, path, saved] {
            DocumentSaved(path);
            UpdateCaption();
            ShowStatus(QStringLiteral("Saved %1.").arg(QFileInfo(path).fileName()));
            saved();
        });
}

void frmGCI::SaveDocument(std::function<void()> saved)
{
    if (HasCars())
        SaveCarFile(DocumentPath(), std::move(saved));
}

void frmGCI::cmdSavefile_Click()
{
    SaveDocument([] {});
}

void frmGCI::cmdSaveAs_Click()
{
    if (!HasCars())
        return;
    const QString path = CurrentPlatform().SaveFileName(
        this, {FromUtf8(sDataPath()), QFileInfo(DocumentPath()).fileName(), kCarFilter, true});
    // The copy becomes the open file: Save File and Reload File use it from now on.
    if (!path.isEmpty())
        SaveCarFile(path, [] {});
}

int frmGCI::SelectedCar() const
{
    const QVariant car = cmbCars->currentData();
    return car.isValid() ? car.toInt() : -1;
}

bool frmGCI::HasLine(int car, int i) const
{
    return car >= 0 && i < cGCI->GetNumOfLines(car);
}

void frmGCI::cmbCars_Click()
{
    const int car = SelectedCar();
    for (int i = 0; i < kNumOfProperties; ++i) {
        // A short car: its missing rows stay empty.
        const QString value = HasLine(car, i) ? FromBytes(cGCI->GetVal(car, i)) : QString();
        lstVals->topLevelItem(i)->setText(1, value);
    }
}

void frmGCI::lstVals_DblClick()
{
    QTreeWidgetItem* row = lstVals->currentItem();
    const int car = SelectedCar();
    if (!row || car < 0)
        return;
    const int i = lstVals->indexOfTopLevelItem(row);
    if (i <= 0)
        return;  // the name is not edited here
    if (i == kModelRow) {
        Tell(kModelNotSaved, MessageIcon::Information);
        return;
    }

    const QString property = FromBytes(PropertyName(i));
    if (!HasLine(car, i)) {
        Tell(QStringLiteral("The car %1 has no %2 line, so there is nothing to change.")
                 .arg(cmbCars->currentText(), property),
             MessageIcon::Information);
        return;
    }

    const QString current = row->text(1);
    const QString answer = AskValue(FromBytes(PropertyLowerLimit(i)), FromBytes(PropertyUpperLimit(i)),
                                    QStringLiteral("%1 of %2").arg(property, cmbCars->currentText()), current, i, this);
    // Cancel, Esc and an untouched Ok all answer what the row shows: the line keeps its text.
    if (answer == current)
        return;
    std::string after;
    if (!Attempt(QStringLiteral("%1."), [&] { after = cGCI->ValueLine(car, i, ToBytes(answer)); }))
        return;
    const std::string before = cGCI->GetLine(car, i);
    if (after == before)  // the same value in the same form: no edit
        return;
    const QString what = QStringLiteral("%1 of %2 set to %3")
                             .arg(property, cmbCars->currentText(), FromBytes(CarValueText(i, ToBytes(answer))));
    UndoStack().push(new SetValCommand(*this, car, i, before, after, what));
}

void frmGCI::ShowLine(int car, int i, const std::string& line)
{
    cGCI->PutLine(car, i, line);
    const int shown = cmbCars->findData(car);
    if (shown != cmbCars->currentIndex())
        cmbCars->setCurrentIndex(shown);  // refreshes every row
    else
        lstVals->topLevelItem(i)->setText(1, FromBytes(cGCI->GetVal(car, i)));
    lstVals->setCurrentItem(lstVals->topLevelItem(i));
}

bool frmGCI::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lstVals && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2) {
            lstVals_DblClick();
            return true;
        }
    }
    return EditorWindow::eventFilter(watched, event);
}
