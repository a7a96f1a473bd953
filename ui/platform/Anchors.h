// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Windows whose default arrangement is laid out by hand grow with the window: each
// anchored child keeps its default place and size, and moves or stretches by as much as
// its parent has grown past its default size.

#include <QFlags>

class QWidget;

enum class Follow {
    // The child's left and right edges move with the parent's right edge.
    Right = 1,
    // Its top and bottom edges move with the parent's bottom edge.
    Bottom = 2,
    // Its right edge moves with the parent's right edge: it grows wider.
    Width = 4,
    // Its bottom edge moves with the parent's bottom edge: it grows taller.
    Height = 8,
};
Q_DECLARE_FLAGS(Follows, Follow)
Q_DECLARE_OPERATORS_FOR_FLAGS(Follows)

// Grows `child` with its parent as `follows` says, from the place it has now. Call it
// while the parent still has its default size.
void Anchor(QWidget* child, Follows follows);

// Lets a window laid out at its default size be resized and maximised, never below that
// size.
void AllowResizing(QWidget* window);
