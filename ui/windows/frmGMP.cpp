// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windows/frmGMP.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QSpinBox>
#include <QUndoCommand>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/common/Numbers.h"
#include "core/common/PathRules.h"
#include "core/gmp/CityMap.h"
#include "core/gmp/CityPicture.h"
#include "core/gmp/Ground.h"
#include "core/gmp/MapLids.h"
#include "core/io/FileIO.h"
#include "core/sty/clsSTY.h"
#include "ui/platform/Anchors.h"
#include "ui/platform/Platform.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/MapView.h"
#include "ui/windows/ZonePanel.h"

namespace {

constexpr int kZoomSteps = 100;
// The largest picture saved: 8192 pixels a side is 256 MB while it is made.
constexpr int kMostExportSide = 8192;
const QString kMapFilter = QStringLiteral("GMP Files (*.gmp)|*.gmp");

QString ZoneName(const MapZone& zone)
{
    return QString::fromLatin1(zone.name.data(), static_cast<qsizetype>(zone.name.size()));
}

// "3 x 2 at 10, 20": a zone's size and top left corner, in blocks.
QString Extent(const MapZone& zone)
{
    return QStringLiteral("%1 x %2 at %3, %4").arg(zone.w).arg(zone.h).arg(zone.x).arg(zone.y);
}

QString TypeName(int type)
{
    return QString::fromLatin1(ZoneTypeName(type));
}

// "tile 12" with what is done to it, for the status line.
QString FaceText(uint16_t face)
{
    const LidLook look = LookOfFace(face);
    if (look.tile == 0)
        return QStringLiteral("-");
    QString text = QString::number(look.tile);
    if (look.quarterTurns != 0)
        text += QStringLiteral(" r%1").arg(look.quarterTurns * 90);
    if (look.flip)
        text += QStringLiteral(" flip");
    if (look.lighting != 0)
        text += QStringLiteral(" light %1").arg(look.lighting);
    if (face & 0x1000)
        text += QStringLiteral(" flat");
    return text;
}

// The style file beside a map of the same name: x.gmp goes with x.sty (or x.STY).
QString StyleBeside(const QString& mapPath)
{
    const QFileInfo map(mapPath);
    for (const char* ext : {".sty", ".STY"}) {
        const QString candidate = map.dir().filePath(map.completeBaseName() + QLatin1String(ext));
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return QString();
}

// What a change to a zone did, in words: "Renamed zone a to b.", "Moved zone a to 3, 4.".
QString ChangeText(const MapZone& was, const MapZone& now)
{
    if (was.name != now.name)
        return QStringLiteral("Renamed zone %1 to %2.").arg(ZoneName(was), ZoneName(now));
    if (was.type != now.type)
        return QStringLiteral("Zone %1 is now of type %2.").arg(ZoneName(now), TypeName(now.type));
    if (was.w != now.w || was.h != now.h)
        return QStringLiteral("Resized zone %1 to %2.").arg(ZoneName(now), Extent(now));
    return QStringLiteral("Moved zone %1 to %2, %3.").arg(ZoneName(now)).arg(now.x).arg(now.y);
}

// The first of "zone1", "zone2", ... that no zone is called.
std::string FreeZoneName(const std::vector<MapZone>& zones)
{
    for (int n = 1;; ++n) {
        const std::string name = "zone" + std::to_string(n);
        if (std::none_of(zones.begin(), zones.end(), [&](const MapZone& z) { return z.name == name; }))
            return name;
    }
}

// An edit of the zones, undone by putting back the whole list it found: the model sorts
// on every edit, so only the list as it was restores every zone's place.
class ZoneListEdit : public QUndoCommand {
public:
    using Put = std::function<void(const std::vector<MapZone>&, int)>;
    ZoneListEdit(const QString& text, std::vector<MapZone> before, int selectedBefore, std::vector<MapZone> after,
                 int selectedAfter, Put put)
        : QUndoCommand(text),
          before_(std::move(before)),
          after_(std::move(after)),
          selectedBefore_(selectedBefore),
          selectedAfter_(selectedAfter),
          put_(std::move(put))
    {
    }
    void undo() override { put_(before_, selectedBefore_); }
    void redo() override { put_(after_, selectedAfter_); }

private:
    std::vector<MapZone> before_, after_;
    int selectedBefore_, selectedAfter_;
    Put put_;
};

QByteArray PngOf(const QImage& picture)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (picture.isNull() || !picture.save(&buffer, "PNG"))
        throw std::runtime_error("the picture could not be made");
    return png;
}

}  // namespace

