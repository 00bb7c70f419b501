#include "ui/common/SampleDump.h"

#include <QDir>

#include "base/TextFormat.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"
#include "ui/common/UserPrompts.h"

namespace varnex::ui {

bool DumpSamplesToChosenFile(const StochasticParameter& parameter,
                             const std::vector<double>& samples, UserPrompts& prompts) {
    const QString path = prompts.ChooseSaveFile(
        ToQString(Translate("Dump")), QDir::current().filePath(QStringLiteral("debug.txt")),
        ToQString(Translate("Text Files")) + QStringLiteral(" (*.txt)"));
    if (path.isEmpty()) return false;
    StochasticParameter dumped(parameter);
    dumped.Resize(static_cast<int>(samples.size()));
    for (std::size_t i = 0; i < samples.size(); ++i) dumped.SampleAt(i) = samples[i];
    if (!dumped.DumpSamples(ToStdString(path))) {
        prompts.ShowError(ToQString(FormatText(TranslateFormat("Cannot write the samples to %s"),
                                               {ToStdString(QDir::toNativeSeparators(path))})));
        return false;
    }
    return true;
}

} // namespace varnex::ui
