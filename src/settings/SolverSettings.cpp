#include "settings/SolverSettings.h"

#include "base/Exception.h"
#include "settings/Preferences.h"

namespace varnex {

namespace {

const std::string settingsKey = "Settings";
const std::string kernelValue = "Solver Kernel";
constexpr std::uint32_t referenceCode = 1;

} // namespace

void SolverSettings::Read(const Preferences& preferences) {
    kernel = SolverKernel::fast;
    try {
        if (preferences.GetDWord(settingsKey, kernelValue) == referenceCode)
            kernel = SolverKernel::reference;
    } catch (const Exception&) {
        // No preference yet: the default.
    }
}

bool SolverSettings::Write(Preferences& preferences) const {
    try {
        preferences.SetDWord(settingsKey, kernelValue,
                             kernel == SolverKernel::reference ? referenceCode : 0);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

} // namespace varnex
