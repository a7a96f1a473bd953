// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

#include "core/common/FileKind.h"

class QKeyEvent;
class QLabel;

// The launcher: logo, title, and eight text entries that act as links, by pointer or by
// keyboard (Tab and the arrows move between them, Enter and Space open one). A car,
// text or style file dropped on it opens in the editor its extension names; the files
// the program is started with or handed go by their kind (OpenFiles), maps included.
// Closing it only hides it while editors stay open: it still knows which are open, and
// a later start brings it back.
class frmMain : public QWidget {
    Q_OBJECT
public:
    static constexpr int kEntries = 8;
    enum Entry { AuthorCredit, LayoutCredit, GxtEditing, GciEditing, ExitEntry, StyViewer, Options, MapViewer };

    explicit frmMain(QWidget* parent = nullptr);

    // Makes entry iIndex blue and underlined and every other one white; -1 clears all.
    // A label is written only when its colour has to change.
    void HighlightLabel(int iIndex);
    void l_Click(int index);

    QLabel* EntryLabel(int index) const { return l[static_cast<std::size_t>(index)]; }

    // Opens each file in the editor its kind calls for (KindOf: its first bytes, else
    // its extension); a file of no kind Kestrova knows is refused with a message. The
    // editors are single, so a second file of one kind takes the first one's place.
    void OpenFiles(const QStringList& paths);

    // What a later start hands over: its files, each brought to the front in its editor;
    // with none, the launcher itself comes back, shown again if it was closed.
    void TakeHandOver(const QStringList& paths);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void Form_Load();
    void BuildEntries();
    int EntryIndexOf(QObject* object) const;
    void OpenUrl(const QString& url);
    void ComeBack();

    // The keyboard: the entry with the focus is the highlighted one. A key that moves or
    // opens, pressed while that entry is not highlighted, first only shows it.
    void SetTabOrder();
    bool EntryKey(int entry, const QKeyEvent* event);
    // The entry an arrow key moves to from `from`: of those ahead, the one closest to the
    // row or column of `from`, and of those the nearest; -1 when there is none ahead.
    int EntryToward(int from, int key) const;
    int HighlightedEntry() const;

    template <typename Window>
    void ShowSingle(QPointer<QWidget>& slot);
    void OpenDropped(const QString& path);
    void OpenAs(FileKind kind, const QString& path);
    // Asks each editor with unsaved edits, from the `from`th on, and calls `proceed` once
    // all may go; never when one of them is to stay, or is busy.
    void WhenEditorsMayClose(std::function<void()> proceed, std::size_t from = 0);

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    std::array<QLabel*, kEntries> l{};

    QPointer<QWidget> gxt_;
    QPointer<QWidget> gci_;
    QPointer<QWidget> sty_;
    QPointer<QWidget> gmp_;
    QPointer<QWidget> options_;
};
