#include "ui/common/ResultsKernelText.h"

#include "settings/Translate.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

QString ResultsKernelText(const std::optional<SolverKernel>& kernel) {
    const char* text = TranslatableText("not recorded");
    if (kernel == SolverKernel::fast) text = TranslatableText("fast (numerical inversion)");
    if (kernel == SolverKernel::reference)
        text = TranslatableText("reference (numerical inversion, plain algorithm)");
    if (kernel == SolverKernel::exact) text = TranslatableText("exact (closed-form solution)");
    return ToQString(Translate(text));
}

} // namespace varnex::ui