frmGMP::frmGMP(QWidget* parent) : EditorWindow(parent, Qt::Window), map_(std::make_shared<CityMap>())
{
    setObjectName(QStringLiteral("frmGMP"));
    setWindowTitle(QStringLiteral("GMP Map Viewer"));
    setFont(TahomaFont(9));
    resize(1024, 760);
    BuildControls();
    ConnectControls();
    AllowResizing(this);
    CenterForm(this);
}

frmGMP::~frmGMP() = default;

void frmGMP::BuildControls()
{
    cmdOpen = new QPushButton(QStringLiteral("Open..."), this);
    cmdSave = new QPushButton(QStringLiteral("Save"), this);
    cmdSaveAs = new QPushButton(QStringLiteral("Save As..."), this);
    cmdStyle = new QPushButton(QStringLiteral("Style..."), this);
    lblStyle = new QLabel(this);
    sldZoom = new QSlider(Qt::Horizontal, this);
    sldZoom->setRange(0, kZoomSteps);
    sldLevel = new QSlider(Qt::Horizontal, this);
    sldLevel->setRange(0, CityMap::kLevels - 1);
    sldLevel->setValue(CityMap::kLevels - 1);
    sldLevel->setPageStep(1);
    sldLevel->setTickPosition(QSlider::TicksBelow);
    lblLevel = new QLabel(this);
    chkZones = new QCheckBox(QStringLiteral("Zones"), this);
    chkZones->setChecked(true);
    view = new MapView(this);
    lstZones = new QListWidget(this);
    cmdNewZone = new QPushButton(QStringLiteral("New Zone"), this);
    cmdNewZone->setCheckable(true);
    cmdNewZone->setToolTip(QStringLiteral("Then draw the zone on the map with the mouse (Esc stops)"));
    cmdDeleteZone = new QPushButton(QStringLiteral("Delete"), this);
    cmdDeleteZone->setToolTip(QStringLiteral("Delete the selected zone (Delete)"));
    panel = new ZonePanel(this);
    cmdCheck = new QPushButton(QStringLiteral("Check Zones"), this);
    lstFindings = new QListWidget(this);
    lstFindings->setWordWrap(true);
    lstFindings->setFixedHeight(120);
    cboExportArea = new QComboBox(this);
    cboExportArea->addItems({QStringLiteral("Whole map"), QStringLiteral("Shown part")});
    spnScale = new QSpinBox(this);
    spnScale->setRange(1, static_cast<int>(MapView::kMostZoom));
    spnScale->setValue(8);
    spnScale->setSuffix(QStringLiteral(" px a block"));
    cmdExport = new QPushButton(QStringLiteral("Export PNG..."), this);
    for (auto [widget, name] : {std::pair<QWidget*, const char*>{cmdOpen, "cmdOpen"},
                                {cmdSave, "cmdSave"},
                                {cmdSaveAs, "cmdSaveAs"},
                                {cmdStyle, "cmdStyle"},
                                {lblStyle, "lblStyle"},
                                {sldZoom, "sldZoom"},
                                {sldLevel, "sldLevel"},
                                {lblLevel, "lblLevel"},
                                {chkZones, "chkZones"},
                                {view, "view"},
                                {lstZones, "lstZones"},
                                {cmdNewZone, "cmdNewZone"},
                                {cmdDeleteZone, "cmdDeleteZone"},
                                {cmdCheck, "cmdCheck"},
                                {lstFindings, "lstFindings"},
                                {cboExportArea, "cboExportArea"},
                                {spnScale, "spnScale"},
                                {cmdExport, "cmdExport"}})
        widget->setObjectName(QLatin1String(name));

    auto* top = new QHBoxLayout;
    for (QWidget* button : {cmdOpen, cmdSave, cmdSaveAs, cmdStyle})
        top->addWidget(button);
    top->addWidget(lblStyle, 1);
    top->addWidget(new QLabel(QStringLiteral("Zoom:"), this));
    top->addWidget(sldZoom, 1);
    top->addWidget(new QLabel(QStringLiteral("Level:"), this));
    top->addWidget(sldLevel);
    top->addWidget(lblLevel);
    top->addWidget(chkZones);
    auto* zoneCommands = new QHBoxLayout;
    zoneCommands->addWidget(cmdNewZone);
    zoneCommands->addWidget(cmdDeleteZone);
    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("Zones:"), this));
    side->addWidget(lstZones, 1);
    side->addLayout(zoneCommands);
    side->addWidget(panel);
    side->addWidget(cmdCheck);
    side->addWidget(lstFindings);
    side->addWidget(new QLabel(QStringLiteral("Picture:"), this));
    side->addWidget(cboExportArea);
    side->addWidget(spnScale);
    side->addWidget(cmdExport);
    auto* sideBox = new QWidget(this);
    sideBox->setLayout(side);
    side->setContentsMargins(0, 0, 0, 0);
    sideBox->setFixedWidth(240);
    auto* middle = new QHBoxLayout;
    middle->addWidget(view, 1);
    middle->addWidget(sideBox);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(middle, 1);
    // The status line sits below what the layout fills.
    AddStatusLine();
    QMargins margins = all->contentsMargins();
    margins.setBottom(height() - StatusLine()->geometry().top() + 2);
    all->setContentsMargins(margins);

    ShowStyleName();
    lblLevel->setText(QStringLiteral("%1").arg(sldLevel->value()));
    UpdateCommands();
}

