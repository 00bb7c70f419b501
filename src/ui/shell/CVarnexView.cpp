#include "ui/shell/CVarnexView.h"

#include <QVBoxLayout>

#include "ui/siteplan/CPhaseView.h"

namespace varnex::ui {

CVarnexView::CVarnexView(QWidget* parent) : QWidget(parent), phaseView_(new CPhaseView(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(phaseView_);
}

} // namespace varnex::ui
