#include "transport/ChainAdvectionDispersion.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/Exception.h"
#include "settings/Translate.h"
#include "transport/AdvectionDispersion.h"
#include "transport/ColumnGuards.h"
#include "transport/ErrorFunctions.h"
#include "transport/ExactAdvectionDispersion.h"
#include "transport/InversionConstants.h"

namespace varnex {

namespace {

using Complex = std::complex<double>;
using namespace InversionConstants;

// A source width that makes the lateral factor 1 exactly.
constexpr double unboundedWidthM = 1e300;

// a / b without the library's guards against overflow (a call into
// libgcc per division): every divisor here is a difference of separated
// nodes or a sum of square roots with positive real parts, far from both
// ends of the double range.
inline Complex Quotient(const Complex& a, const Complex& b) {
    const double scale = 1.0 / std::norm(b);
    return Complex((a.real() * b.real() + a.imag() * b.imag()) * scale,
                   (a.imag() * b.real() - a.real() * b.imag()) * scale);
}

double Floored(double value) {
    // Written so that NaN also ends as 0.
    if (!(value >= resultFloor)) return 0.0;
    return value;
}

// The product of y_{l+1} R_l k_l down the chain: the mass per unit pore
// volume each member hands to the next, per unit of its concentration.
double FormationProduct(const ChainMember* members, std::size_t count) {
    double product = 1.0;
    for (std::size_t l = 0; l + 1 < count; ++l)
        product *= members[l + 1].yield * members[l].retardation * members[l].decayPerS;
    return product;
}

// Divided differences of g(beta) = x r(beta) over consecutive nodes
// first ... last, from the W of the nodes; closed forms without
// cancellation (see the header).
Complex GDividedDifference(const Complex* w, const Complex* beta, std::size_t first,
                           std::size_t last, double velocity, double dispersion, double x) {
    const Complex* a = w + first;
    switch (last - first) {
    case 0:
        // r = (v - W) / (2D) = -2 beta / (v + W): no cancellation when
        // W is close to v (advection-dominated transport).
        return Quotient(-2.0 * x * beta[first], velocity + a[0]);
    case 1: return Quotient(-2.0 * x, a[0] + a[1]);
    case 2: return Quotient(8.0 * dispersion * x, (a[0] + a[1]) * (a[1] + a[2]) * (a[0] + a[2]));
    default:
        return Quotient(-32.0 * dispersion * dispersion * x * (a[0] + a[1] + a[2] + a[3]),
                        (a[0] + a[1]) * (a[0] + a[2]) * (a[0] + a[3]) * (a[1] + a[2]) *
                            (a[1] + a[3]) * (a[2] + a[3]));
    }
}

// e[beta_0 ... beta_{n-1}] for e = exp(g), by the first chain rule of
// Floater and Lyche (2007): the sum over the ways of cutting 0 ... n-1 into
// consecutive runs of exp's divided difference over the g values at the
// cuts times the product of g's divided differences over the runs.
Complex ComposedDividedDifference(const Complex* beta, std::size_t count, double velocity,
                                  double dispersion, double x) {
    Complex w[maximumChainMembers];
    Complex g[maximumChainMembers];
    for (std::size_t l = 0; l < count; ++l) {
        w[l] = std::sqrt(velocity * velocity + 4.0 * dispersion * beta[l]);
        g[l] = GDividedDifference(w, beta, l, l, velocity, dispersion, x);
    }
    if (count == 1) return std::exp(g[0]);
    // Nodes whose exponents lie at least 0.05 apart: Newton's table of
    // divided differences in beta directly, from one exponential per node,
    // at a fraction of the chain rule's cost. Each order of the table loses
    // at most a factor 1 / |u_a - u_b| <= 20 to cancellation, so a chain of
    // four keeps 12 of its 16 digits: far more than either inversion can
    // use (de Hoog's 1e-9, Talbot's 1e-10).
    bool separated = true;
    for (std::size_t a = 0; a < count && separated; ++a)
        for (std::size_t b = a + 1; b < count; ++b)
            if (std::norm(g[a] - g[b]) < 0.05 * 0.05) {
                separated = false;
                break;
            }
    if (separated) {
        Complex table[maximumChainMembers];
        for (std::size_t l = 0; l < count; ++l) table[l] = std::exp(g[l]);
        for (std::size_t order = 1; order < count; ++order)
            for (std::size_t l = 0; l + order < count; ++l)
                table[l] = Quotient(table[l + 1] - table[l], beta[l + order] - beta[l]);
        return table[0];
    }
    const std::size_t last = count - 1;
    // g's divided difference over every run first ... last of nodes, once.
    Complex runs[maximumChainMembers][maximumChainMembers];
    for (std::size_t first = 0; first < count; ++first)
        for (std::size_t end = first + 1; end < count; ++end)
            runs[first][end] = GDividedDifference(w, beta, first, end, velocity, dispersion, x);
    Complex total = 0.0;
    // Bit b of `cuts` set: a run ends at interior node b + 1.
    for (unsigned cuts = 0; cuts < (1u << (last - 1)); ++cuts) {
        Complex at[maximumChainMembers];
        std::size_t points = 0;
        Complex product = 1.0;
        std::size_t start = 0;
        at[points++] = g[0];
        for (std::size_t node = 1; node <= last; ++node) {
            if (node != last && !((cuts >> (node - 1)) & 1u)) continue;
            product *= runs[start][node];
            at[points++] = g[node];
            start = node;
        }
        total += ExpDividedDifference(at, points) * product;
    }
    return total;
}

// The lateral factor of a strip source of width W, as the aquifer kernels
// compute it; the exact kernel with the exact error function.
double LateralFactor(SolverKernel kernel, double xM, double yM, double widthM, double velocityMPerS,
                     double lateralDispersivityM, double retardation) {
    const double lateralDispersion =
        lateralDispersivityM * velocityMPerS * retardation + dispersionFloor;
    const double sigma = 2.0 * std::sqrt(lateralDispersion * xM / (velocityMPerS * retardation));
    const double halfWidth = widthM / 2.0;
    if (kernel == SolverKernel::exact)
        return 0.5 * (Erf((halfWidth + yM) / sigma) - Erf((yM - halfWidth) / sigma));
    return 0.5 *
           (ErrorFunction((halfWidth + yM) / sigma) - ErrorFunction((yM - halfWidth) / sigma));
}

// The response inverted numerically with the constants of the
// single-member kernels: the inversion of de Hoog, Knight and Stokes (1982)
// from 61 terms, whose error the fast and the reference kernel share.
double DeHoogResponse(const ChainMember* members, std::size_t count, double distanceM, double timeS,
                      double velocityMPerS, double dispersion) {
    const double halfPeriodT = periodFactor * timeS;
    const double gamma = -std::log(relativeAccuracy) / (2.0 * halfPeriodT);
    const double omega = pi / halfPeriodT;
    Complex transform[laplaceTerms];
    for (int k = 0; k < laplaceTerms; ++k)
        transform[k] = ChainColumnTransform(members, count, distanceM, dispersion, velocityMPerS,
                                            Complex(gamma, k * omega));
    return InvertLaplace(timeS, gamma, halfPeriodT, transform);
}

// The response inverted on Talbot's contour, for the exact kernel where no
// closed form applies: the fixed Talbot method of Abate and Valko (2004),
//     f(t) = r/M [ F(r) e^(rt) / 2 + sum_{k=1}^{M-1} Re(e^(t S_k) F(S_k) (1 + i sigma_k)) ],
//     S_k = r theta_k (cot theta_k + i), sigma_k = theta_k + (theta_k cot theta_k - 1) cot theta_k,
//     theta_k = k pi / M, r = 2M / (5t).
// The contour wraps the negative real axis, where every singularity of the
// chain's transform lies (the pole at 0 and the branch points of the
// square roots; the apparent poles where two members' beta meet are
// removable). With M = 26 in double precision the responses of
// tests/reference/decay_chain_column.py are met to 4e-10 relative, 3e-16
// absolute in the tails: far better than the 61 de Hoog terms on a sharp
// front, from fewer transform values.
double TalbotResponse(const ChainMember* members, std::size_t count, double distanceM, double timeS,
                      double velocityMPerS, double dispersion) {
    constexpr int terms = 26;
    constexpr double piFull = 3.14159265358979323846;
    const double r = 2.0 * terms / (5.0 * timeS);
    Complex sum =
        0.5 * std::exp(r * timeS) *
        ChainColumnTransform(members, count, distanceM, dispersion, velocityMPerS, Complex(r, 0.0));
    for (int k = 1; k < terms; ++k) {
        const double theta = k * piFull / terms;
        const double cot = 1.0 / std::tan(theta);
        const Complex s = r * theta * Complex(cot, 1.0);
        const double sigma = theta + (theta * cot - 1.0) * cot;
        sum += std::exp(timeS * s) *
               ChainColumnTransform(members, count, distanceM, dispersion, velocityMPerS, s) *
               Complex(1.0, sigma);
    }
    return r / terms * sum.real();
}

double InvertedResponse(SolverKernel kernel, const ChainMember* members, std::size_t count,
                        double distanceM, double timeS, double velocityMPerS, double dispersion) {
    if (kernel == SolverKernel::exact)
        return TalbotResponse(members, count, distanceM, timeS, velocityMPerS, dispersion);
    return DeHoogResponse(members, count, distanceM, timeS, velocityMPerS, dispersion);
}

// The Bateman-type closed form for equal retardation factors, or false
// when it does not apply (unequal factors, equal rates) or would lose more
// than four of its sixteen digits to cancellation. `single(decay)` is the
// single-member solution for a unit inlet.
template <class Single>
bool BatemanResponse(const ChainMember* members, std::size_t count, Single single,
                     double& response) {
    const double retardation = members[0].retardation;
    for (std::size_t l = 1; l < count; ++l)
        if (members[l].retardation != retardation) return false;
    double sum = 0.0;
    double magnitude = 0.0;
    for (std::size_t l = 0; l < count; ++l) {
        // The product of the formation rates over that of the rate
        // differences, built factor by factor so that neither overflows
        // (both are powers of rates of order 1e-9 per second).
        double coefficient = 1.0;
        std::size_t formation = 0;
        for (std::size_t q = 0; q < count; ++q) {
            if (q == l) continue;
            const double difference = retardation * (members[l].decayPerS - members[q].decayPerS);
            if (difference == 0.0) return false;
            const ChainMember& giver = members[formation];
            coefficient *= members[formation + 1].yield * giver.retardation * giver.decayPerS;
            coefficient /= difference;
            ++formation;
        }
        const double term = coefficient * single(members[l].decayPerS);
        sum += term;
        magnitude += std::abs(term);
    }
    // (-1)^(count-1) of the transform.
    if (count % 2 == 0) sum = -sum;
    if (magnitude > 1e4 * std::abs(sum) && magnitude > 0.0) return false;
    response = sum;
    return true;
}

} // namespace

Complex ExpDividedDifference(const Complex* nodes, std::size_t count) {
    if (count == 1) return std::exp(nodes[0]);
    // The two most distant nodes.
    std::size_t farA = 0;
    std::size_t farB = 1;
    double diameter = 0.0;
    for (std::size_t a = 0; a < count; ++a)
        for (std::size_t b = a + 1; b < count; ++b)
            if (std::norm(nodes[a] - nodes[b]) > diameter) {
                diameter = std::norm(nodes[a] - nodes[b]); // squared
                farA = a;
                farB = b;
            }
    if (diameter > 1.0) {
        // exp[all] = (exp[all but a] - exp[all but b]) / (u_b - u_a): the
        // divisor is at least 1, so the difference loses little.
        Complex withoutA[maximumChainMembers];
        Complex withoutB[maximumChainMembers];
        std::size_t na = 0;
        std::size_t nb = 0;
        for (std::size_t l = 0; l < count; ++l) {
            if (l != farA) withoutA[na++] = nodes[l];
            if (l != farB) withoutB[nb++] = nodes[l];
        }
        return Quotient(ExpDividedDifference(withoutA, na) - ExpDividedDifference(withoutB, nb),
                        nodes[farB] - nodes[farA]);
    }
    // exp[u_0..u_{n-1}] = exp(c) sum_{p >= n-1} h_{p-n+1}(u - c) / p!,
    // h_q the complete homogeneous symmetric polynomial of degree q: the
    // divided difference of the Taylor series about the centroid c, term by
    // term (the divided difference of z^p over the nodes is h_{p-n+1}).
    Complex centre = 0.0;
    for (std::size_t l = 0; l < count; ++l) centre += nodes[l];
    centre /= static_cast<double>(count);
    Complex offsets[maximumChainMembers];
    for (std::size_t l = 0; l < count; ++l) offsets[l] = nodes[l] - centre;
    // h[l] holds h_q over the first l + 1 offsets for the current q:
    // h_q(d_0..d_l) = h_q(d_0..d_{l-1}) + d_l h_{q-1}(d_0..d_l). With the
    // offsets within the unit disc (radius rho) the term of degree q is at
    // most C(q+n-1, n-1) rho^q / (q+n-1)!, and the series stops once that
    // bound for the next term is below 1e-18 of the sum (a term itself can
    // vanish by symmetry long before the series has converged, so the
    // bound, not the term, decides).
    constexpr int maximumTerms = 40;
    double rho = 0.0;
    for (std::size_t l = 0; l < count; ++l) rho = std::max(rho, std::norm(offsets[l]));
    rho = std::sqrt(rho);
    Complex h[maximumChainMembers];
    for (std::size_t l = 0; l < count; ++l) h[l] = 1.0; // degree 0
    double factorial = 1.0;                             // (n-1)!, for degree 0
    for (std::size_t p = 2; p < count; ++p) factorial *= static_cast<double>(p);
    const double firstFactorial = factorial;
    Complex sum = h[count - 1] / factorial;
    double rhoPower = 1.0;
    const int n = static_cast<int>(count);
    for (int q = 1; q < maximumTerms; ++q) {
        h[0] = offsets[0] * h[0];
        for (std::size_t l = 1; l < count; ++l) h[l] = h[l - 1] + offsets[l] * h[l];
        factorial *= static_cast<double>(q + n - 1);
        sum += h[count - 1] / factorial;
        rhoPower *= rho;
        // C(q+n, n-1) <= (q+n)^(n-1) / (n-1)!.
        double binomial = 1.0 / firstFactorial;
        for (int p = 1; p < n; ++p) binomial *= static_cast<double>(q + n);
        const double next = rhoPower * rho * binomial / (factorial * static_cast<double>(q + n));
        if (next * next <= 1e-36 * std::norm(sum)) break;
    }
    return std::exp(centre) * sum;
}

Complex ChainColumnTransform(const ChainMember* members, std::size_t count, double distanceM,
                             double dispersionM2PerS, double velocityMPerS, Complex s) {
    Complex beta[maximumChainMembers];
    for (std::size_t l = 0; l < count; ++l)
        beta[l] = members[l].retardation * (s + members[l].decayPerS);
    const Complex difference =
        ComposedDividedDifference(beta, count, velocityMPerS, dispersionM2PerS, distanceM);
    const double sign = count % 2 == 0 ? -1.0 : 1.0; // (-1)^(count-1)
    return sign * FormationProduct(members, count) * difference / s;
}

double ChainColumnResponse(SolverKernel kernel, double concentration, const ChainMember* members,
                           std::size_t count, double distanceM, double timeS, double velocityMPerS,
                           double dispersivityM) {
    if (ColumnSolutionIsZero(timeS, distanceM, velocityMPerS, dispersivityM)) return 0.0;
    if (count < 2 || count > maximumChainMembers || concentration == 0.0 ||
        FormationProduct(members, count) == 0.0)
        return 0.0;
    const double dispersion = dispersivityM * velocityMPerS + dispersionFloor;
    double response = 0.0;
    if (kernel == SolverKernel::exact &&
        BatemanResponse(
            members, count,
            [&](double decay) {
                return ExactAdvectionDispersion(1.0, distanceM, timeS, velocityMPerS, dispersivityM,
                                                decay, members[0].retardation);
            },
            response))
        return Floored(concentration * response);
    response =
        InvertedResponse(kernel, members, count, distanceM, timeS, velocityMPerS, dispersion);
    return Floored(concentration * response);
}

double ChainAquiferResponse(SolverKernel kernel, double concentration, const ChainMember* members,
                            std::size_t count, double xM, double yM, double widthM, double timeS,
                            double velocityMPerS, double lateralDispersivityM,
                            double longitudinalDispersivityM) {
    if (AquiferSolutionIsZero(timeS, xM, velocityMPerS, lateralDispersivityM,
                              longitudinalDispersivityM))
        return 0.0;
    if (count < 2 || count > maximumChainMembers || concentration == 0.0 ||
        FormationProduct(members, count) == 0.0)
        return 0.0;
    const double dispersion = longitudinalDispersivityM * velocityMPerS + dispersionFloor;
    const ChainMember& last = members[count - 1];
    const double lateral = LateralFactor(kernel, xM, yM, widthM, velocityMPerS,
                                         lateralDispersivityM, last.retardation);
    double response = 0.0;
    if (kernel == SolverKernel::exact &&
        BatemanResponse(
            members, count,
            [&](double decay) {
                // The column along the flow with the aquifer's guards (a zero
                // longitudinal dispersivity is accepted): the aquifer solution
                // on the centre line of an infinitely wide source.
                return ExactAquiferAdvectionDispersion(
                    1.0, xM, 0.0, unboundedWidthM, timeS, velocityMPerS, 0.0,
                    longitudinalDispersivityM, decay, members[0].retardation);
            },
            response))
        return Floored(concentration * lateral * response);
    response = InvertedResponse(kernel, members, count, xM, timeS, velocityMPerS, dispersion);
    return Floored(concentration * lateral * response);
}

} // namespace varnex
