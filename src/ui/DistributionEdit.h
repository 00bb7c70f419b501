#pragma once

#include <QLineEdit>

#include "stochastic/StochasticParameter.h"

namespace varnex::ui {

// The field in which a user types one stochastic input as a distribution
// text ("NORMAL(5,1)", "12.5"). It shows an invalid text in the invalid
// colours, completes the typed keyword prefixes while auto completion is on,
// and opens the "Distribution" dialog on a double click. The input forms
// bind one of these to each stochastic input of the model.
class DistributionEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit DistributionEdit(QWidget* parent = nullptr);

    // Shows the parameter's distribution (its label names the input in
    // messages). The parameter is not kept; Apply writes back.
    void Load(const StochasticParameter& parameter);
    // Whether the current text parses as a valid distribution within the
    // loaded parameter's limits.
    bool IsTextValid() const;
    // The error text of the current text, empty while valid.
    QString ErrorText() const;
    // Writes the current text into `parameter` when it is valid; returns
    // false (and leaves `parameter` as it was) when it is not.
    bool Apply(StochasticParameter& parameter) const;

signals:
    // The text changed its validity (after every edit).
    void ValidityChanged(bool valid);

private:
    void Recheck();

    StochasticParameter parameter_;
    bool valid_ = true;
};

} // namespace varnex::ui
