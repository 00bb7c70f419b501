#include "ui/forms/DistributionField.h"

#include <QHBoxLayout>
#include <QPushButton>

#include "settings/Translate.h"
#include "ui/common/QtText.h"
#include "ui/forms/DistributionEdit.h"

namespace varnex::ui {

DistributionField::DistributionField(QWidget* parent)
    : QWidget(parent), edit_(new DistributionEdit(this)), dumpButton_(new QPushButton(this)) {
    dumpButton_->setAutoDefault(false);
    dumpButton_->setEnabled(false);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(edit_, 1);
    layout->addWidget(dumpButton_);
    setFocusProxy(edit_);
    connect(dumpButton_, &QPushButton::clicked, edit_, [this] { edit_->DumpSamples(); });
    Retranslate();
}

void DistributionField::Load(const StochasticParameter& parameter) {
    edit_->Load(parameter);
    dumpButton_->setEnabled(edit_->HasSamples());
}

bool DistributionField::Apply(StochasticParameter& parameter) const {
    return edit_->Apply(parameter);
}

void DistributionField::SetPrompts(UserPrompts* prompts) { edit_->SetPrompts(prompts); }

void DistributionField::Retranslate() { dumpButton_->setText(ToQString(Translate("Dump"))); }

} // namespace varnex::ui
