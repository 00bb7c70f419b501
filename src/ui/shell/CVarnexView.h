#pragma once

#include <QWidget>

namespace varnex::ui {

class CPhaseView;

// The main window's central view: it hosts the site plan.
class CVarnexView : public QWidget {
    Q_OBJECT

public:
    explicit CVarnexView(QWidget* parent = nullptr);

    CPhaseView* PhaseView() const { return phaseView_; }

private:
    CPhaseView* phaseView_;
};

} // namespace varnex::ui
