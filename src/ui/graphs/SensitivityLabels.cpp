#include "ui/graphs/SensitivityLabels.h"

#include <string>

#include "ui/common/QtText.h"

namespace varnex::ui {

namespace {

// The parts of a label in the order they tell rows apart: where the result
// was taken (source, layer), the input, then receptor and contaminant.
std::vector<std::string> OrderedParts(const SensitivityLabelParts& parts) {
    return {parts.source, parts.pathway, parts.input, parts.receptor, parts.contaminant};
}

} // namespace

SensitivityLabels SensitivityLabels::Of(const std::vector<SensitivityRow>& rows) {
    SensitivityLabels labels;
    if (rows.empty()) return labels;
    const std::size_t count = OrderedParts(rows.front().parts).size();
    constexpr std::size_t inputPart = 2;
    // A part that is the same in every row says nothing about the row: it
    // is said once, above the list, and left out of the rows.
    std::vector<bool> varies(count, false);
    const std::vector<std::string> first = OrderedParts(rows.front().parts);
    for (const SensitivityRow& row : rows) {
        const std::vector<std::string> parts = OrderedParts(row.parts);
        for (std::size_t k = 0; k < count; ++k)
            if (parts[k] != first[k]) varies[k] = true;
    }
    varies[inputPart] = true;
    QStringList common;
    for (std::size_t k = 0; k < count; ++k)
        if (!varies[k] && !first[k].empty()) common << ToQString(first[k]);
    labels.common = common.join(QStringLiteral(" - "));
    for (const SensitivityRow& row : rows) {
        const std::vector<std::string> parts = OrderedParts(row.parts);
        // Rows made elsewhere without parts keep their whole label.
        if (row.parts.input.empty()) {
            labels.places << QString();
            labels.inputs << ToQString(row.label);
            continue;
        }
        QStringList place;
        for (std::size_t k = 0; k < count; ++k)
            if (k != inputPart && varies[k] && !parts[k].empty()) place << ToQString(parts[k]);
        labels.places << place.join(QStringLiteral(" - "));
        labels.inputs << ToQString(parts[inputPart]);
    }
    return labels;
}

QString SensitivityLabels::Row(int index, const QString& separator) const {
    const QString place = places.value(index);
    return place.isEmpty() ? inputs.value(index) : place + separator + inputs.value(index);
}

} // namespace varnex::ui
