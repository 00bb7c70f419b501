#include "settings/SolverSettings.h"

#include "base/Exception.h"
#include "settings/Preferences.h"

namespace varnex {

namespace {

const std::string settingsKey = "Settings";
const std::string kernelValue = "Solver Kernel";
constexpr std::uint32_t fastCode = 0;
constexpr std::uint32_t referenceCode = 1;
constexpr std::uint32_t exactCode = 2;

} // namespace

void SolverSettings::Read(const Preferences& preferences) {
    kernel = SolverKernel::fast;
    try {
        const std::uint32_t code = preferences.GetDWord(settingsKey, kernelValue);
        if (code == referenceCode) kernel = SolverKernel::reference;
        if (code == exactCode) kernel = SolverKernel::exact;
    } catch (const Exception&) {
        // No preference yet: the default.
    }
}

bool SolverSettings::Write(Preferences& preferences) const {
    try {
        const std::uint32_t code = kernel == SolverKernel::reference ? referenceCode
                                   : kernel == SolverKernel::exact   ? exactCode
                                                                     : fastCode;
        preferences.SetDWord(settingsKey, kernelValue, code);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

} // namespace varnex
