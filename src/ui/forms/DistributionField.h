#pragma once

#include <QWidget>

#include "stochastic/StochasticParameter.h"

class QPushButton;

namespace varnex::ui {

class DistributionEdit;
class UserPrompts;

// A distribution field with its "Dump" button beside it, for the forms that
// let the user look at an input's samples of the last run. The button is
// enabled only while the loaded input has samples.
class DistributionField : public QWidget {
    Q_OBJECT

public:
    explicit DistributionField(QWidget* parent = nullptr);

    DistributionEdit* Edit() const { return edit_; }
    QPushButton* DumpButton() const { return dumpButton_; }

    // As DistributionEdit's, and the button follows the samples.
    void Load(const StochasticParameter& parameter);
    bool Apply(StochasticParameter& parameter) const;
    void SetPrompts(UserPrompts* prompts);
    void Retranslate();

private:
    DistributionEdit* edit_;
    QPushButton* dumpButton_;
};

} // namespace varnex::ui
