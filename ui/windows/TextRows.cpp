#include "ui/windows/TextRows.h"

TextRows::TextRows(QObject* parent) : QAbstractTableModel(parent) {}

void TextRows::Reset(Rows rows)
{
    beginResetModel();
    rows_.swap(rows);
    endResetModel();
}

void TextRows::SetText(int row, const QString& text)
{
    rows_[static_cast<std::size_t>(row)].second = text;
    const QModelIndex changed = index(row, TextColumn);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

int TextRows::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count();
}

int TextRows::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant TextRows::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return index.column() == KeyColumn ? Key(index.row()) : Text(index.row());
}

QVariant TextRows::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == KeyColumn ? QStringLiteral("Key Name") : QStringLiteral("Value");
}