void frmGMP::ConnectControls()
{
    connect(cmdOpen, &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] {
        if (TakePendingEdit())
            SaveDocument([] {});
    });
    connect(cmdSaveAs, &QPushButton::clicked, this, [this] {
        if (!TakePendingEdit() || DocumentPath().isEmpty())
            return;
        const QFileInfo map(DocumentPath());
        const QString path = CurrentPlatform().SaveFileName(this, {map.dir().path(), map.fileName(), kMapFilter, true});
        if (!path.isEmpty())
            SaveTo(path, [] {});
    });
    PressWith(cmdOpen, {QKeySequence(Qt::CTRL | Qt::Key_O)});
    PressWith(cmdSave, {QKeySequence(Qt::CTRL | Qt::Key_S)});
    PressWith(cmdSaveAs, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    connect(cmdStyle, &QPushButton::clicked, this, [this] { cmdStyle_Click(); });
    connect(cmdExport, &QPushButton::clicked, this, [this] { cmdExport_Click(); });
    connect(sldZoom, &QSlider::valueChanged, this, [this](int value) { ZoomSliderMoved(value); });
    connect(sldLevel, &QSlider::valueChanged, this, [this](int level) {
        view->SetLevel(level);
        lblLevel->setText(QString::number(level));
    });
    connect(chkZones, &QCheckBox::toggled, view, &MapView::SetZonesShown);
    connect(cboExportArea, &QComboBox::currentIndexChanged, this, [this] { UpdateCommands(); });
    connect(lstZones, &QListWidget::currentRowChanged, this, [this](int row) { SelectZone(row, true); });
    connect(view, &MapView::ZoomChanged, this, [this](double zoom) { ShowZoom(zoom); });
    connect(view, &MapView::Hovered, this, [this](int x, int y) { ShowSquare(x, y); });
    connect(view, &MapView::ZoneClicked, this, [this](int zone) { SelectZone(zone, false); });
    connect(view, &MapView::ZoneDragged, this, [this](int zone, QRect squares) {
        if (zone != selected_)
            return;
        MapZone moved = map_->Zones()[static_cast<std::size_t>(zone)];
        moved.x = static_cast<uint8_t>(squares.x());
        moved.y = static_cast<uint8_t>(squares.y());
        moved.w = static_cast<uint8_t>(squares.width());
        moved.h = static_cast<uint8_t>(squares.height());
        ChangeSelected(moved);
    });
    connect(view, &MapView::ZoneDrawn, this, [this](QRect squares) { AddDrawnZone(squares); });
    connect(view, &MapView::DrawingChanged, cmdNewZone, &QPushButton::setChecked);
    connect(cmdNewZone, &QPushButton::toggled, this, [this](bool on) {
        view->SetDrawing(on);
        if (on) {
            view->setFocus();
            Report(QStringLiteral("Draw the new zone on the map with the mouse; Esc stops."));
        }
    });
    connect(cmdDeleteZone, &QPushButton::clicked, this, [this] { cmdDeleteZone_Click(); });
    // Delete where a zone is picked; in the name box the key is the box's own.
    for (QWidget* where : std::initializer_list<QWidget*>{view, lstZones})
        connect(new QShortcut(QKeySequence::Delete, where, nullptr, nullptr, Qt::WidgetWithChildrenShortcut),
                &QShortcut::activated, cmdDeleteZone, &QPushButton::click);
    connect(panel, &ZonePanel::Edited, this, [this](const MapZone& zone) { ChangeSelected(zone); });
    ShareUndoWith(panel->NameBox());
    connect(panel->NameBox(), &QLineEdit::textEdited, this, [this] { UpdateModifiedMark(); });
    connect(cmdCheck, &QPushButton::clicked, this, [this] { cmdCheck_Click(); });
    const auto pickFinding = [this](QListWidgetItem* item) { SelectZone(item->data(Qt::UserRole).toInt(), true); };
    connect(lstFindings, &QListWidget::itemClicked, this, pickFinding);
    connect(lstFindings, &QListWidget::itemActivated, this, pickFinding);
}

