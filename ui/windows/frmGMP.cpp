#include "ui/windows/frmGMP.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

#include "core/common/PathRules.h"
#include "core/gmp/CityMap.h"
#include "core/gmp/MapLids.h"
#include "core/io/FileIO.h"
#include "core/sty/clsSTY.h"
#include "ui/platform/Platform.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/MapView.h"

namespace {

constexpr int kZoomSteps = 100;
// The largest picture saved: 8192 pixels a side is 256 MB while it is made.
constexpr int kMostExportSide = 8192;

QString ZoneName(const MapZone& zone)
{
    return QString::fromLatin1(zone.name.data(), static_cast<qsizetype>(zone.name.size()));
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

}  // namespace

frmGMP::frmGMP(QWidget* parent) : EditorWindow(parent, Qt::Window), map_(std::make_unique<CityMap>())
{
    setObjectName(QStringLiteral("frmGMP"));
    setWindowTitle(QStringLiteral("GMP Map Viewer"));
    setFont(TahomaFont(9));
    BuildControls();
    ConnectControls();
    resize(1024, 760);
    CenterForm(this);
}

frmGMP::~frmGMP() = default;

void frmGMP::BuildControls()
{
    const auto named = [](QWidget* widget, const char* name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    cmdOpen = new QPushButton(QStringLiteral("Open..."), this);
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
    cboExportArea = new QComboBox(this);
    cboExportArea->addItems({QStringLiteral("Whole map"), QStringLiteral("Shown part")});
    spnScale = new QSpinBox(this);
    spnScale->setRange(1, static_cast<int>(MapView::kMostZoom));
    spnScale->setValue(8);
    spnScale->setSuffix(QStringLiteral(" px a block"));
    cmdExport = new QPushButton(QStringLiteral("Export PNG..."), this);
    lblStatus = new QLabel(this);
    for (auto [widget, name] : {std::pair<QWidget*, const char*>{cmdOpen, "cmdOpen"},
                                {cmdStyle, "cmdStyle"},
                                {lblStyle, "lblStyle"},
                                {sldZoom, "sldZoom"},
                                {sldLevel, "sldLevel"},
                                {lblLevel, "lblLevel"},
                                {chkZones, "chkZones"},
                                {view, "view"},
                                {lstZones, "lstZones"},
                                {cboExportArea, "cboExportArea"},
                                {spnScale, "spnScale"},
                                {cmdExport, "cmdExport"},
                                {lblStatus, "lblStatus"}})
        named(widget, name);

    auto* top = new QHBoxLayout;
    top->addWidget(cmdOpen);
    top->addWidget(cmdStyle);
    top->addWidget(lblStyle, 1);
    top->addWidget(new QLabel(QStringLiteral("Zoom:"), this));
    top->addWidget(sldZoom, 1);
    top->addWidget(new QLabel(QStringLiteral("Level:"), this));
    top->addWidget(sldLevel);
    top->addWidget(lblLevel);
    top->addWidget(chkZones);
    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("Zones:"), this));
    side->addWidget(lstZones, 1);
    side->addWidget(cboExportArea);
    side->addWidget(spnScale);
    side->addWidget(cmdExport);
    auto* middle = new QHBoxLayout;
    middle->addWidget(view, 1);
    middle->addLayout(side);
    lstZones->setFixedWidth(190);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(middle, 1);
    all->addWidget(lblStatus);

    ShowStyleName();
    lblLevel->setText(QStringLiteral("%1").arg(sldLevel->value()));
    cmdExport->setEnabled(false);
}

void frmGMP::ConnectControls()
{
    connect(cmdOpen, &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(cmdStyle, &QPushButton::clicked, this, [this] { cmdStyle_Click(); });
    connect(cmdExport, &QPushButton::clicked, this, [this] { cmdExport_Click(); });
    connect(sldZoom, &QSlider::valueChanged, this, [this](int value) { ZoomSliderMoved(value); });
    connect(sldLevel, &QSlider::valueChanged, this, [this](int level) {
        view->SetLevel(level);
        lblLevel->setText(QString::number(level));
    });
    connect(chkZones, &QCheckBox::toggled, view, &MapView::SetZonesShown);
    connect(lstZones, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0 || static_cast<std::size_t>(row) >= map_->Zones().size())
            return;
        const MapZone& zone = map_->Zones()[static_cast<std::size_t>(row)];
        view->ShowSquares(QRectF(zone.x, zone.y, zone.w, zone.h));
        view->MarkZone(row);
    });
    connect(view, &MapView::ZoomChanged, this, [this](double zoom) { ShowZoom(zoom); });
    connect(view, &MapView::Hovered, this, [this](int x, int y) { ShowSquare(x, y); });
}

