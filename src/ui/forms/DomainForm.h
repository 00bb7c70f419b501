#pragma once

#include <optional>

#include "model/SitePlan.h"
#include "ui/forms/InputForm.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace varnex::ui {

// "Domain": the grid of the site plan, its coordinate reference system
// (an EPSG code, checked against GDAL's register) and the background map
// behind it; the map's placement is edited in "DXF Options", which the form
// opens.
class DomainForm : public InputForm {
    Q_OBJECT

public:
    explicit DomainForm(QWidget* parent = nullptr);

    QString Title() const override;
    void Load(const Project& project) override;
    bool Validate(QStringList& errors) override;
    void Apply(Project& project) override;

private:
    // "DXF Options" on the entries of this form: what it changes waits here
    // for this form's OK.
    void EditDxfOptions();
    // A DXF drawing or anything GDAL reads as a raster or vector map.
    void BrowseMapFile();
    // The code typed: 0 for an empty field; nullopt when it is no number.
    std::optional<int> EnteredEpsg() const;
    void ShowCoordinateSystemName();

    // The loaded plan with the placement taken from "DXF Options".
    SitePlan plan_;
    // What the spin box showed for the stored spacing, which it may not
    // hold (a damaged file's 0).
    int shownGridSpacing_ = 0;
    QSpinBox* gridSpacing_;
    QCheckBox* showGrid_;
    QCheckBox* showBackgroundMap_;
    QLineEdit* mapFile_;
    QLineEdit* coordinateSystem_;
    QLabel* coordinateSystemName_;
};

} // namespace varnex::ui
