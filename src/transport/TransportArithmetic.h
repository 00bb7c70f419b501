#pragma once

#include <cmath>
#include <string>

#include "base/Exception.h"
#include "transport/TransportConstants.h"

namespace varnex {

// The divisions of the transport calculations where an input may be 0.
// Which case takes a physical limit and which one is an input error is
// listed in docs/numerics.md.

// The time (years) to cover `length` at `rate` (length / rate, in any
// consistent units). Nothing to cover takes no time; a rate of 0 never
// covers a positive length, recorded as 1,000,000 years, as is a quotient
// too large to represent.
inline double TimeToCover(double length, double rate) {
    if (!(length > 0.0)) return 0.0;
    if (!(rate > 0.0)) return TransportConstants::neverArrivesYears;
    const double time = length / rate;
    return std::isfinite(time) ? time : TransportConstants::neverArrivesYears;
}

// The mean pore-water velocity of a flux q through a porosity theta
// (q / theta). Without flux the water stands still in any pore space; a
// flux through no pore space at all is a contradiction in the inputs, which
// `ZeroPorosity` reports (it must throw).
template <class ZeroPorosity>
double PoreVelocity(double flux, double porosity, ZeroPorosity&& zeroPorosity) {
    if (porosity != 0.0) return flux / porosity;
    if (flux == 0.0) return 0.0;
    zeroPorosity();
    return 0.0;
}

// An input that is 0 where the calculation needs it not to be: the
// translated format (with the source name, then the input's label) shown to
// the user.
[[noreturn]] void ThrowZeroInput(const char* format, const std::string& owner,
                                 const std::string& label);
[[noreturn]] void ThrowZeroInput(const char* format, const std::string& source,
                                 const std::string& pathway, const std::string& label);

} // namespace varnex
