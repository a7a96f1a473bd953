// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text editor's list: each entry's key and text as shown, held as strings rather
// than as a widget item per row. The strings are made on a worker; putting tens of
// thousands of them in place is a swap, so the window's thread never waits on a list.
//
// With a reference file open (the file a translation translates) the list gains the
// reference's text as a third column, the keys only the reference has as rows of their
// own after the entries, and a filter that shows some kinds of rows only.

#include <QAbstractTableModel>
#include <QString>
#include <vector>

class TextRows : public QAbstractTableModel {
    Q_OBJECT
public:
    // How a row stands against the reference.
    enum class Kind {
        Other,         // no reference, or a key's repeated entry
        Translated,    // its text differs from the reference's
        Untranslated,  // the same bytes as the reference's text
        Extra,         // a key the reference lacks
        Missing,       // a key only the reference has: no entry here
    };
    // Which rows are shown: every entry, or the rows of one kind.
    enum class Filter { All, Untranslated, Missing, Extra };
    struct Row {
        QString key, text, reference;
        Kind kind = Kind::Other;
        int referenceEntry = 0;  // the reference's entry of the key, 0 for none
    };
    // The entries in file order, then the missing rows.
    using Rows = std::vector<Row>;
    enum Column { KeyColumn, TextColumn, ReferenceColumn };
    struct Counts {
        int untranslated = 0, missing = 0, extra = 0;
    };

    explicit TextRows(QObject* parent = nullptr);

    // Rows count from 0 (entry e is row e - 1). Every row at once, shown through the
    // filter, and row `keep` whatever the filter says (so that the entry an edit made
    // stays in sight).
    void Reset(Rows rows, bool withReference, int keep = -1);
    void SetFilter(Filter filter, int keep = -1);
    Filter CurrentFilter() const { return filter_; }
    bool HasReference() const { return withReference_; }
    Counts KindCounts() const;

    void SetText(int row, const QString& text, Kind kind);
    const QString& Text(int row) const { return At(row).text; }
    const QString& Key(int row) const { return At(row).key; }
    const Row& At(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    // The number of entries (missing rows not counted).
    int Count() const { return entries_; }
    // The row a shown row stands for, and the shown row of a row (-1 when it is hidden).
    int RowOf(int shown) const { return shown_[static_cast<std::size_t>(shown)]; }
    int ShownRow(int row) const;
    int ShownCount() const { return static_cast<int>(shown_.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void Select(int keep);

    Rows rows_;
    int entries_ = 0;
    bool withReference_ = false;
    Filter filter_ = Filter::All;
    std::vector<int> shown_;  // rows of all, ascending
};
