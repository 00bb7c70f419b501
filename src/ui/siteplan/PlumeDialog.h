#pragma once

#include <QDialog>
#include <QRectF>

#include "run/PlumeGrid.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace varnex {
class Project;
}

namespace varnex::ui {

class UserPrompts;

// The plume settings: which contaminant, at what time and on how fine a
// grid the plume is mapped over the part of the site plan on screen. OK
// refuses a time or spacing not above 0 (and a grid too fine to compute)
// and stays open; an accepted dialog has stored the settings in the
// project and switched plume mode on, a cancelled one has switched it off.
class PlumeDialog : public QDialog {
    Q_OBJECT

public:
    // `area` is the plan area on screen, site plan metres (y north).
    PlumeDialog(Project& project, const QRectF& area, UserPrompts& prompts,
                QWidget* parent = nullptr);

    // The calculation the accepted settings ask for.
    PlumeRequest Request() const { return request_; }

    QComboBox* ContaminantBox() const { return contaminantBox_; }
    QLineEdit* TimeEntry() const { return timeEntry_; }
    QLineEdit* SpacingEntry() const { return spacingEntry_; }
    QString NodeCountText() const;

public slots:
    void accept() override;
    void reject() override;

private:
    void UpdateNodeCount();

    Project& project_;
    UserPrompts& prompts_;
    PlumeRequest request_;
    QComboBox* contaminantBox_;
    QLineEdit* timeEntry_;
    QLineEdit* spacingEntry_;
    QLabel* nodeCount_;
};

} // namespace varnex::ui
