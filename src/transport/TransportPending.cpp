// The unsaturated zone and aquifer calculations are not part of this build
// yet: a run that needs them fails with a clear message instead of reporting
// zeros as results.
#include "settings/Exception.h"
#include "settings/Translate.h"
#include "transport/AquiferTransport.h"
#include "transport/UnsaturatedZone.h"

namespace varnex {

namespace {
[[noreturn]] void NotAvailable() {
    throw Exception(Translate("The unsaturated zone and aquifer calculations are not available in this version."));
}
} // namespace

void ComputeUnsaturatedZone(Project&, std::size_t) { NotAvailable(); }

void ComputeAquiferAndReceptors(Project&, std::size_t) { NotAvailable(); }

} // namespace varnex
