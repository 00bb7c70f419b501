#pragma once

#include "settings/Translate.h"

namespace varnex {

// The captions of the sensitivity ranking as the user sees them: the
// desktop dialog's controls and the command-line list share them, so that
// both read the same through the language tables.
struct SensitivityDialogTexts {
    static constexpr const char* menuItem = TranslatableText("Sensitivity &Analysis");
    static constexpr const char* title = TranslatableText("Sensitivity Analysis");
    static constexpr const char* resultChooser = TranslatableText("Sensitivity Analysis for:");
    static constexpr const char* sourceSelector = TranslatableText("Source");
    static constexpr const char* receptorSelector = TranslatableText("Receptor");
    static constexpr const char* pathwaySelector = TranslatableText("Base Of Unsaturated Zone");
    static constexpr const char* individualContaminant = TranslatableText("Individual Contaminant");
    static constexpr const char* firstTenOnly = TranslatableText("First 10 only");
    static constexpr const char* excludeZero = TranslatableText("Exclude Zero");
    static constexpr const char* rankCorrelation = TranslatableText("Rank Correlation");
    static constexpr const char* inputColumn = TranslatableText("Input");
    static constexpr const char* sensitivityColumn = TranslatableText("Sensitivity");
};

} // namespace varnex
