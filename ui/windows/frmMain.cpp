// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windows/frmMain.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <iterator>
#include <utility>

#include "ui/platform/Artwork.h"
#include "ui/platform/Platform.h"
#include "ui/platform/WindowPlaces.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/frmGCI.h"
#include "ui/windows/frmGMP.h"
#include "ui/windows/frmGXT.h"
#include "ui/windows/frmOptions.h"
#include "ui/windows/frmSTY.h"

namespace {

const QColor kWhite(255, 255, 255);
const QColor kBlue(0, 0, 255);

const QString kAuthorMail = QStringLiteral("mailto:kestrova@example.org");
const QString kLayoutMail = QStringLiteral("mailto:gxt-layout@example.org");

struct LabelPlace {
    const char* text;
    int left, top, width, height;
    double points;
    // Entries on the right-hand side keep their right edge when the font is wider or
    // narrower than Tahoma, so they never run off the window.
    bool anchoredRight;
};

const LabelPlace kEntryPlaces[frmMain::kEntries] = {
    {"By the Kestrova team", 241, 128, 112, 14, 9, true},
    {"GXT File Layout By the Kestrova team", 186, 144, 167, 14, 9, true},
    {"GXT File Editing", 10, 164, 133, 23, 14.25, false},
    {"GCI Car Editing", 10, 188, 129, 23, 14.25, false},
    {"Exit", 322, 212, 30, 23, 14.25, true},
    {"STY Viewer", 10, 212, 95, 23, 14.25, false},
    {"Options", 290, 188, 63, 23, 14.25, true},
    {"GMP Map Viewer", 213, 164, 140, 23, 14.25, true},  // the right column's top, across from GXT
};

void SetLabelColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QColor LabelColour(const QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}

void SetUnderline(QLabel* label, bool on)
{
    QFont font = label->font();
    font.setUnderline(on);
    label->setFont(font);
}

// How far apart two spans of one axis lie; nothing when they overlap.
int Gap(int from, int to, int otherFrom, int otherTo)
{
    return std::max({0, otherFrom - to, from - otherTo});
}

void BringToFront(QWidget* window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

QLabel* MakeLabel(QWidget* parent, const QString& text, const LabelPlace& place)
{
    auto* label = new QLabel(text, parent);
    label->setFont(TahomaFont(place.points));
    label->setAttribute(Qt::WA_TranslucentBackground);
    SetLabelColour(label, kWhite);
    label->adjustSize();
    const int right = place.left + place.width;
    const int left = place.anchoredRight ? right - label->width() : place.left;
    label->move(left, place.top);
    return label;
}

}  // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent, Qt::Dialog | kFixedBorder)
{
    SetUpFixedWindow(this, QStringLiteral("frmMain"), kAppTitle, {357, 237});
    setWindowIcon(MakeAppIcon());
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
    setMouseTracking(true);
    setAcceptDrops(true);

    Image1 = Child<QLabel>(this, "Image1", {6, 6, 347, 91});
    Image1->setPixmap(MakeLogo());

    Label2 = MakeLabel(this, QStringLiteral("v1.1"), {"", 4, 98, 35, 23, 14.25, false});
    Label2->setObjectName(QStringLiteral("Label2"));
    Label1 = MakeLabel(this, kAppTitle, {"", 248, 98, 105, 29, 18, true});
    Label1->setObjectName(QStringLiteral("Label1"));
    BuildEntries();
    SetTabOrder();

    for (QWidget* child :
         {static_cast<QWidget*>(Image1), static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2)}) {
        child->setMouseTracking(true);
        child->installEventFilter(this);
    }
    Form_Load();
}

void frmMain::BuildEntries()
{
    for (int i = 0; i < kEntries; ++i) {
        const LabelPlace& place = kEntryPlaces[i];
        QLabel* label = MakeLabel(this, QString::fromLatin1(place.text), place);
        label->setObjectName(QStringLiteral("l(%1)").arg(i));
        label->setMouseTracking(true);
        label->setFocusPolicy(Qt::TabFocus);
        label->installEventFilter(this);
        l[static_cast<std::size_t>(i)] = label;
    }
}

void frmMain::SetTabOrder()
{
    // The working windows first, down the left column and up the right, the credits last.
    const Entry order[] = {GxtEditing, GciEditing, StyViewer,    MapViewer,
                           Options,    ExitEntry,  AuthorCredit, LayoutCredit};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(EntryLabel(order[i - 1]), EntryLabel(order[i]));
    EntryLabel(order[0])->setFocus();
}

