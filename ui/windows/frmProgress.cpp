// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windows/frmProgress.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "ui/platform/modGTA2Qt.h"

namespace {
// The bar works in whole steps; the float range is mapped onto this many.
constexpr int kBarSteps = 10000;
// One frame of a 60 Hz screen, in milliseconds.
constexpr int kFrameMs = 16;
}  // namespace

frmProgress::frmProgress(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("Please Wait..."));
    setFixedSize(439, 53);
    setFont(TahomaFont(9));

    l = new QLabel(QStringLiteral("Loading..."), this);
    l->setObjectName(QStringLiteral("l"));
    l->move(18, 6);
    l->adjustSize();

    pbar = Child<QProgressBar>(this, "pbar", {18, 20, 395, 19});
    pbar->setTextVisible(false);
    pbar->setRange(0, kBarSteps);
    pbar->setValue(0);

    nextFrame_.setSingleShot(true);
    connect(&nextFrame_, &QTimer::timeout, this, &frmProgress::PaintBar);

    CenterForm(this);
}

void frmProgress::SetCancellable(bool cancellable)
{
    if (cancellable && !cmdCancel) {
        // The bar makes room for the button; the window keeps its size.
        pbar->setGeometry(18, 20, 310, 19);
        cmdCancel = Child<QPushButton>(this, "cmdCancel", {334, 17, 87, 25}, QStringLiteral("Cancel"));
        connect(cmdCancel, &QPushButton::clicked, this, &frmProgress::cancelRequested);
        cmdCancel->show();
    }
}

void frmProgress::closeEvent(QCloseEvent* event)
{
    // The work goes on until it stops; only then does its window go.
    event->ignore();
    if (cmdCancel)
        emit cancelRequested();
}

void frmProgress::SetRange(float minimum, float maximum)
{
    maximum_ = maximum;
    minimum_ = minimum;
    ShowPosition();
}

void frmProgress::SetText(const QString& text)
{
    l->setText(text);
    l->adjustSize();
}

QString frmProgress::Text() const
{
    return l->text();
}

void frmProgress::Update(double value, const QString& text)
{
    if (value != static_cast<double>(position_) && value < static_cast<double>(maximum_)) {
        position_ = static_cast<float>(value);
        ShowPosition();
    }
    if (text != l->text())
        SetText(text);
}

void frmProgress::ShowPosition()
{
    // An empty or reversed range (an empty file gives 1 to 0) shows an empty bar.
    const double span = static_cast<double>(maximum_) - static_cast<double>(minimum_);
    double fraction = span > 0 ? (static_cast<double>(position_) - minimum_) / span : 0.0;
    fraction = std::clamp(fraction, 0.0, 1.0);
    pendingSteps_ = static_cast<int>(std::lround(fraction * kBarSteps));
    if (pendingSteps_ == pbar->value()) {
        nextFrame_.stop();
        return;
    }
    const qint64 elapsed = sincePaint_.isValid() ? sincePaint_.elapsed() : kFrameMs;
    if (elapsed >= kFrameMs)
        PaintBar();
    else if (!nextFrame_.isActive())
        nextFrame_.start(static_cast<int>(kFrameMs - elapsed));
}

void frmProgress::PaintBar()
{
    nextFrame_.stop();
    if (pendingSteps_ != pbar->value())
        pbar->setValue(pendingSteps_);
    sincePaint_.start();
}
