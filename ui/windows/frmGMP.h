#pragma once
#include <memory>

#include "ui/windows/EditorWindow.h"

class CityMap;
class MapView;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSlider;
class QSpinBox;
class clsSTY;

// "GMP Map Viewer": a map file seen from above, its lids drawn with a style file's
// tiles (the map's own x.sty beside x.gmp is opened with it) or in flat colours, with
// a zoom, a level above which everything is hidden, the named zones, what block sits
// at the square under the pointer, and the whole map or the part shown saved as PNG.
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

private:
    void ShowMap(std::unique_ptr<CityMap> map, const QString& path);
    void ShowStyle(std::unique_ptr<clsSTY> style, const QString& path);
    void BuildControls();
    void ConnectControls();
    void UpdateCommands() override;
    void FillZoneList();
    void ShowStyleName();
    void ShowSquare(int x, int y);
    void ZoomSliderMoved(int value);
    void ShowZoom(double blockPixels);
    // The slider's position for a zoom and back: even steps of the zoom's logarithm.
    int SliderOfZoom(double blockPixels) const;
    double ZoomOfSlider(int value) const;

    MapView* view = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdStyle = nullptr;
    QPushButton* cmdExport = nullptr;
    QComboBox* cboExportArea = nullptr;
    QSpinBox* spnScale = nullptr;
    QSlider* sldZoom = nullptr;
    QSlider* sldLevel = nullptr;
    QLabel* lblLevel = nullptr;
    QLabel* lblStyle = nullptr;
    QCheckBox* chkZones = nullptr;
    QListWidget* lstZones = nullptr;
    QLabel* lblStatus = nullptr;

    // The map file is EditorWindow's DocumentPath().
    std::unique_ptr<CityMap> map_;
    std::unique_ptr<clsSTY> style_;
    QString stylePath_;
};
