// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text editor's "Check Letters" list: each text with letters the chosen font cannot
// draw (outside its range) or draws blank, one row a key. Choosing a row (a double click
// or Enter) asks the editor to select that key's entry.

#include <QWidget>
#include <vector>

#include "core/sty/FontText.h"

class QTreeWidget;
class QTreeWidgetItem;

class LetterFindings : public QWidget {
    Q_OBJECT
public:
    struct Finding {
        int entry = 0;  // from 1, when the check ran
        QString key;
        FontFindings letters;
    };

    // A tool window of `editor`'s, hidden until shown.
    explicit LetterFindings(QWidget* editor);

    // Lists `findings` under `caption`, and shows the window.
    void Show(const QString& caption, const std::vector<Finding>& findings);

signals:
    void EntryChosen(int entry, const QString& key);

private:
    void Choose(QTreeWidgetItem* item);

    QTreeWidget* lvwFindings;
    bool placed_ = false;
};
