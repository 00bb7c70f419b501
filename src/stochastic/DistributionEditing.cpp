#include "stochastic/DistributionEditing.h"

#include <algorithm>

#include "base/NumberText.h"
#include "settings/Translate.h"
#include "stochastic/DistributionType.h"

namespace varnex {

std::optional<AutoCompletion> AutoCompleteDistributionText(const std::string& typed) {
    struct Completion {
        const char* prefix;
        const char* text;
        int caret;
    };
    // BOOLEAN has no prefix: "BO" is not offered.
    static const Completion completions[] = {
        {"TR", "TRIANGULAR()", 11},  {"SI", "SINGLE()", 7},        {"LOGT", "LOGTRIANGULAR()", 14},
        {"LOGN", "LOGNORMAL()", 10}, {"EX", "EXPONENTIAL()", 12},  {"BI", "BINOMIAL()", 9},
        {"UN", "UNIFORM()", 8},      {"LOGU", "LOGUNIFORM()", 11}, {"PO", "POISSON()", 8},
        {"NO", "NORMAL()", 7},
    };
    std::string upper = typed;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (const Completion& completion : completions)
        if (upper == completion.prefix) return AutoCompletion{completion.text, completion.caret};
    return std::nullopt;
}

double DialogEntryValue(const std::string& entry) {
    std::string compact;
    std::copy_if(entry.begin(), entry.end(), std::back_inserter(compact),
                 [](char c) { return c != ' ' && c != '\t'; });
    double value = 0.0;
    return ParseWholeNumber(compact, value) ? value : 0.0;
}

const std::vector<DialogTypeChoice>& DialogTypeChoices() {
    static const std::vector<DialogTypeChoice> choices = {
        {TranslatableText("Single"), DistributionType::single},
        {TranslatableText("Uniform"), DistributionType::uniform},
        {TranslatableText("Log Uniform"), DistributionType::logUniform},
        {TranslatableText("Triangular"), DistributionType::triangular},
        {TranslatableText("Log Triangular"), DistributionType::logTriangular},
        {TranslatableText("Normal"), DistributionType::normal},
        {TranslatableText("Log Normal"), DistributionType::logNormal},
        {TranslatableText("Poisson"), DistributionType::poisson},
        {TranslatableText("Binomial"), DistributionType::binomial},
        {TranslatableText("Exponential"), DistributionType::exponential},
    };
    return choices;
}

int DialogTypeFromText(const std::string& displayed) {
    for (const DialogTypeChoice& choice : DialogTypeChoices())
        if (Translate(choice.name) == displayed) return choice.type;
    return DistributionType::undefined;
}

std::vector<std::string> DialogArgumentLabels(int type) {
    switch (type) {
    case DistributionType::uniform:
    case DistributionType::logUniform:
        return {TranslatableText("Minimum"), TranslatableText("Maximum")};
    case DistributionType::triangular:
    case DistributionType::logTriangular:
        return {TranslatableText("Minimum"), TranslatableText("Likely"),
                TranslatableText("Maximum")};
    case DistributionType::normal:
    case DistributionType::logNormal: return {TranslatableText("Mean"), TranslatableText("SD")};
    case DistributionType::poisson: return {TranslatableText("Average Rate")};
    case DistributionType::binomial: return {TranslatableText("Trials"), TranslatableText("P")};
    case DistributionType::exponential: return {TranslatableText("Mean")};
    default: return {TranslatableText("Value")};
    }
}

} // namespace varnex
