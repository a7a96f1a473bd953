// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windows/LetterFindings.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

#include "core/translation/TextCheck.h"
#include "ui/platform/modGTA2Qt.h"

namespace {

QString Letters(const std::vector<uint8_t>& bytes)
{
    return FromUtf8(LetterNames(bytes));
}

}  // namespace

LetterFindings::LetterFindings(QWidget* editor) : QWidget(editor, Qt::Tool)
{
    setObjectName(QStringLiteral("frmLetters"));
    resize(460, 320);
    lvwFindings = new QTreeWidget(this);
    lvwFindings->setObjectName(QStringLiteral("lvwFindings"));
    lvwFindings->setHeaderLabels({QStringLiteral("Key"), QStringLiteral("Cannot draw"), QStringLiteral("Blank")});
    lvwFindings->setRootIsDecorated(false);
    lvwFindings->setUniformRowHeights(true);
    lvwFindings->setColumnWidth(0, 80);
    lvwFindings->setColumnWidth(1, 220);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(lvwFindings);
    connect(lvwFindings, &QTreeWidget::itemActivated, this, &LetterFindings::Choose);
}

void LetterFindings::Show(const QString& caption, const std::vector<Finding>& findings)
{
    setWindowTitle(caption);
    lvwFindings->clear();
    QList<QTreeWidgetItem*> items;
    for (const Finding& f : findings) {
        auto* item = new QTreeWidgetItem(QStringList{f.key, Letters(f.letters.undrawable), Letters(f.letters.blank)});
        item->setData(0, Qt::UserRole, f.entry);
        items << item;
    }
    lvwFindings->addTopLevelItems(items);
    if (!std::exchange(placed_, true))
        PlaceOpenedWindow(this, parentWidget());
    show();
    raise();
}

void LetterFindings::Choose(QTreeWidgetItem* item)
{
    emit EntryChosen(item->data(0, Qt::UserRole).toInt(), item->text(0));
}