void frmMain::Form_Load()
{
    LoadSettings();
    const QCursor hand = MakeHandCursor();
    for (QLabel* entry : l)
        entry->setCursor(hand);
    KeepPlace(this);
    CenterForm(this);
}

void frmMain::HighlightLabel(int iIndex)
{
    for (int i = 0; i < kEntries; ++i) {
        QLabel* entry = l[static_cast<std::size_t>(i)];
        const QColor colour = LabelColour(entry);
        if (colour != kWhite && i != iIndex) {
            SetLabelColour(entry, kWhite);
            SetUnderline(entry, false);
        } else if (colour != kBlue && i == iIndex) {
            SetLabelColour(entry, kBlue);
            SetUnderline(entry, true);
        }
    }
}

int frmMain::EntryIndexOf(QObject* object) const
{
    for (int i = 0; i < kEntries; ++i)
        if (l[static_cast<std::size_t>(i)] == object)
            return i;
    return -1;
}

int frmMain::HighlightedEntry() const
{
    for (int i = 0; i < kEntries; ++i)
        if (LabelColour(EntryLabel(i)) == kBlue)
            return i;
    return -1;
}

int frmMain::EntryToward(int from, int key) const
{
    const QPoint step = key == Qt::Key_Left    ? QPoint(-1, 0)
                        : key == Qt::Key_Right ? QPoint(1, 0)
                        : key == Qt::Key_Up    ? QPoint(0, -1)
                                               : QPoint(0, 1);
    const QRect start = EntryLabel(from)->geometry();
    const QPoint centre = start.center();
    int nearest = -1;
    std::pair<int, int> nearestDistance;
    for (int i = 0; i < kEntries; ++i) {
        const QRect there = EntryLabel(i)->geometry();
        const int ahead = (there.center().x() - centre.x()) * step.x() + (there.center().y() - centre.y()) * step.y();
        // An entry level with the start along the arrow (the wider one above it) is not ahead.
        const bool level = step.x() != 0 ? there.left() <= centre.x() && centre.x() <= there.right()
                                         : there.top() <= centre.y() && centre.y() <= there.bottom();
        if (ahead <= 0 || level)
            continue;
        // The same row or column first, then the nearest in it.
        const int aside = step.x() != 0 ? Gap(start.top(), start.bottom(), there.top(), there.bottom())
                                        : Gap(start.left(), start.right(), there.left(), there.right());
        if (const std::pair distance{aside, ahead}; nearest < 0 || distance < nearestDistance) {
            nearest = i;
            nearestDistance = distance;
        }
    }
    return nearest;
}

bool frmMain::EntryKey(int entry, const QKeyEvent* event)
{
    const int key = event->key();
    const bool opens = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    const bool tabs = key == Qt::Key_Tab || key == Qt::Key_Backtab;
    const bool arrow = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    if (!(opens || tabs || arrow) || (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)))
        return false;
    if (HighlightedEntry() != entry) {
        HighlightLabel(entry);
        return true;
    }
    if (opens) {
        if (!event->isAutoRepeat())
            l_Click(entry);
        return true;
    }
    if (tabs)
        return false;  // Qt moves the focus along the tab order, and the focus brings the highlight
    if (const int next = EntryToward(entry, key); next >= 0)
        EntryLabel(next)->setFocus(Qt::OtherFocusReason);
    return true;
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    const int entry = EntryIndexOf(watched);
    if (event->type() == QEvent::MouseMove) {
        // The logo and the version text have no handler: the highlight stays as it is.
        if (watched == Label1)
            HighlightLabel(-1);
        else if (entry >= 0) {
            HighlightLabel(entry);
            EntryLabel(entry)->setFocus(Qt::MouseFocusReason);  // so that Enter opens what is highlighted
        }
        return true;
    }
    if (event->type() == QEvent::KeyPress && entry >= 0)
        return EntryKey(entry, static_cast<QKeyEvent*>(event));
    // Coming back to the window, as at its start, shows no entry until a key is pressed.
    if (event->type() == QEvent::FocusIn && entry >= 0 &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason)
        HighlightLabel(entry);
    if (event->type() == QEvent::MouseButtonRelease && entry >= 0) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            l[static_cast<std::size_t>(entry)]->rect().contains(mouse->position().toPoint()))
            l_Click(entry);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::mouseMoveEvent(QMouseEvent* event)
{
    HighlightLabel(-1);
    QWidget::mouseMoveEvent(event);
}

