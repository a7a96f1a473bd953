#pragma once
// The text editor's list: each entry's key and text as shown, held as strings rather
// than as a widget item per row. The strings are made on a worker; putting tens of
// thousands of them in place is a swap, so the window's thread never waits on a list.

#include <QAbstractTableModel>
#include <QString>
#include <utility>
#include <vector>

class TextRows : public QAbstractTableModel {
    Q_OBJECT
public:
    // Key, text.
    using Rows = std::vector<std::pair<QString, QString>>;
    enum Column { KeyColumn, TextColumn };

    explicit TextRows(QObject* parent = nullptr);

    // Every row at once; rows count from 0.
    void Reset(Rows rows);
    void SetText(int row, const QString& text);
    const QString& Text(int row) const { return rows_[static_cast<std::size_t>(row)].second; }
    const QString& Key(int row) const { return rows_[static_cast<std::size_t>(row)].first; }
    int Count() const { return static_cast<int>(rows_.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    Rows rows_;
};
