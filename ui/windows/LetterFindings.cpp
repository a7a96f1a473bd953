#include "ui/windows/LetterFindings.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

#include "core/gxt/GxtCharset.h"
#include "ui/platform/modGTA2Qt.h"

namespace {

// "ñ (0xB0)": the letter the byte stands for in the game font's charset, which the fonts
// are laid out in, or the code alone for a byte that has no letter there.
QString Letter(uint8_t byte)
{
    const QString code = QStringLiteral("0x") + QString::number(byte, 16).toUpper().rightJustified(2, '0');
    const QString shown = FromUtf8(DecodeGxtText(std::string(1, static_cast<char>(byte)), GxtCharset::GameFont));
    const bool hasLetter = byte > 0x20 && shown.size() == 1 && shown.at(0).unicode() < kGxtPlaceholderBase;
    return hasLetter ? shown + " (" + code + ")" : code;
}

QString Letters(const std::vector<uint8_t>& bytes)
{
    QStringList names;
    for (uint8_t b : bytes)
        names << Letter(b);
    return names.join(QStringLiteral(", "));
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