template <typename Window>
void frmMain::ShowSingle(QPointer<QWidget>& slot)
{
    if (!slot) {
        slot = new Window;
        slot->setAttribute(Qt::WA_DeleteOnClose);
        PlaceOpenedWindow(slot, this);
    }
    BringToFront(slot);
}

void frmMain::OpenUrl(const QString& url)
{
    // Whether a mail program took the link is not reported.
    CurrentPlatform().OpenUrl(QUrl(url));
}

void frmMain::ComeBack()
{
    HighlightLabel(-1);
    BringToFront(this);
}

void frmMain::TakeHandOver(const QStringList& paths)
{
    if (paths.isEmpty())
        return ComeBack();
    OpenFiles(paths);
}

void frmMain::l_Click(int index)
{
    HighlightLabel(-1);
    switch (index) {
        case AuthorCredit:
            OpenUrl(kAuthorMail);
            break;
        case LayoutCredit:
            OpenUrl(kLayoutMail);
            break;
        case GxtEditing:
            ShowSingle<frmGXT>(gxt_);
            break;
        case GciEditing:
            ShowSingle<frmGCI>(gci_);
            break;
        case ExitEntry:
            WhenEditorsMayClose([] { CurrentPlatform().EndProgram(); });
            break;
        case StyViewer:
            ShowSingle<frmSTY>(sty_);
            break;
        case Options:
            ShowSingle<frmOptions>(options_);
            break;
        case MapViewer:
            ShowSingle<frmGMP>(gmp_);
            break;
        default:
            break;
    }
}

void frmMain::WhenEditorsMayClose(std::function<void()> proceed, std::size_t from)
{
    const std::array<QPointer<QWidget>, 3> editors{gxt_, gci_, sty_};
    for (std::size_t i = from; i < editors.size(); ++i)
        if (auto* editor = qobject_cast<EditorWindow*>(editors[i].data()))
            return editor->WhenEditsMayGo([this, proceed, i] { WhenEditorsMayClose(proceed, i + 1); });
    proceed();
}

void frmMain::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    // Opened once the drop is over, as an editor does with a file dropped on it.
    QTimer::singleShot(0, this, [this, path = urls.first().toLocalFile()] { OpenDropped(path); });
}

void frmMain::OpenDropped(const QString& path)
{
    // A drop goes by its extension, to the three editors.
    if (const FileKind kind = KindOfName(ToUtf8(path)); kind != FileKind::Unknown && kind != FileKind::Map)
        return OpenAs(kind, path);
    CurrentPlatform().Message(this,
                              QStringLiteral("%1 is not a car (.gci), text (.gxt) or style (.sty) file, so "
                                             "there is no editor to open it in.")
                                  .arg(QFileInfo(path).fileName()),
                              windowTitle(), MessageIcon::Information);
}

void frmMain::OpenFiles(const QStringList& paths)
{
    for (const QString& path : paths) {
        const FileKind kind = KindOf(ToUtf8(path));
        if (kind != FileKind::Unknown) {
            OpenAs(kind, path);
            continue;
        }
        // Said over the launcher, which a later start may find closed.
        if (!isVisible())
            ComeBack();
        CurrentPlatform().Message(this,
                                  QStringLiteral("%1 is not a GTA2 car (.gci), text (.gxt), style (.sty) or map "
                                                 "(.gmp) file, so there is no editor to open it in.")
                                      .arg(QDir::toNativeSeparators(path)),
                                  windowTitle(), MessageIcon::Information);
    }
}

void frmMain::OpenAs(FileKind kind, const QString& path)
{
    switch (kind) {
        case FileKind::Car:
            ShowSingle<frmGCI>(gci_);
            return static_cast<EditorWindow*>(gci_.data())->OpenDocument(path);
        case FileKind::Text:
            ShowSingle<frmGXT>(gxt_);
            return static_cast<EditorWindow*>(gxt_.data())->OpenDocument(path);
        case FileKind::Style:
            ShowSingle<frmSTY>(sty_);
            return static_cast<EditorWindow*>(sty_.data())->OpenDocument(path);
        case FileKind::Map:
            ShowSingle<frmGMP>(gmp_);
            return static_cast<EditorWindow*>(gmp_.data())->OpenDocument(path);
        case FileKind::Unknown:
            return;
    }
}