void frmGMP::UpdateCommands()
{
    const bool idle = !Busy(), loaded = idle && !DocumentPath().isEmpty();
    for (QWidget* command : std::initializer_list<QWidget*>{cmdOpen, cmdStyle, sldLevel, sldZoom, lstZones, chkZones,
                                                            cboExportArea, lstFindings})
        command->setEnabled(idle);
    for (QWidget* command : std::initializer_list<QWidget*>{cmdSave, cmdSaveAs, cmdExport, cmdNewZone, cmdCheck})
        command->setEnabled(loaded);
    // The scale is the whole map's; the part shown is saved as it is on screen.
    spnScale->setEnabled(idle && cboExportArea->currentIndex() == 0);
    cmdDeleteZone->setEnabled(loaded && selected_ >= 0);
    panel->setEnabled(loaded && selected_ >= 0);
}

void frmGMP::cmdOpen_Click()
{
    const QString path = CurrentPlatform().OpenFileName(this, {FromUtf8(sDataPath()), QString(), kMapFilter, false});
    if (!path.isEmpty())
        OpenDocument(path);
}

void frmGMP::OpenDocument(const QString& path)
{
    WhenEditsMayGo([this, path] { LoadMap(path); });
}

void frmGMP::LoadMap(const QString& path)
{
    // The map shown stays, and so does the view, when the load is refused.
    RunInBackground(
        QStringLiteral("The map file could not be opened.\n\n%1"),
        [file = ToUtf8(path)](Progress& progress) {
            auto map = std::make_unique<CityMap>();
            map->Load(file, progress);
            return map;
        },
        [this, path](std::unique_ptr<CityMap> map) { ShowMap(std::move(map), path); }, true);
}

void frmGMP::ShowMap(std::unique_ptr<CityMap> map, const QString& path)
{
    // The view lets go of the previous map before it goes.
    view->SetMap(map.get());
    map_ = std::move(map);
    DocumentLoaded(path);
    ShowTitle();
    view->SetZoom(0);
    cmdNewZone->setChecked(false);
    selected_ = -1;
    checked_ = false;
    lstFindings->clear();
    FillZoneList();
    ShowSelection(-1, false);
    Report(QStringLiteral("Opened %1: %2 zones.").arg(QFileInfo(path).fileName()).arg(map_->Zones().size()));
    const QString style = StyleBeside(path);
    if (!style.isEmpty() && style != stylePath_)
        OpenStyle(style);
}

void frmGMP::ShowTitle()
{
    setWindowTitle(QStringLiteral("GMP Map Viewer - %1").arg(QFileInfo(DocumentPath()).fileName()));
}