void frmGMP::UpdateCommands()
{
    for (QWidget* command : std::initializer_list<QWidget*>{cmdOpen, cmdStyle, sldLevel, sldZoom, lstZones, chkZones,
                                                            cboExportArea, spnScale})
        command->setEnabled(!Busy());
    cmdExport->setEnabled(!Busy() && !DocumentPath().isEmpty());
}

void frmGMP::cmdOpen_Click()
{
    const QString path = CurrentPlatform().OpenFileName(
        this, {FromUtf8(sDataPath()), QString(), QStringLiteral("GMP Files (*.gmp)|*.gmp"), false});
    if (!path.isEmpty())
        OpenDocument(path);
}

void frmGMP::OpenDocument(const QString& path)
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
    setWindowTitle(QStringLiteral("GMP Map Viewer - %1").arg(QFileInfo(path).fileName()));
    view->SetZoom(0);
    FillZoneList();
    UpdateCommands();
    const QString style = StyleBeside(path);
    if (!style.isEmpty() && style != stylePath_)
        OpenStyle(style);
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
    lblStyle->setText(stylePath_.isEmpty() ? QStringLiteral("No style: flat colours")
                                           : QStringLiteral("Style: %1").arg(QFileInfo(stylePath_).fileName()));
}

void frmGMP::FillZoneList()
{
    const QSignalBlocker quiet(lstZones);
    lstZones->clear();
    for (const MapZone& zone : map_->Zones())
        lstZones->addItem(QStringLiteral("%1 (type %2)").arg(ZoneName(zone)).arg(zone.type));
}

void frmGMP::ShowSquare(int x, int y)
{
    if (x < 0 || DocumentPath().isEmpty()) {
        lblStatus->clear();
        return;
    }
    // The highest block at or below the level, the one seen from above.
    int z = view->Level();
    while (z > 0 && map_->BlockNumberAt(x, y, z) == 0)
        --z;
    const uint32_t n = map_->BlockNumberAt(x, y, z);
    QString text = QStringLiteral("x %1, y %2, z %3: ").arg(x).arg(y).arg(z);
    if (n == 0) {
        lblStatus->setText(text + QStringLiteral("air"));
        return;
    }
    const MapBlock& b = map_->Block(n);
    text += QStringLiteral("block %1   lid %2   left %3   right %4   top %5   bottom %6   slope %7   arrows %8")
                .arg(n)
                .arg(FaceText(b.lid), FaceText(b.left), FaceText(b.right), FaceText(b.top), FaceText(b.bottom))
                .arg(b.slope)
                .arg(b.arrows);
    lblStatus->setText(text);
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
    if (DocumentPath().isEmpty())
        return;
    const bool whole = cboExportArea->currentIndex() == 0;
    const QRect squares = whole ? QRect(0, 0, CityMap::kSide, CityMap::kSide) : view->VisibleSquares();
    const int scale = spnScale->value();
    if (std::max(squares.width(), squares.height()) * scale > kMostExportSide) {
        Tell(QStringLiteral("A picture of %1 x %2 pixels is larger than the %3 pixels a side this saves; choose a "
                            "smaller scale or a smaller part.")
                 .arg(squares.width() * scale)
                 .arg(squares.height() * scale)
                 .arg(kMostExportSide));
        return;
    }
    const QFileInfo map(DocumentPath());
    const QString path =
        CurrentPlatform().SaveFileName(this, {map.dir().path(), map.completeBaseName() + QStringLiteral(".png"),
                                              QStringLiteral("PNG Files (*.png)|*.png"), true});
    if (path.isEmpty())
        return;
    const QImage picture = view->Render(squares, scale);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (picture.isNull() || !picture.save(&buffer, "PNG"))
        return Tell(QStringLiteral("%1 could not be written: the picture could not be made.").arg(path));
    // Through the file layer: a file it replaces is replaced whole or not at all.
    try {
        for (const QString& input : {DocumentPath(), stylePath_})
            if (!input.isEmpty())
                RefuseToOverwrite(ToUtf8(path), ToUtf8(input));
        WriteExportFile(ToUtf8(path),
                        {reinterpret_cast<const uint8_t*>(png.constData()), static_cast<std::size_t>(png.size())});
    } catch (const FileError& e) {
        Tell(QStringLiteral("%1 could not be written.\n%2").arg(path, QString::fromStdString(e.what())));
    }
}
