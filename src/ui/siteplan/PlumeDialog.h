#pragma once

#include <QDialog>
#include <QRectF>

#include "model/PlumeMapChoices.h"
#include "run/PlumeGrid.h"
#include "run/ProbabilityMap.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;

namespace varnex {
class Project;
}

namespace varnex::ui {

class UserPrompts;

// The plume settings: which contaminant, at what time and on how fine a
// grid the plume is mapped over the part of the site plan on screen, and
// which map: the central-value plume (every input at its central value) or
// the probability map of the run's iterations, drawn as the probability of
// exceeding the standard, the mean or a percentile. OK refuses a time or
// spacing not above 0 (and a grid too fine to compute) and stays open. An
// accepted dialog has stored the settings and the map choices in the
// project; for a central-value plume it has switched plume mode on, a
// cancelled one has switched it off.
class PlumeDialog : public QDialog {
    Q_OBJECT

public:
    // `area` is the plan area on screen, site plan metres (y north).
    PlumeDialog(Project& project, const QRectF& area, UserPrompts& prompts,
                QWidget* parent = nullptr);

    // The calculation the accepted settings ask for.
    PlumeRequest Request() const { return request_; }
    PlumeMapKind Kind() const;
    // The probability map the accepted settings ask for.
    ProbabilityMapRequest MapRequest() const { return mapRequest_; }

    QComboBox* KindBox() const { return kindBox_; }
    QComboBox* ContaminantBox() const { return contaminantBox_; }
    QLineEdit* TimeEntry() const { return timeEntry_; }
    // The project's time slices, for a probability map.
    QComboBox* TimeSliceBox() const { return timeSliceBox_; }
    QComboBox* QuantityBox() const { return quantityBox_; }
    QComboBox* PercentileBox() const { return percentileBox_; }
    QLineEdit* PercentilesEntry() const { return percentilesEntry_; }
    QLineEdit* SpacingEntry() const { return spacingEntry_; }
    // Why the exceedance probability is not offered; empty when it is.
    QString StandardNote() const;
    QString NodeCountText() const;

public slots:
    void accept() override;
    void reject() override;

private:
    void UpdateNodeCount();
    // Shows the rows of the map kind chosen.
    void UpdateKind();
    // The quantities the chosen contaminant allows.
    void UpdateQuantities();
    // The percentile levels typed, offered for drawing.
    void UpdatePercentiles();
    bool AcceptProbability(double spacing);

    Project& project_;
    UserPrompts& prompts_;
    PlumeRequest request_;
    ProbabilityMapRequest mapRequest_;
    QFormLayout* form_;
    QComboBox* kindBox_;
    QComboBox* contaminantBox_;
    QLineEdit* timeEntry_;
    QComboBox* timeSliceBox_;
    QComboBox* quantityBox_;
    QComboBox* percentileBox_;
    QLineEdit* percentilesEntry_;
    QLabel* standardNote_;
    QLineEdit* spacingEntry_;
    QLabel* nodeCount_;
};

} // namespace varnex::ui
