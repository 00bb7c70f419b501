#include "ui/DistributionEdit.h"

#include "ui/QtText.h"

namespace varnex::ui {

DistributionEdit::DistributionEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, [this] { Recheck(); });
}

void DistributionEdit::Load(const StochasticParameter& parameter) {
    parameter_ = parameter;
    setText(ToQString(parameter_.Format()));
    Recheck();
}

bool DistributionEdit::IsTextValid() const { return valid_; }

QString DistributionEdit::ErrorText() const {
    if (valid_) return {};
    StochasticParameter trial(parameter_);
    trial.distribution.Parse(ToStdString(text()));
    return ToQString(trial.ErrorText());
}

bool DistributionEdit::Apply(StochasticParameter& parameter) const {
    // Parse into a copy so that an invalid text never reaches the model.
    Distribution trial(parameter.distribution);
    if (!trial.Parse(ToStdString(text()))) return false;
    parameter.distribution = trial;
    return true;
}

void DistributionEdit::Recheck() {
    StochasticParameter trial(parameter_);
    const bool valid = trial.distribution.Parse(ToStdString(text()));
    if (valid != valid_) {
        valid_ = valid;
        emit ValidityChanged(valid_);
    }
}

} // namespace varnex::ui
