#include "ui/windows/frmGCI.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <stdexcept>

#include "core/common/PathRules.h"
#include "core/gci/GCIProperties.h"
#include "core/gci/GCIValueText.h"
#include "ui/platform/Platform.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/frmSetVal.h"

namespace {

const QString kCarFilter = QStringLiteral("Cars Files (*.gci)|*.gci");

// Car files are 8-bit text, one character a byte; Latin-1 keeps every byte as it is.
QString FromBytes(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToBytes(const QString& text)
{
    return text.toLatin1().toStdString();
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, int top)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(370, top, 104, 25);
    return button;
}

}  // namespace

// Disables every command while a load or save runs and puts them back afterwards.
class frmGCI::Busy {
public:
    explicit Busy(frmGCI* window) : window_(window)
    {
        window_->busy_ = true;
        window_->UpdateCommands();
    }
    ~Busy()
    {
        window_->busy_ = false;
        window_->UpdateCommands();
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    frmGCI* window_;
};

frmGCI::frmGCI(QWidget* parent) : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint)
{
    SetUpFixedWindow(this, QStringLiteral("frmGCI"), QStringLiteral("GCI Car Editor"), {480, 444});

    cmdOpen = MakeButton(this, "cmdOpen", "Open File", 10);
    cmdReload = MakeButton(this, "cmdReload", "Reload File", 40);
    cmdSavefile = MakeButton(this, "cmdSavefile", "Save File", 70);
    cmdSaveAs = MakeButton(this, "cmdSaveAs", "Save File As", 100);

    Frame1 = new QGroupBox(QStringLiteral("Values For"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(6, 2, 358, 436);

    // The selector stands in the frame's title line, so the title reads "Values For" and
    // then the chosen car.
    cmbCars = new QComboBox(Frame1);
    cmbCars->setObjectName(QStringLiteral("cmbCars"));
    const int titleEnd = 10 + Frame1->fontMetrics().horizontalAdvance(Frame1->title());
    cmbCars->setGeometry(titleEnd + 6, 0, 190, 22);

    lstVals = new QTreeWidget(Frame1);
    lstVals->setObjectName(QStringLiteral("lstVals"));
    lstVals->setGeometry(8, 28, 342, 400);
    lstVals->setColumnCount(2);
    lstVals->setHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value")});
    lstVals->setRootIsDecorated(false);
    lstVals->setUniformRowHeights(true);
    lstVals->setAllColumnsShowFocus(true);
    lstVals->header()->setSectionsMovable(false);
    lstVals->setColumnWidth(0, 170);

    connect(cmdOpen, &QPushButton::clicked, this, &frmGCI::cmdOpen_Click);
    connect(cmdReload, &QPushButton::clicked, this, &frmGCI::cmdReload_Click);
    connect(cmdSavefile, &QPushButton::clicked, this, &frmGCI::cmdSavefile_Click);
    connect(cmdSaveAs, &QPushButton::clicked, this, &frmGCI::cmdSaveAs_Click);
    connect(cmbCars, &QComboBox::currentIndexChanged, this, &frmGCI::cmbCars_Click);
    connect(lstVals, &QTreeWidget::itemDoubleClicked, this, &frmGCI::lstVals_DblClick);

    Form_Load();
}

frmGCI::~frmGCI() = default;

void frmGCI::Form_Load()
{
    for (int i = 0; i < kNumOfProperties; ++i)
        new QTreeWidgetItem(lstVals, {FromBytes(PropertyName(i)), QString()});
    UpdateCommands();
    CenterForm(this);
}

void frmGCI::closeEvent(QCloseEvent* event)
{
    // The model is in use further up the stack until the load or save returns.
    if (busy_)
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void frmGCI::UpdateCommands()
{
    const bool hasCars = cGCI && cGCI->GetNumOfCars() > 0;
    cmdOpen->setEnabled(!busy_);
    cmdReload->setEnabled(!busy_ && !sCarFile.isEmpty());
    cmdSavefile->setEnabled(!busy_ && hasCars);
    cmdSaveAs->setEnabled(!busy_ && hasCars);
    cmbCars->setEnabled(!busy_);
    lstVals->setEnabled(!busy_ && hasCars);
}

void frmGCI::Tell(const QString& text, MessageIcon icon)
{
    CurrentPlatform().Message(this, text, windowTitle(), icon);
}

bool frmGCI::LoadCarFile(const QString& path)
{
    QString problem;
    {
        Busy busy(this);
        try {
            if (!cGCI)
                cGCI = std::make_unique<clsGCI>();
            cGCI->LoadCars(ToUtf8(path));
        } catch (const std::exception& e) {
            problem = FromUtf8(e.what());
        }
    }
    if (!problem.isEmpty()) {
        Tell(QStringLiteral("The car file could not be loaded; the editor keeps what it showed.\n\n%1").arg(problem),
             MessageIcon::Warning);
        return false;
    }
    FillSelector();
    if (cGCI->GetNumOfCars() == 0)
        Tell(QStringLiteral("No cars were found in %1.").arg(path), MessageIcon::Information);
    return true;
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
    if (busy_)
        return;
    const QString path = CurrentPlatform().OpenFileName(this, {FromUtf8(sDataPath()), QString(), kCarFilter});
    if (path.isEmpty())
        return;
    if (LoadCarFile(path))
        sCarFile = path;
    UpdateCommands();
}

void frmGCI::cmdReload_Click()
{
    if (busy_ || sCarFile.isEmpty())
        return;
    LoadCarFile(sCarFile);
    UpdateCommands();
}

void frmGCI::SaveCarFile(const QString& path)
{
    QString problem;
    {
        Busy busy(this);
        try {
            cGCI->SaveCars(ToUtf8(path));
        } catch (const std::exception& e) {
            problem = FromUtf8(e.what());
        }
    }
    if (!problem.isEmpty())
        Tell(QStringLiteral("The cars were not saved; the file on disk is as it was.\n\n%1").arg(problem),
             MessageIcon::Warning);
}

void frmGCI::cmdSavefile_Click()
{
    if (busy_ || !cGCI || cGCI->GetNumOfCars() == 0)
        return;
    SaveCarFile(sCarFile);
}

void frmGCI::cmdSaveAs_Click()
{
    if (busy_ || !cGCI || cGCI->GetNumOfCars() == 0)
        return;
    const QString path = CurrentPlatform().SaveFileName(this, {FromUtf8(sDataPath()), QString(), kCarFilter, true});
    if (path.isEmpty())
        return;
    // sCarFile stays on the opened file: Save File and Reload File keep using it.
    SaveCarFile(path);
}

int frmGCI::SelectedCar() const
{
    const QVariant car = cmbCars->currentData();
    return car.isValid() ? car.toInt() : -1;
}

void frmGCI::cmbCars_Click()
{
    const int car = SelectedCar();
    for (int i = 0; i < kNumOfProperties; ++i) {
        QString value;
        if (car >= 0) {
            try {
                value = FromBytes(cGCI->GetVal(car, i));
            } catch (const std::out_of_range&) {
                // A short car: its missing rows stay empty.
            }
        }
        lstVals->topLevelItem(i)->setText(1, value);
    }
}

void frmGCI::lstVals_DblClick()
{
    QTreeWidgetItem* row = lstVals->currentItem();
    const int car = SelectedCar();
    if (busy_ || !row || car < 0)
        return;
    const int i = lstVals->indexOfTopLevelItem(row);
    if (i <= 0)
        return;  // the name is not edited here

    const QString property = FromBytes(PropertyName(i));
    try {
        cGCI->GetVal(car, i);
    } catch (const std::out_of_range&) {
        Tell(QStringLiteral("The car %1 has no %2 line, so there is nothing to change.")
                 .arg(cmbCars->currentText(), property),
             MessageIcon::Information);
        return;
    }

    const QString current = row->text(1);
    const QString answer =
        AskValue(FromBytes(PropertyLowerLimit(i)), FromBytes(PropertyUpperLimit(i)), QString(), current, i, this);
    // Cancel, Esc and an untouched Ok all answer what the row shows: the line keeps its text.
    if (answer == current)
        return;
    // A blank around the value would cut it off from its line's label.
    const QString value = answer.trimmed();
    const std::optional<double> number = ParseGCINumber(ToBytes(value));
    if (!number) {
        Tell(QStringLiteral("\"%1\" is not a number; %2 keeps its value.").arg(answer, property), MessageIcon::Warning);
        return;
    }
    if (*number <= -1)
        return;
    row->setText(1, value);
    cGCI->SetVal(car, i, ToBytes(value));
}
