// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QGroupBox>

#include "core/gmp/MapZones.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

// The selected zone's name, type (the types the game uses, by name) and rectangle in
// blocks. A change the user finishes (Enter or leaving the name box, a type picked, a
// number entered or stepped) is offered as the whole zone; the window decides.
class ZonePanel : public QGroupBox {
    Q_OBJECT
public:
    explicit ZonePanel(QWidget* parent);

    // Shows `zone`'s values; none empties the panel and turns it off.
    void Show(const MapZone* zone);
    // Whether the name box holds typed text the zone does not have yet.
    bool NameTyped() const;
    // Offers what the boxes hold now, typed text included, when it differs from the zone.
    void Offer();
    QLineEdit* NameBox() const { return txtName_; }

signals:
    void Edited(const MapZone& zone);

private:
    MapZone Proposed() const;

    QLineEdit* txtName_;
    QComboBox* cboType_;
    QSpinBox* spins_[4];  // x, y, w, h
    MapZone shown_{};
    bool filling_ = false;
};
