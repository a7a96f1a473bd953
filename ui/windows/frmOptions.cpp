#include "ui/windows/frmOptions.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "core/common/PathRules.h"
#include "ui/platform/Platform.h"
#include "ui/platform/modGTA2Qt.h"

namespace {
// The frame's place inside the tab container.
constexpr QPoint kFrameInTabs(10, 32);
}  // namespace

frmOptions::frmOptions(QWidget* parent) : QDialog(parent, Qt::Dialog | kFixedBorder)
{
    SetUpFixedWindow(this, QStringLiteral("frmOptions"), QStringLiteral("Options"), {439, 351});
    setModal(false);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setGeometry(2, 2, 435, 315);
    auto* general = new QWidget;
    SSTab1->addTab(general, QStringLiteral("General"));

    Frame1 = new QGroupBox(QStringLiteral("Default GTA2 Directory"), general);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->resize(417, 53);

    Label1 = new QLabel(QStringLiteral("Path:"), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 28, 29, 14);

    txtDir = new QLineEdit(FromUtf8(sGTA2Path()), Frame1);
    txtDir->setObjectName(QStringLiteral("txtDir"));
    txtDir->setGeometry(40, 22, 367, 21);

    cmdOk = new QPushButton(QStringLiteral("Ok"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setGeometry(254, 322, 89, 25);
    cmdOk->setDefault(true);

    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(348, 322, 89, 25);

    connect(cmdOk, &QPushButton::clicked, this, &frmOptions::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
}

void frmOptions::showEvent(QShowEvent* event)
{
    // The tab container lays out its page only once shown; the frame's place is
    // measured from the container's corner, not the page's.
    QDialog::showEvent(event);
    const QPoint pageOrigin = SSTab1->currentWidget()->mapTo(SSTab1, QPoint(0, 0));
    Frame1->move(kFrameInTabs - pageOrigin);
}

void frmOptions::cmdOk_Click()
{
    SetGTA2Path(NormaliseGTA2Path(ToUtf8(txtDir->text()), PlatformSeparator()));
    const QString problem = StoreGTA2Path(sGTA2Path());
    if (!problem.isEmpty())
        CurrentPlatform().Message(this, QStringLiteral("The GTA2 directory could not be saved: %1.").arg(problem),
                                  kAppTitle, MessageIcon::Warning);
    accept();
}

void frmOptions::cmdCancel_Click()
{
    reject();
}
