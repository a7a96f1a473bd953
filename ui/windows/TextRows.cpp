// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windows/TextRows.h"

#include <algorithm>

TextRows::TextRows(QObject* parent) : QAbstractTableModel(parent) {}

void TextRows::Reset(Rows rows, bool withReference, int keep)
{
    beginResetModel();
    rows_.swap(rows);
    entries_ = static_cast<int>(
        std::count_if(rows_.begin(), rows_.end(), [](const Row& r) { return r.kind != Kind::Missing; }));
    withReference_ = withReference;
    if (!withReference_)
        filter_ = Filter::All;
    Select(keep);
    endResetModel();
}

void TextRows::SetFilter(Filter filter, int keep)
{
    beginResetModel();
    filter_ = filter;
    Select(keep);
    endResetModel();
}

void TextRows::Select(int keep)
{
    static constexpr Kind kShown[] = {Kind::Other, Kind::Untranslated, Kind::Missing, Kind::Extra};
    shown_.clear();
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
        const Kind kind = At(r).kind;
        const bool shown = filter_ == Filter::All ? kind != Kind::Missing : kind == kShown[static_cast<int>(filter_)];
        if (shown || r == keep)
            shown_.push_back(r);
    }
}

TextRows::Counts TextRows::KindCounts() const
{
    Counts counts;
    for (const Row& r : rows_) {
        counts.untranslated += r.kind == Kind::Untranslated;
        counts.missing += r.kind == Kind::Missing;
        counts.extra += r.kind == Kind::Extra;
    }
    return counts;
}

int TextRows::ShownRow(int row) const
{
    const auto at = std::lower_bound(shown_.begin(), shown_.end(), row);
    return at != shown_.end() && *at == row ? static_cast<int>(at - shown_.begin()) : -1;
}

void TextRows::SetText(int row, const QString& text, Kind kind)
{
    Row& r = rows_[static_cast<std::size_t>(row)];
    r.text = text;
    r.kind = kind;
    if (const int shown = ShownRow(row); shown >= 0)
        emit dataChanged(index(shown, TextColumn), index(shown, TextColumn), {Qt::DisplayRole});
}

int TextRows::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ShownCount();
}

int TextRows::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : withReference_ ? 3 : 2;
}

QVariant TextRows::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const Row& r = At(RowOf(index.row()));
    switch (index.column()) {
        case KeyColumn:
            return r.key;
        case TextColumn:
            return r.text;
        default:
            return r.reference;
    }
}

QVariant TextRows::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QString kHeaders[] = {QStringLiteral("Key Name"), QStringLiteral("Value"),
                                       QStringLiteral("Reference")};
    return kHeaders[std::clamp(section, 0, 2)];
}
