#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "analysis/SensitivityRow.h"

namespace varnex::ui {

// The list's and the chart's names of the rows: the parts of the labels
// that differ between rows, where the result was taken first and the
// input after; the parts every row shares, once.
struct SensitivityLabels {
    QString common; // "Benzene - Gasworks - Borehole"; empty when nothing is shared
    // Per row, in order: where the result was taken (the differing parts
    // other than the input; empty when only the input differs) and the
    // input.
    QStringList places;
    QStringList inputs;

    static SensitivityLabels Of(const std::vector<SensitivityRow>& rows);
    // Row `index`'s place and input, `separator` between them.
    QString Row(int index, const QString& separator) const;
};

} // namespace varnex::ui
