#pragma once

#include <vector>

#include "ui/forms/InputForm.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QSpinBox;

namespace varnex::ui {

// "Simulation Parameters": the number of Monte Carlo iterations, how the
// inputs are sampled (plain Monte Carlo or Latin hypercube) and the
// assessment times (time slices), typed one by one or calculated as a linear
// or logarithmic series.
class SimulationParametersForm : public InputForm {
    Q_OBJECT

public:
    explicit SimulationParametersForm(QWidget* parent = nullptr);

    QString Title() const override;
    void Load(const Project& project) override;
    bool Validate(QStringList& errors) override;
    void Apply(Project& project) override;

    void CalculateTimeSlices();
    void InsertTimeSlice();
    void RemoveTimeSlice();

private:
    std::vector<int> ListedYears(bool* valid = nullptr) const;
    void ShowYears(std::vector<int> years);

    QSpinBox* iterations_;
    QComboBox* samplingMethod_;
    QSpinBox* startYear_;
    QSpinBox* endYear_;
    QSpinBox* step_;
    QCheckBox* logarithmic_;
    QListWidget* list_;
    QSpinBox* newYear_;
    std::vector<double> loadedSlices_;
    int loadedIterations_ = 0;
};

} // namespace varnex::ui