void frmGMP::SaveDocument(std::function<void()> saved)
{
    if (!DocumentPath().isEmpty())
        SaveTo(DocumentPath(), std::move(saved));
}

void frmGMP::SaveTo(const QString& path, std::function<void()> saved)
{
    RunInBackground(
        QStringLiteral("The map was not saved; the file on disk is as it was.\n\n%1"),
        [map = map_, file = ToUtf8(path)](Progress&) { map->Save(file); },
        [this, path, saved] {
            DocumentSaved(path);
            ShowTitle();
            Report(QStringLiteral("Saved %1.").arg(QFileInfo(path).fileName()));
            saved();
        });
}

bool frmGMP::HasPendingEdit() const
{
    return panel->NameTyped();
}

bool frmGMP::TakePendingEdit()
{
    // A refused name is told and put back, so nothing is left waiting either way.
    if (HasPendingEdit())
        panel->Offer();
    return true;
}

void frmGMP::cmdStyle_Click()
{
    const QString mapPath = DocumentPath();
    const QFileInfo map(mapPath);
    const QString folder = mapPath.isEmpty() ? FromUtf8(sDataPath()) : map.dir().path();
    const QString offered = mapPath.isEmpty() ? QString() : map.completeBaseName() + QStringLiteral(".sty");
    const QString path =
        CurrentPlatform().OpenFileName(this, {folder, offered, QStringLiteral("STY Files (*.sty)|*.sty"), false});
    if (!path.isEmpty())
        OpenStyle(path);
}

void frmGMP::OpenStyle(const QString& path)
{
    RunInBackground(
        QStringLiteral("The style file could not be opened; the lids keep their look.\n\n%1"),
        [file = ToUtf8(path)](Progress& progress) {
            auto style = std::make_unique<clsSTY>();
            style->LoadSTY(file, progress);
            return style;
        },
        [this, path](std::unique_ptr<clsSTY> style) { ShowStyle(std::move(style), path); }, true);
}

void frmGMP::ShowStyle(std::unique_ptr<clsSTY> style, const QString& path)
{
    view->SetStyle(style.get());
    style_ = std::move(style);
    stylePath_ = path;
    ShowStyleName();
}

void frmGMP::ShowStyleName()
{
    lblStyle->setText(stylePath_.isEmpty() ? QStringLiteral("No style: ground colours")
                                           : QStringLiteral("Style: %1").arg(QFileInfo(stylePath_).fileName()));
}

void frmGMP::FillZoneList()
{
    const QSignalBlocker quiet(lstZones);
    lstZones->clear();
    for (const MapZone& zone : map_->Zones())
        lstZones->addItem(QStringLiteral("%1 (%2)").arg(ZoneName(zone), TypeName(zone.type)));
}

void frmGMP::SelectZone(int index, bool frame)
{
    // A name typed for the zone selected before goes to that zone first.
    if (index != selected_)
        TakePendingEdit();
    ShowSelection(index, frame);
}

void frmGMP::ShowSelection(int index, bool frame)
{
    if (index >= static_cast<int>(map_->Zones().size()))
        index = -1;
    selected_ = index;
    {
        const QSignalBlocker quiet(lstZones);
        lstZones->setCurrentRow(index);
    }
    view->MarkZone(index);
    const MapZone* zone = index >= 0 ? &map_->Zones()[static_cast<std::size_t>(index)] : nullptr;
    panel->Show(zone);
    if (zone && frame)
        view->ShowSquares(QRectF(zone->x, zone->y, zone->w, zone->h));
    UpdateCommands();
    UpdateModifiedMark();
}

void frmGMP::EditZones(const QString& refusal, const std::function<std::size_t(CityMap&)>& edit,
                       const std::function<QString(const std::vector<MapZone>&, std::size_t)>& told)
{
    if (Busy())
        return;
    std::vector<MapZone> before = map_->Zones();
    std::size_t at = 0;
    if (!Attempt(refusal, [&] { at = edit(*map_); })) {
        ShowSelection(selected_, false);  // the panel shows the zone as it still is
        return;
    }
    const QString text = told(before, at);
    UndoStack().push(
        new ZoneListEdit(text, std::move(before), selected_, map_->Zones(), static_cast<int>(at),
                         [this](const std::vector<MapZone>& zones, int select) { PutZones(zones, select); }));
    Report(text);
}

