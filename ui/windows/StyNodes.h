// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The style viewer's tree: what each node stands for, and how its item is named and
// exported. Shared by the viewer's drawing and its file commands.

#include <QString>
#include <QStringList>
#include <QTreeWidgetItem>

#include "images/StyImages.h"

enum class StyNodeKind { Root, Tiles, Sprites, Palettes, Fonts, Tile, Sprite, Palette, Font };

// Every node of the tree, holding what it is and which one. Kept as members rather than
// item data: data beyond the text costs each item two more allocations, and a style
// file has thousands of sprites, filled in and thrown away on every open.
class StyNode : public QTreeWidgetItem {
public:
    StyNode(StyNodeKind kind, const QString& text, int number)
        : QTreeWidgetItem(QStringList{text}, UserType), kind(kind), number(number)
    {
    }
    const StyNodeKind kind;
    const int number;
};

// The tree holds nothing but StyNodes.
inline StyNodeKind KindOfNode(const QTreeWidgetItem* node)
{
    return static_cast<const StyNode*>(node)->kind;
}

inline int NumberOfNode(const QTreeWidgetItem* node)
{
    return static_cast<const StyNode*>(node)->number;
}

// A tile or a sprite: an item with pixels, drawn as a picture and replaceable.
inline bool IsPicture(StyNodeKind kind)
{
    return kind == StyNodeKind::Tile || kind == StyNodeKind::Sprite;
}

// What can be exported on its own: a font is shown, not exported.
inline bool IsItem(StyNodeKind kind)
{
    return IsPicture(kind) || kind == StyNodeKind::Palette;
}

// How an item is named in messages and in the file name an export offers.
inline QString ItemName(StyNodeKind kind)
{
    return kind == StyNodeKind::Tile     ? QStringLiteral("Tile")
           : kind == StyNodeKind::Sprite ? QStringLiteral("Sprite")
                                         : QStringLiteral("Pal");
}

inline StyItem ItemOf(StyNodeKind kind)
{
    return kind == StyNodeKind::Tile ? StyItem::Tile : kind == StyNodeKind::Sprite ? StyItem::Sprite : StyItem::Palette;
}
