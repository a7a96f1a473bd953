// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>
#include <memory>

#include "ui/windows/EditorWindow.h"

class CityMap;
class MapView;
class ZonePanel;
struct MapZone;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSlider;
class QSpinBox;
class clsSTY;

// "GMP Map Viewer": a map file seen from above, its lids drawn with a style file's
// tiles (the map's own x.sty beside x.gmp is opened with it) or in the ground types'
// colours, with a zoom, a level above which everything is hidden, what lies on the square
// under the pointer, and the whole map or the part shown saved as PNG. Its named zones are
// edited here: picked in the list or on the map, changed in a panel or by dragging, drawn
// new, deleted and checked, each edit undoable, and saved into the map file, whose other
// bytes stay as they were.
class frmGMP : public EditorWindow {
    Q_OBJECT
public:
    explicit frmGMP(QWidget* parent = nullptr);
    ~frmGMP() override;

    void cmdOpen_Click();
    void cmdStyle_Click();
    void cmdExport_Click();

    // Opens a map (and the style beside it), or a style for the map shown, on a worker;
    // tells the user and keeps what was shown when the file is refused.
    void OpenDocument(const QString& path) override;
    void OpenStyle(const QString& path);

    MapView* View() const { return view; }

protected:
    void SaveDocument(std::function<void()> saved) override;
    bool TakePendingEdit() override;
    bool HasPendingEdit() const override;

private:
    void LoadMap(const QString& path);
    void ShowMap(std::unique_ptr<CityMap> map, const QString& path);
    void ShowStyle(std::unique_ptr<clsSTY> style, const QString& path);
    void SaveTo(const QString& path, std::function<void()> saved);
    void BuildControls();
    void ConnectControls();
    void UpdateCommands() override;
    void ShowTitle();
    void FillZoneList();
    void ShowStyleName();
    void ShowSquare(int x, int y);
    void ZoomSliderMoved(int value);
    void ShowZoom(double blockPixels);
    // The slider's position for a zoom and back: even steps of the zoom's logarithm.
    int SliderOfZoom(double blockPixels) const;
    double ZoomOfSlider(int value) const;

    // Selects zone `index` (-1 for none) in the list, on the map and in the panel; with
    // `frame`, the view zooms to it.
    void SelectZone(int index, bool frame);
    // The same, leaving a typed name where it is.
    void ShowSelection(int index, bool frame);
    // One undoable edit: `edit` changes the map's zones (or throws, changing nothing, and
    // the user is told `refusal`) and returns the zone to select afterwards.
    void EditZones(const QString& refusal, const std::function<std::size_t(CityMap&)>& edit,
                   const std::function<QString(const std::vector<MapZone>&, std::size_t)>& told);
    void ChangeSelected(const MapZone& zone);
    void AddDrawnZone(QRect squares);
    void cmdDeleteZone_Click();
    // Puts `zones` in the map as they are (the undo stack's way in) and shows them.
    void PutZones(const std::vector<MapZone>& zones, int select);
    void cmdCheck_Click();
    void FillFindings();
    // The result of an action, shown again when the pointer leaves the map.
    void Report(const QString& text);

    MapView* view = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdSaveAs = nullptr;
    QPushButton* cmdStyle = nullptr;
    QPushButton* cmdExport = nullptr;
    QPushButton* cmdNewZone = nullptr;
    QPushButton* cmdDeleteZone = nullptr;
    QPushButton* cmdCheck = nullptr;
    QComboBox* cboExportArea = nullptr;
    QSpinBox* spnScale = nullptr;
    QSlider* sldZoom = nullptr;
    QSlider* sldLevel = nullptr;
    QLabel* lblLevel = nullptr;
    QLabel* lblStyle = nullptr;
    QCheckBox* chkZones = nullptr;
    QListWidget* lstZones = nullptr;
    QListWidget* lstFindings = nullptr;
    ZonePanel* panel = nullptr;

    // The map file is EditorWindow's DocumentPath(). Shared with the worker that saves or
    // exports it.
    std::shared_ptr<CityMap> map_;
    std::shared_ptr<clsSTY> style_;
    QString stylePath_;
    int selected_ = -1;
    bool checked_ = false;  // the findings are shown, and follow each edit
    QString report_;
};