void frmGMP::PutZones(const std::vector<MapZone>& zones, int select)
{
    map_->SetZones(zones);
    FillZoneList();
    ShowSelection(select, false);
    view->viewport()->update();
    if (checked_)
        FillFindings();
}

void frmGMP::ChangeSelected(const MapZone& zone)
{
    if (selected_ < 0)
        return;
    const auto index = static_cast<std::size_t>(selected_);
    EditZones(
        QStringLiteral("The zone stays as it was: %1."), [&](CityMap& map) { return map.ChangeZone(index, zone); },
        [&](const std::vector<MapZone>& before, std::size_t) { return ChangeText(before[index], zone); });
}

void frmGMP::AddDrawnZone(QRect squares)
{
    const MapZone zone{0,
                       static_cast<uint8_t>(squares.x()),
                       static_cast<uint8_t>(squares.y()),
                       static_cast<uint8_t>(squares.width()),
                       static_cast<uint8_t>(squares.height()),
                       FreeZoneName(map_->Zones())};
    EditZones(
        QStringLiteral("No zone was added: %1."), [&](CityMap& map) { return map.AddZone(zone); },
        [&](const std::vector<MapZone>&, std::size_t) {
            return QStringLiteral("Added zone %1, %2; type its name in the panel.").arg(ZoneName(zone), Extent(zone));
        });
    // The new zone's name is what the user types next.
    panel->NameBox()->setFocus();
    panel->NameBox()->selectAll();
}

void frmGMP::cmdDeleteZone_Click()
{
    if (selected_ < 0)
        return;
    const auto index = static_cast<std::size_t>(selected_);
    const MapZone gone = map_->Zones()[index];
    EditZones(
        QStringLiteral("The zone was not deleted: %1."),
        [&](CityMap& map) {
            map.RemoveZone(index);
            return std::numeric_limits<std::size_t>::max();  // nothing selected after
        },
        [&](const std::vector<MapZone>&, std::size_t) {
            return QStringLiteral("Deleted zone %1.").arg(ZoneName(gone));
        });
}

void frmGMP::cmdCheck_Click()
{
    checked_ = true;
    FillFindings();
}

void frmGMP::FillFindings()
{
    const std::vector<ZoneFinding> found = CheckZones(map_->Zones());
    lstFindings->clear();
    int errors = 0;
    for (const ZoneFinding& f : found) {
        const bool error = f.severity == ZoneFinding::Severity::Error;
        errors += error;
        auto* item = new QListWidgetItem(
            QStringLiteral("%1: %2 %3")
                .arg(error ? "Error" : "Warning", QString::fromLatin1(f.name), QString::fromLatin1(f.problem)),
            lstFindings);
        item->setData(Qt::UserRole, static_cast<int>(f.zone));
    }
    const auto count = [](std::size_t n, const char* noun) { return FromUtf8(Counted(n, noun)); };
    Report(found.empty() ? QStringLiteral("Checked %1: nothing wrong.").arg(count(map_->Zones().size(), "zone"))
                         : QStringLiteral("Checked %1: %2, %3.")
                               .arg(count(map_->Zones().size(), "zone"), count(errors, "error"),
                                    count(static_cast<qsizetype>(found.size()) - errors, "warning")));
}

void frmGMP::Report(const QString& text)
{
    report_ = text;
    ShowStatus(text);
}

void frmGMP::ShowSquare(int x, int y)
{
    if (x < 0 || DocumentPath().isEmpty())
        return ShowStatus(report_);
    // The highest block at or below the level, the one seen from above.
    int z = view->Level();
    while (z > 0 && map_->BlockNumberAt(x, y, z) == 0)
        --z;
    const uint32_t n = map_->BlockNumberAt(x, y, z);
    QString text = QStringLiteral("x %1, y %2, z %3: ").arg(x).arg(y).arg(z);
    if (n == 0)
        return ShowStatus(text + QStringLiteral("air"));
    const MapBlock& b = map_->Block(n);
    text += QStringLiteral("%1, %2   block %3   lid %4   left %5   right %6   top %7   bottom %8   arrows %9")
                .arg(QLatin1String(GroundName(GroundOf(b.slope))), QString::fromStdString(SlopeText(SlopeOf(b.slope))))
                .arg(n)
                .arg(FaceText(b.lid), FaceText(b.left), FaceText(b.right), FaceText(b.top), FaceText(b.bottom))
                .arg(b.arrows);
    ShowStatus(text);
}

