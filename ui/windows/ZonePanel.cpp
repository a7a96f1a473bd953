// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windows/ZonePanel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

ZonePanel::ZonePanel(QWidget* parent) : QGroupBox(QStringLiteral("Zone"), parent)
{
    setObjectName(QStringLiteral("grpZone"));
    txtName_ = new QLineEdit(this);
    txtName_->setObjectName(QStringLiteral("txtZoneName"));
    txtName_->setMaxLength(255);
    cboType_ = new QComboBox(this);
    cboType_->setObjectName(QStringLiteral("cboZoneType"));
    for (int type = 0; type <= kMostZoneType; ++type)
        if (IsZoneType(type))
            cboType_->addItem(QStringLiteral("%1 (%2)").arg(QLatin1String(ZoneTypeName(type))).arg(type), type);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Name:"), this), 0, 0);
    grid->addWidget(txtName_, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Type:"), this), 1, 0);
    grid->addWidget(cboType_, 1, 1, 1, 3);
    const char* const names[4] = {"spnZoneX", "spnZoneY", "spnZoneW", "spnZoneH"};
    const char* const captions[4] = {"X:", "Y:", "W:", "H:"};
    for (int i = 0; i < 4; ++i) {
        spins_[i] = new QSpinBox(this);
        spins_[i]->setObjectName(QLatin1String(names[i]));
        // Sizes from 1; whether the rectangle fits the map is the model's to say.
        spins_[i]->setRange(i < 2 ? 0 : 1, 255);
        // Only a finished number is an edit, not each digit typed.
        spins_[i]->setKeyboardTracking(false);
        grid->addWidget(new QLabel(QLatin1String(captions[i]), this), 2 + i / 2, i % 2 * 2);
        grid->addWidget(spins_[i], 2 + i / 2, i % 2 * 2 + 1);
        connect(spins_[i], &QSpinBox::valueChanged, this, [this] { Offer(); });
    }
    connect(txtName_, &QLineEdit::editingFinished, this, [this] { Offer(); });
    connect(cboType_, &QComboBox::activated, this, [this] { Offer(); });
    Show(nullptr);
}

void ZonePanel::Show(const MapZone* zone)
{
    filling_ = true;
    shown_ = zone ? *zone : MapZone{};
    setEnabled(zone != nullptr);
    txtName_->setText(QString::fromLatin1(shown_.name.data(), static_cast<qsizetype>(shown_.name.size())));
    cboType_->setCurrentIndex(cboType_->findData(int{shown_.type}));
    // A type the game does not use, as a damaged file may hold, is named but not offered.
    cboType_->setPlaceholderText(
        zone ? QStringLiteral("%1 (%2)").arg(QLatin1String(ZoneTypeName(shown_.type))).arg(shown_.type) : QString());
    const uint8_t values[4] = {shown_.x, shown_.y, shown_.w, shown_.h};
    for (int i = 0; i < 4; ++i)
        spins_[i]->setValue(values[i]);
    filling_ = false;
}

MapZone ZonePanel::Proposed() const
{
    MapZone zone = shown_;
    // Bytes outside ASCII typed in are the model's to refuse, so they go as UTF-8.
    if (NameTyped())
        zone.name = txtName_->text().toStdString();
    if (cboType_->currentIndex() >= 0)
        zone.type = static_cast<uint8_t>(cboType_->currentData().toInt());
    uint8_t* values[4] = {&zone.x, &zone.y, &zone.w, &zone.h};
    for (int i = 0; i < 4; ++i)
        *values[i] = static_cast<uint8_t>(spins_[i]->value());
    return zone;
}

bool ZonePanel::NameTyped() const
{
    return isEnabled() &&
           txtName_->text() != QString::fromLatin1(shown_.name.data(), static_cast<qsizetype>(shown_.name.size()));
}

void ZonePanel::Offer()
{
    if (filling_ || !isEnabled())
        return;
    filling_ = true;  // what interpretText takes in is offered below, once
    for (QSpinBox* spin : spins_)
        spin->interpretText();
    filling_ = false;
    const MapZone zone = Proposed();
    if (!(zone == shown_))
        emit Edited(zone);
}
