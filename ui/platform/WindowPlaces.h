// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Each window comes back where the user left it: its size and position are stored when
// it is hidden and given back when it is next placed.

#include <QRect>
#include <optional>

class QWidget;

// Stores `window`'s size and position (outer frame) whenever it is hidden, under its
// object name. Windows placed by CenterForm or PlaceOpenedWindow then go where they were.
void KeepPlace(QWidget* window);

// Where a window that keeps its place was last left, if it was; a place no screen shows
// any part of is forgotten.
std::optional<QRect> StoredPlace(const QWidget* window);