int frmGMP::SliderOfZoom(double blockPixels) const
{
    const double fit = view->FitZoom();
    if (fit >= MapView::kMostZoom)
        return 0;
    return static_cast<int>(std::lround(kZoomSteps * std::log(blockPixels / fit) / std::log(MapView::kMostZoom / fit)));
}

double frmGMP::ZoomOfSlider(int value) const
{
    const double fit = view->FitZoom();
    return fit * std::pow(MapView::kMostZoom / fit, double(value) / kZoomSteps);
}

void frmGMP::ZoomSliderMoved(int value)
{
    if (value != SliderOfZoom(view->Zoom()))
        view->SetZoom(ZoomOfSlider(value));
}

void frmGMP::ShowZoom(double blockPixels)
{
    const QSignalBlocker quiet(sldZoom);
    sldZoom->setValue(SliderOfZoom(blockPixels));
    sldZoom->setToolTip(QStringLiteral("%1 pixels a block").arg(blockPixels, 0, 'f', 2));
}

void frmGMP::cmdExport_Click()
{
    if (DocumentPath().isEmpty() || Busy())
        return;
    const bool whole = cboExportArea->currentIndex() == 0;
    const QRect squares = whole ? QRect(0, 0, CityMap::kSide, CityMap::kSide) : view->VisibleSquares();
    // The part shown is saved at the zoom on screen.
    const double scale = whole ? spnScale->value() : view->Zoom();
    const QSize size(static_cast<int>(squares.width() * scale), static_cast<int>(squares.height() * scale));
    if (std::max(size.width(), size.height()) > kMostExportSide) {
        Tell(QStringLiteral("A picture of %1 x %2 pixels is larger than the %3 pixels a side this saves; choose a "
                            "smaller scale or a smaller part.")
                 .arg(size.width())
                 .arg(size.height())
                 .arg(kMostExportSide));
        return;
    }
    const QFileInfo map(DocumentPath());
    const QString path =
        CurrentPlatform().SaveFileName(this, {map.dir().path(), map.completeBaseName() + QStringLiteral(".png"),
                                              QStringLiteral("PNG Files (*.png)|*.png"), true});
    if (path.isEmpty())
        return;
    // The part shown is drawn here, from the view's own lids, as one more frame; the whole
    // map, which can take seconds, is drawn on the worker. Either is encoded and written there.
    QImage shown = whole ? QImage() : view->Render(squares, scale);
    std::vector<MapZone> zones = chkZones->isChecked() ? map_->Zones() : std::vector<MapZone>();
    RunInBackground(
        QStringLiteral("The picture was not saved.\n\n%1"),
        [map = map_, style = style_, level = view->Level(), scale = spnScale->value(), zones = std::move(zones),
         marked = selected_, font = view->font(), shown = std::move(shown),
         inputs = QStringList{DocumentPath(), stylePath_}, file = ToUtf8(path)](Progress&) mutable {
            for (const QString& input : inputs)
                if (!input.isEmpty())
                    RefuseToOverwrite(file, ToUtf8(input));
            if (shown.isNull()) {
                CityPicture city = DrawCity(*map, style.get(), level, scale);
                shown = QImage(reinterpret_cast<const uchar*>(city.pixels.data()), city.side, city.side,
                               QImage::Format_RGB32)
                            .copy();
                DrawZoneOutlines(shown, zones, QPointF(0, 0), scale, marked, font);
            }
            const QByteArray png = PngOf(shown);
            WriteExportFile(file,
                            {reinterpret_cast<const uint8_t*>(png.constData()), static_cast<std::size_t>(png.size())});
        },
        [this, path] { Report(QStringLiteral("Exported %1.").arg(QFileInfo(path).fileName())); });
}
