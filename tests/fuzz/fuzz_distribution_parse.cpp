// Fuzzes the distribution text reader: any text must parse or fail without
// crashing, a valid result must survive Format and Parse unchanged in type
// and validity, a valid text must stop being valid when anything but white
// space follows it, an input whose limit is not a number or whose unit
// factor is out of range is never valid, and drawing from a valid result
// must end with a value that is finite and non-negative.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "stochastic/Distribution.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte chooses the input's context: limits and unit factor.
    if (size == 0) return 0;
    const std::uint8_t context = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    varnex::Distribution d;
    d.SetLabel("Fuzzed [m]");
    d.minLimit = (context & 1) ? 1e-30 : 0.0;
    d.maxLimit = (context & 2) ? 0.0 : ((context & 4) ? 1.0 : 1e30);
    d.unitFactor = (context & 8) ? 0.001 : ((context & 16) ? 2.737850787132101e-06 : 0.0);
    const bool brokenSetting = (context & 96) != 0;
    if (context & 32) d.minLimit = std::nan("");
    if (context & 64) d.unitFactor = 1e300;

    const bool valid = d.Parse(text);
    (void)d.ErrorText();
    const std::string formatted = d.Format();
    if (valid && brokenSetting) std::abort();
    if (!valid) return 0;

    // The whole text was read: nothing may follow it unnoticed. (A NUL ends
    // the text as a dialog field would, so text after one is never read.)
    if (text.find('\0') == std::string::npos) {
        varnex::Distribution longer = d;
        if (longer.Parse(text + "x")) std::abort();
    }

    varnex::Distribution again = d;
    if (!again.Parse(formatted) && again.type != d.type) std::abort();

    // Poisson and binomial draws cost one deviate per unit of their size;
    // keep the fuzzer fast on those.
    const bool costly = (d.type == 8 && d.rate > 1e4) || (d.type == 9 && d.trials > 1000);
    if (costly) return 0;
    for (int i = 0; i < 4; ++i) {
        const double x = d.Draw(false);
        if (!(x >= 0.0) || !std::isfinite(x)) std::abort();
    }
    (void)d.Draw(true);
    return 0;
}
