#pragma once

// Advection-dispersion of a chain of sequential first-order decay,
// parent -> daughter -> ..., in the column of AdvectionDispersion.h. Member
// l of the chain has its own retardation factor R_l and decay rate k_l, and
// is formed by the decay of member l - 1 with the yield y_l (mass formed per
// mass degraded):
//
//     R_l dc_l/dt = D d2c_l/dx2 - v dc_l/dx - R_l k_l c_l + y_l R_{l-1} k_{l-1} c_{l-1},
//
// D = alpha v + 1e-12 for every member (one water, one dispersivity). The
// term R k c is the decay of the whole retarded solute, the convention of
// the single-member kernels: a caller for whom only the dissolved phase
// degrades passes k / R, and the mass the parent loses is still R k c.
//
// The equations are linear, so the concentration of member j is a sum over
// the members m <= j of the inlet concentration of m times the response of
// j to a unit inlet of m alone. The response of m to itself is the
// single-member solution; the functions here give the responses of the
// daughters, m < j.
//
// Laplace domain (zero initial concentrations, constant inlet C from t = 0,
// bounded downstream). With beta_l = R_l (s + k_l) each member alone has
// the decaying solution exp(x r(beta_l)),
//
//     r(beta) = (v - W(beta)) / (2D),   W(beta) = sqrt(v^2 + 4 D beta),
//
// and since D r(beta)^2 - v r(beta) = beta, a daughter driven by
// a exp(x r(beta_m)) answers with a exp(x r(beta_m)) y R k / (beta_j - beta_m).
// Down the chain (the recursion of Sun, Petersen and Clement 1999 and of
// Bauer, Attinger and Kinzelbach 2001, for unequal retardation) the
// response of j to a unit inlet of m is
//
//     G_{m->j}(x, s) = (1/s) prod_{l=m}^{j-1} (y_{l+1} R_l k_l)
//                      (-1)^(j-m) e[beta_m, ..., beta_j],
//
// e[...] the divided difference of e(beta) = exp(x r(beta)) over the
// members' beta. Written as a divided difference it stays finite when two
// members have the same beta (equal R and k), where the explicit sum of
// exponentials over products (beta_l - beta_q) divides by zero; it is
// evaluated by the chain rule for divided differences (Floater and Lyche
// 2007) from those of exp, robust for clustered nodes (McCurdy, Ng and
// Parlett 1984), and those of r, which have closed forms without
// cancellation:
//
//     r[a,b] = -2 / (W_a + W_b),
//     r[a,b,c] = 8D / ((W_a + W_b)(W_b + W_c)(W_a + W_c)),
//     r[a,b,c,d] = -32 D^2 (W_a + W_b + W_c + W_d) / prod over pairs (W_p + W_q).
//
// The fast and the reference kernel invert the transform as they invert a
// single member's: de Hoog, Knight and Stokes (1982) with 61 terms and the
// same constants, so a chain's numbers are as accurate as its members'. The
// exact kernel uses the closed form where one exists, and otherwise the
// fixed Talbot inversion (Abate and Valko 2004), about 1e-10 relative even
// on sharp fronts. The closed form: with equal retardation factors
// beta_l - beta_q = R (k_l - k_q) does not depend on s, and the response is
// the Bateman-type sum of single-member solutions,
//
//     G_{m->j}(x, t) = prod (y R k) (-1)^(j-m)
//                      sum_l A(x, t; k_l) / prod_{q != l} R (k_l - k_q),
//
// A the closed form of van Genuchten and Alves (1982) with decay k_l (the
// transformation of Sun, Petersen and Clement 1999). Where the rates are so
// close that this sum cancels to fewer than 12 significant digits, and for
// unequal retardation, the exact kernel inverts on Talbot's contour.
//
// SI units throughout: metres, seconds, m/s, 1/s.

#include <complex>
#include <cstddef>

#include "settings/SolverKernel.h"

namespace varnex {

// One member of a chain, as the column sees it.
struct ChainMember {
    double retardation = 1.0;
    double decayPerS = 0.0; // of the whole retarded solute
    // Mass of this member formed per mass of the member before it degraded;
    // not used for the first member of a response.
    double yield = 0.0;
};

// The largest number of members a response spans.
inline constexpr std::size_t maximumChainMembers = 4;

// The concentration of the last of `count` members (2 ... 4) at distance L
// after time t, for a constant inlet concentration C of the first member
// alone (the result has C's unit). Guards as SolveAdvectionDispersion: 0
// for t <= 0, L < 0 and results below 1e-30 or undefined; Exception for
// alpha <= 0 or v < 0.
double ChainColumnResponse(SolverKernel kernel, double concentration, const ChainMember* members,
                           std::size_t count, double distanceM, double timeS, double velocityMPerS,
                           double dispersivityM);

// The same in the aquifer: the column response along the flow (dispersion
// alpha_L v + 1e-12, zero dispersivities accepted) times the steady lateral
// factor of a strip source of width W for the last member, as
// SolveAquiferAdvectionDispersion computes it (the exact kernel with the
// exact error function, the others with its approximation).
double ChainAquiferResponse(SolverKernel kernel, double concentration, const ChainMember* members,
                            std::size_t count, double xM, double yM, double widthM, double timeS,
                            double velocityMPerS, double lateralDispersivityM,
                            double longitudinalDispersivityM);

// The Laplace transform G_{first->last}(x, s) / C of the column response
// at one complex s, for tests of the transform itself and the inversions.
std::complex<double> ChainColumnTransform(const ChainMember* members, std::size_t count,
                                          double distanceM, double dispersionM2PerS,
                                          double velocityMPerS, std::complex<double> s);

// exp[u_0, ..., u_{n-1}], the divided difference of exp over n <= 4
// complex nodes, accurate for clustered, coincident and distant nodes: a
// Taylor series about the nodes' centroid where they lie within a unit
// disc, the recurrence over the two most distant nodes otherwise.
std::complex<double> ExpDividedDifference(const std::complex<double>* nodes, std::size_t count);

} // namespace varnex
