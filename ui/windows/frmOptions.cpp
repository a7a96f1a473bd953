// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windows/frmOptions.h"

#include <QDir>
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

    SSTab1 = Child<QTabWidget>(this, "SSTab1", {2, 2, 435, 315});
    auto* general = new QWidget;
    SSTab1->addTab(general, QStringLiteral("General"));

    Frame1 = new QGroupBox(QStringLiteral("Default GTA2 Directory"), general);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->resize(417, 53);

    Label1 = Child<QLabel>(Frame1, "Label1", {8, 28, 29, 14}, QStringLiteral("Path:"));
    txtDir = Child<QLineEdit>(Frame1, "txtDir", {40, 22, 282, 21}, FromUtf8(sGTA2Path()));
    cmdBrowse = Child<QPushButton>(Frame1, "cmdBrowse", {328, 20, 81, 25}, QStringLiteral("&Browse..."));
    cmdOk = Child<QPushButton>(this, "cmdOk", {254, 322, 89, 25}, QStringLiteral("Ok"));
    cmdOk->setDefault(true);
    cmdCancel = Child<QPushButton>(this, "cmdCancel", {348, 322, 89, 25}, QStringLiteral("Cancel"));

    connect(cmdOk, &QPushButton::clicked, this, &frmOptions::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
    connect(cmdBrowse, &QPushButton::clicked, this, &frmOptions::cmdBrowse_Click);
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
                                  windowTitle(), MessageIcon::Warning);
    accept();
}

void frmOptions::cmdBrowse_Click()
{
    const QString typed = txtDir->text().trimmed();
    const QString folder = CurrentPlatform().FolderName(this, typed.isEmpty() ? QDir::homePath() : typed);
    if (!folder.isEmpty())
        txtDir->setText(QDir::toNativeSeparators(folder));
}

void frmOptions::cmdCancel_Click()
{
    reject();
}
