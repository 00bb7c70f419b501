// The advection-dispersion kernel arranged for speed; AdvectionDispersion.cpp
// holds the plain form whose numbers it reproduces.
//
// The file is compiled once and includes itself once for each register width
// (with VARNEX_FAST_LANES set to the number of doubles in a register): the
// second half below is the transform and the quotient-difference table
// written for registers of that many doubles, compiled as a baseline SSE2
// variant and, with GCC on x86-64, as AVX2 and AVX-512 variants chosen at run
// time. The variants perform the same IEEE operations on every value (the
// build turns off the contraction of a * b + c into fused multiply-adds for
// this file, which AVX-512 would otherwise allow), so they give the same bits.
#ifndef VARNEX_FAST_LANES

#include "transport/FastAdvectionDispersion.h"

#include <cmath>
#include <complex>
#include <cstdint>
#include <limits>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "base/Exception.h"
#include "settings/Translate.h"
#include "transport/AdvectionDispersion.h"
#include "transport/ColumnGuards.h"
#include "transport/InversionConstants.h"

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VARNEX_FAST_WIDE_VARIANTS 1
#endif

namespace varnex {

namespace {

using Complex = std::complex<double>;

using namespace InversionConstants;

// The 61 transform values are held in 64 slots (whole registers of up to
// eight doubles), with room behind them for the loads at k + 1.
constexpr int paddedTerms = 64;
constexpr int slots = paddedTerms + 16;

// The quantities the transform values are made of, each formed exactly as
// the reference forms it.
struct TransformInputs {
    double concentration;   // C
    double lp;              // L p, p = v / (2D)
    double q;               // 4 D R
    double decayPerS;       // lambda
    double velocitySquared; // v^2
    double gamma;           // the real part of s
    double omega;           // pi / T: s = gamma + i k omega
    double lateral;         // the aquifer's lateral factor; 1 for a column
    double halfPeriodT;     // T = 8 t
};

// 1 / (T s_k) = 1 / (g + i k pi) for k = 0 ... 60, g = gamma T = -ln(eps) / 2
// the same for every problem: the fast form takes C / s from this table
// instead of dividing for every term.
struct ScaledReciprocals {
    double re[laplaceTerms + 8], im[laplaceTerms + 8];
};

const ScaledReciprocals& ReciprocalTable() {
    static const ScaledReciprocals table = [] {
        ScaledReciprocals t{};
        const double g = -std::log(relativeAccuracy) / 2.0;
        for (int k = 0; k < laplaceTerms; ++k) {
            const double b = k * pi;
            const double norm = g * g + b * b;
            t.re[k] = g / norm;
            t.im[k] = -b / norm;
        }
        return t;
    }();
    return table;
}

// The coefficients d[0] ... d[60] of the continued fraction.
struct Coefficients {
    double re[laplaceTerms];
    double im[laplaceTerms];
};

bool IsTiny(const Complex& value) {
    return std::abs(value.real()) < tiny && std::abs(value.imag()) < tiny;
}

double Floored(double value) {
    if (!(value >= resultFloor)) return 0.0;
    return value;
}

// The last numerator A(60) and denominator B(60) of the continued fraction
// of one problem, and whether the arithmetic that led to them stayed in the
// range where it stands for the reference's.
struct Recurrence {
    double aRe, aIm, bRe, bIm;
    bool clean;
};

} // namespace

// The register-width variants of the transform and the qd table. Each
// returns false where its arithmetic has left the range in which it stands
// for the reference's (a value that is not finite, a divisor whose square
// overflows, an angle too large for its argument reduction); the caller then
// solves the problem with the reference kernel, so that such inputs get
// exactly the reference's answer.
namespace {
namespace baseline {
#define VARNEX_FAST_LANES 2
#include "transport/FastAdvectionDispersion.cpp"
#undef VARNEX_FAST_LANES
} // namespace baseline
} // namespace

#ifdef VARNEX_FAST_WIDE_VARIANTS
#pragma GCC push_options
#pragma GCC target("avx2")
namespace {
namespace avx2 {
#define VARNEX_FAST_LANES 4
#include "transport/FastAdvectionDispersion.cpp"
#undef VARNEX_FAST_LANES
} // namespace avx2
} // namespace
#pragma GCC pop_options

#pragma GCC push_options
#pragma GCC target("avx512f")
namespace {
namespace avx512 {
#define VARNEX_FAST_LANES 8
#include "transport/FastAdvectionDispersion.cpp"
#undef VARNEX_FAST_LANES
} // namespace avx512
} // namespace
#pragma GCC pop_options
#endif

namespace {

using CoefficientKernel = bool (*)(const TransformInputs&, Coefficients&);
using AcrossKernel = void (*)(const TransformInputs*, const double*, const double*, int,
                              Recurrence*);

// The problems side by side of one register variant.
struct AcrossKernels {
    AcrossKernel fast;
    AcrossKernel faithful;
    int lanes;
};

// The fast and the faithful form of the widest variant the processor runs,
// for one problem and for as many side by side as its registers hold
// doubles, and a narrower variant for the few problems left over at the end
// of a batch. All variants give the same bits; the choice is made on every
// call, which costs a load and a test.
struct Kernels {
    CoefficientKernel fast;
    CoefficientKernel faithful;
    AcrossKernels wide;
    AcrossKernels narrow;
};

Kernels ChooseKernels() {
    const AcrossKernels baselineAcross{baseline::FastAcross, baseline::FaithfulAcross,
                                       baseline::lanes};
#ifdef VARNEX_FAST_WIDE_VARIANTS
    const AcrossKernels avx2Across{avx2::FastAcross, avx2::FaithfulAcross, avx2::lanes};
    if (__builtin_cpu_supports("avx512f")) {
        return {avx512::FastCoefficients,
                avx512::FaithfulCoefficients,
                {avx512::FastAcross, avx512::FaithfulAcross, avx512::lanes},
                avx2Across};
    }
    if (__builtin_cpu_supports("avx2"))
        return {avx2::FastCoefficients, avx2::FaithfulCoefficients, avx2Across, baselineAcross};
#endif
    return {baseline::FastCoefficients, baseline::FaithfulCoefficients, baselineAcross,
            baselineAcross};
}

// Whether the inversion is so ill-conditioned for this problem that the
// rounding of the reference must be reproduced. Near a sharp front the 61
// terms cannot resolve the step: the qd table then cancels almost all its
// digits, and a change of one unit in the last place of a single transform
// value can move the result by 1e-7 of the inlet concentration (measured
// over soils and aquifers). That happens for Peclet numbers L v / D above
// about 40 and times within a factor of about 3 of the arrival of the front,
// L R / v; the bounds below leave a margin on both.
bool IllConditioned(double distanceM, double timeS, double velocityMPerS, double dispersion,
                    double retardation) {
    const double peclet = distanceM * velocityMPerS / dispersion;
    if (!(peclet >= 16.0)) return false;
    const double arrival = distanceM * retardation / velocityMPerS;
    return timeS >= 0.1 * arrival && timeS <= 10.0 * arrival;
}

// The point z = exp(i pi t / T) at which the continued fraction is summed.
void UnitPoint(double timeS, double halfPeriodT, double& zRe, double& zIm) {
    zRe = std::cos(pi * timeS / halfPeriodT);
    zIm = std::sin(pi * timeS / halfPeriodT);
}

// f(t) from the last numerator and denominator: their quotient and the
// undoing of the contour shift, with the reference's guards and its complex
// division. NaN where a recurrence has left the finite numbers: the
// reference's complex multiplication recovers infinities there, which the
// written-out products below do not, so the caller hands such problems to
// the reference kernel.
double FinishContinuedFraction(const Recurrence& r, double timeS, double gamma,
                               double halfPeriodT) {
    if (!r.clean || !(std::isfinite(r.aRe) && std::isfinite(r.aIm) && std::isfinite(r.bRe) &&
                      std::isfinite(r.bIm))) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    Complex a(r.aRe, r.aIm);
    const Complex b(r.bRe, r.bIm);
    if (IsTiny(a)) a = Complex(0.0, 0.0);
    const double series = IsTiny(b) ? 0.0 : (a / b).real();
    return std::exp(gamma * timeS) * series / halfPeriodT;
}

// The continued fraction of one problem by the recurrences of its numerator
// A and denominator B: A(n) = A(n-1) + d[n] z A(n-2), likewise B. The
// complex products are written out as the compiler forms them for finite
// values (re = ac - bd, im = ad + bc), so that they give the reference's
// bits, and the same expressions evaluate several problems at once in the
// register variants.
Recurrence ContinuedFraction(const Coefficients& d, double zRe, double zIm) {
    double a2Re = d.re[0], a2Im = d.im[0];
    double a1Re = d.re[0], a1Im = d.im[0];
    double b2Re = 1.0, b2Im = 0.0;
    double b1Re = 1.0 + (d.re[1] * zRe - d.im[1] * zIm);
    double b1Im = d.re[1] * zIm + d.im[1] * zRe;
    for (int n = 2; n < laplaceTerms; ++n) {
        const double pRe = d.re[n] * zRe - d.im[n] * zIm;
        const double pIm = d.re[n] * zIm + d.im[n] * zRe;
        const double aRe = a1Re + (pRe * a2Re - pIm * a2Im);
        const double aIm = a1Im + (pRe * a2Im + pIm * a2Re);
        const double bRe = b1Re + (pRe * b2Re - pIm * b2Im);
        const double bIm = b1Im + (pRe * b2Im + pIm * b2Re);
        a2Re = a1Re;
        a2Im = a1Im;
        a1Re = aRe;
        a1Im = aIm;
        b2Re = b1Re;
        b2Im = b1Im;
        b1Re = bRe;
        b1Im = bIm;
    }
    return {a1Re, a1Im, b1Re, b1Im, true};
}

// A problem past its input checks and early returns, ready for a kernel.
struct Prepared {
    TransformInputs inputs;
    double timeS, halfPeriodT, zRe, zIm;
    bool faithful;
};

Prepared Prepare(double concentration, double distanceM, double timeS, double velocityMPerS,
                 double dispersion, double decayPerS, double retardation, double lateral) {
    Prepared prepared;
    prepared.timeS = timeS;
    prepared.halfPeriodT = periodFactor * timeS;
    const double gamma = -std::log(relativeAccuracy) / (2.0 * prepared.halfPeriodT);
    const double omega = pi / prepared.halfPeriodT;
    const double p = velocityMPerS / (2.0 * dispersion);
    prepared.inputs = {concentration,
                       distanceM * p,
                       4.0 * dispersion * retardation,
                       decayPerS,
                       velocityMPerS * velocityMPerS,
                       gamma,
                       omega,
                       lateral,
                       prepared.halfPeriodT};
    UnitPoint(timeS, prepared.halfPeriodT, prepared.zRe, prepared.zIm);
    prepared.faithful = IllConditioned(distanceM, timeS, velocityMPerS, dispersion, retardation);
    return prepared;
}

// The solution of one prepared problem, or NaN where the fast arithmetic
// cannot stand for the reference's.
double SolveOne(const Kernels& kernels, const Prepared& prepared) {
    const CoefficientKernel kernel = prepared.faithful ? kernels.faithful : kernels.fast;
    Coefficients d;
    if (!kernel(prepared.inputs, d)) return std::numeric_limits<double>::quiet_NaN();
    return FinishContinuedFraction(ContinuedFraction(d, prepared.zRe, prepared.zIm), prepared.timeS,
                                   prepared.inputs.gamma, prepared.halfPeriodT);
}

// The input checks of SolveAdvectionDispersion, in its order. True when the
// result is 0 without any transform: before the boundary is switched on,
// upstream of it, and for a zero inlet (whose transform values all vanish,
// are replaced by 1e-50 and invert to far below the floor).
bool ColumnIsZero(const ColumnProblem& problem) {
    if (ColumnSolutionIsZero(problem.timeS, problem.distanceM, problem.velocityMPerS,
                             problem.dispersivityM))
        return true;
    return problem.concentration == 0.0;
}

// The same for SolveAquiferAdvectionDispersion.
bool AquiferIsZero(const AquiferProblem& problem) {
    if (AquiferSolutionIsZero(problem.timeS, problem.xM, problem.velocityMPerS,
                              problem.lateralDispersivityM, problem.longitudinalDispersivityM))
        return true;
    return problem.concentration == 0.0;
}

Prepared PrepareColumn(const ColumnProblem& c) {
    const double dispersion = c.dispersivityM * c.velocityMPerS + dispersionFloor;
    return Prepare(c.concentration, c.distanceM, c.timeS, c.velocityMPerS, dispersion, c.decayPerS,
                   c.retardation, 1.0);
}

Prepared PrepareAquifer(const AquiferProblem& a) {
    const double dispersion = a.longitudinalDispersivityM * a.velocityMPerS + dispersionFloor;
    // The lateral spreading factor, as the reference computes it.
    const double lateralDispersion =
        a.lateralDispersivityM * a.velocityMPerS * a.retardation + dispersionFloor;
    const double sigma =
        2.0 * std::sqrt(lateralDispersion * a.xM / (a.velocityMPerS * a.retardation));
    const double halfWidth = a.widthM / 2.0;
    const double lateral = 0.5 * (ErrorFunction((halfWidth + a.yM) / sigma) -
                                  ErrorFunction((a.yM - halfWidth) / sigma));
    return Prepare(a.concentration, a.xM, a.timeS, a.velocityMPerS, dispersion, a.decayPerS,
                   a.retardation, lateral);
}

double ReferenceColumn(const ColumnProblem& c) {
    return SolveAdvectionDispersion(c.concentration, c.distanceM, c.timeS, c.velocityMPerS,
                                    c.dispersivityM, c.decayPerS, c.retardation);
}

double ReferenceAquifer(const AquiferProblem& a) {
    return SolveAquiferAdvectionDispersion(a.concentration, a.xM, a.yM, a.widthM, a.timeS,
                                           a.velocityMPerS, a.lateralDispersivityM,
                                           a.longitudinalDispersivityM, a.decayPerS, a.retardation);
}

// A value of the fast kernel as a result: floored, or the reference's own
// result where the fast arithmetic could not stand for the reference's.
template <class Problem, class Reference>
double Result(double value, const Problem& problem, Reference reference) {
    if (!std::isfinite(value)) return reference(problem);
    return Floored(value);
}

// A batch: the checks run over the whole batch first, so that a failing
// problem throws before any result is written. The problems of the fast form
// are then solved as many at a time as the registers hold doubles, one per
// lane: the columns of their quotient-difference tables and their continued
// fractions advance together, so that the core works on several independent
// chains of divisions and products instead of waiting on one. Sharp fronts
// are gathered likewise for the faithful form. Every lane performs exactly
// the operations a single call performs for its problem (the register
// variants only differ in how many lanes they have), so a problem's result
// does not depend on the problems beside it, on its place in the batch or on
// the processor.
template <class Problem, class IsZero, class PrepareProblem, class Reference>
void SolveBatch(const Problem* problems, double* results, std::size_t count, IsZero isZero,
                PrepareProblem prepare, Reference reference) {
    for (std::size_t k = 0; k < count; ++k) isZero(problems[k]);
    const Kernels kernels = ChooseKernels();
    constexpr int maxLanes = 8;
    struct Group {
        Prepared problems[maxLanes];
        std::size_t members[maxLanes];
        int filled = 0;
    };
    Group groups[2]; // the fast form, the faithful form
    auto solveGroup = [&](Group& group, bool faithful) {
        const AcrossKernels& variant =
            group.filled <= kernels.narrow.lanes ? kernels.narrow : kernels.wide;
        const AcrossKernel across = faithful ? variant.faithful : variant.fast;
        TransformInputs inputs[maxLanes];
        double zRe[maxLanes], zIm[maxLanes];
        Recurrence recurrences[maxLanes];
        for (int l = 0; l < group.filled; ++l) {
            inputs[l] = group.problems[l].inputs;
            zRe[l] = group.problems[l].zRe;
            zIm[l] = group.problems[l].zIm;
        }
        across(inputs, zRe, zIm, group.filled, recurrences);
        for (int l = 0; l < group.filled; ++l) {
            const Prepared& g = group.problems[l];
            const double value =
                FinishContinuedFraction(recurrences[l], g.timeS, g.inputs.gamma, g.halfPeriodT);
            results[group.members[l]] = Result(value, problems[group.members[l]], reference);
        }
        group.filled = 0;
    };
    for (std::size_t k = 0; k < count; ++k) {
        if (isZero(problems[k])) {
            results[k] = 0.0;
            continue;
        }
        const Prepared prepared = prepare(problems[k]);
        Group& group = groups[prepared.faithful ? 1 : 0];
        group.problems[group.filled] = prepared;
        group.members[group.filled] = k;
        if (++group.filled == kernels.wide.lanes) solveGroup(group, prepared.faithful);
    }
    // The problems left over: a lone one as a single call solves it, a few
    // in a narrower register, rather than a register of copies (the same
    // bits either way).
    for (int form = 0; form < 2; ++form) {
        Group& group = groups[form];
        if (group.filled == 1) {
            results[group.members[0]] =
                Result(SolveOne(kernels, group.problems[0]), problems[group.members[0]], reference);
        } else if (group.filled > 1) {
            solveGroup(group, form == 1);
        }
    }
}

} // namespace

double FastSolveAdvectionDispersion(double concentration, double distanceM, double timeS,
                                    double velocityMPerS, double dispersivityM, double decayPerS,
                                    double retardation) {
    const ColumnProblem problem{concentration, distanceM, timeS,      velocityMPerS,
                                dispersivityM, decayPerS, retardation};
    if (ColumnIsZero(problem)) return 0.0;
    return Result(SolveOne(ChooseKernels(), PrepareColumn(problem)), problem, ReferenceColumn);
}

double FastSolveAquiferAdvectionDispersion(double concentration, double xM, double yM,
                                           double widthM, double timeS, double velocityMPerS,
                                           double lateralDispersivityM,
                                           double longitudinalDispersivityM, double decayPerS,
                                           double retardation) {
    const AquiferProblem problem{concentration,
                                 xM,
                                 yM,
                                 widthM,
                                 timeS,
                                 velocityMPerS,
                                 lateralDispersivityM,
                                 longitudinalDispersivityM,
                                 decayPerS,
                                 retardation};
    if (AquiferIsZero(problem)) return 0.0;
    return Result(SolveOne(ChooseKernels(), PrepareAquifer(problem)), problem, ReferenceAquifer);
}

void FastSolveAdvectionDispersionBatch(const ColumnProblem* problems, double* results,
                                       std::size_t count) {
    SolveBatch(problems, results, count, ColumnIsZero, PrepareColumn, ReferenceColumn);
}

void FastSolveAquiferAdvectionDispersionBatch(const AquiferProblem* problems, double* results,
                                              std::size_t count) {
    SolveBatch(problems, results, count, AquiferIsZero, PrepareAquifer, ReferenceAquifer);
}

} // namespace varnex

#else // VARNEX_FAST_LANES: the kernel for registers of VARNEX_FAST_LANES doubles

constexpr int lanes = VARNEX_FAST_LANES;
typedef double Real __attribute__((vector_size(lanes * sizeof(double))));
typedef std::int64_t Mask __attribute__((vector_size(lanes * sizeof(double))));

inline Real Splat(double value) { return Real{} + value; }

inline Real Load(const double* from) {
    Real value;
    __builtin_memcpy(&value, from, sizeof value);
    return value;
}

inline void Store(double* to, Real value) { __builtin_memcpy(to, &value, sizeof value); }

inline Real Abs(Real x) { return (Real)((Mask)x & std::int64_t{0x7FFFFFFFFFFFFFFF}); }

inline Real Sqrt(Real x) {
#if defined(__x86_64__) && VARNEX_FAST_LANES == 2
    return _mm_sqrt_pd(x);
#elif defined(__x86_64__) && VARNEX_FAST_LANES == 4
    return _mm256_sqrt_pd(x);
#elif defined(__x86_64__) && VARNEX_FAST_LANES == 8
    return _mm512_mask_sqrt_pd(x, static_cast<__mmask8>(0xFF), x);
#else
    Real root;
    for (int l = 0; l < lanes; ++l) root[l] = std::sqrt(x[l]);
    return root;
#endif
}

// Both parts below 1e-50 in size: the reference's test for a vanished value.
inline Mask Tiny(Real re, Real im) { return (Abs(re) < tiny) & (Abs(im) < tiny); }

// Adding and subtracting 1.5 * 2^52 rounds a double below 2^51 in size to the
// nearest integer, which then also stands in the low bits of the sum.
constexpr double roundingShift = 6755399441055744.0;

// 2^m for an integer m in [-1022, 1023], put together from its bits.
inline Real PowerOfTwo(Real m) { return (Real)((Mask)(m + (roundingShift + 1023.0)) << 52); }

// e^x: x = n ln 2 + r with ln 2 in two parts (the first of 32 bits, so that
// n times it is exact; Cody and Waite 1980), |r| <= ln 2 / 2, and the Taylor
// series of e^r to r^13 (truncation error below 5e-18 relative). 2^n is
// applied as two factors, so that results down to the subnormals are
// rounded once. Arguments are clamped to [-1100, 1000], beyond which the
// result is 0 or infinite anyway; NaN stays NaN.
inline Real Exp(Real x) {
    constexpr double log2e = 0x1.71547652b82fep0;
    constexpr double ln2Hi = 0x1.62e42feep-1;
    constexpr double ln2Lo = 0x1.a39ef35793c76p-33;
    x = x < -1100.0 ? Splat(-1100.0) : x;
    x = x > 1000.0 ? Splat(1000.0) : x;
    const Real n = (x * log2e + roundingShift) - roundingShift;
    const Real r = (x - n * ln2Hi) - n * ln2Lo;
    Real p = Splat(1.0 / 6227020800.0);
    p = p * r + 1.0 / 479001600.0;
    p = p * r + 1.0 / 39916800.0;
    p = p * r + 1.0 / 3628800.0;
    p = p * r + 1.0 / 362880.0;
    p = p * r + 1.0 / 40320.0;
    p = p * r + 1.0 / 5040.0;
    p = p * r + 1.0 / 720.0;
    p = p * r + 1.0 / 120.0;
    p = p * r + 1.0 / 24.0;
    p = p * r + 1.0 / 6.0;
    p = p * r + 0.5;
    p = p * r + 1.0;
    p = p * r + 1.0;
    const Real half = (n * 0.5 + roundingShift) - roundingShift;
    return p * PowerOfTwo(half) * PowerOfTwo(n - half);
}

// sin y and cos y: y = n pi/2 + r with pi/2 in three parts of 33, 33 and 29
// bits (those of fdlibm's __ieee754_rem_pio2: n times each is exact for
// |n| < 2^20), |r| <= pi/4, and the minimax polynomials of fdlibm's
// __kernel_sin and __kernel_cos. Angles beyond 1e6 in size are beyond that
// reduction; they are replaced by 0 and reported, so that the caller can
// tell whether the value they belong to matters (it does not when the value
// is replaced by 1e-50 anyway, the usual case: such angles come with
// exponentials far below 1e-50).
inline Mask SinCos(Real y, Real& sine, Real& cosine) {
    constexpr double twoOverPi = 0x1.45f306dc9c883p-1;
    constexpr double pio2a = 0x1.921fb544p0;
    constexpr double pio2b = 0x1.0b4611a6p-34;
    constexpr double pio2c = 0x1.3198a2ep-69;
    const Mask wide = Abs(y) > 1e6;
    y = wide ? Splat(0.0) : y;
    const Real shifted = y * twoOverPi + roundingShift;
    const Real n = shifted - roundingShift;
    const Mask quadrant = (Mask)shifted & 3;
    const Real r = ((y - n * pio2a) - n * pio2b) - n * pio2c;
    const Real z = r * r;
    constexpr double s1 = -1.66666666666666324348e-01, s2 = 8.33333333332248946124e-03,
                     s3 = -1.98412698298579493134e-04, s4 = 2.75573137070700676789e-06,
                     s5 = -2.50507602534068634195e-08, s6 = 1.58969099521155010221e-10;
    constexpr double c1 = 4.16666666666666019037e-02, c2 = -1.38888888888741095749e-03,
                     c3 = 2.48015872894767294178e-05, c4 = -2.75573143513906633035e-07,
                     c5 = 2.08757232129817482790e-09, c6 = -1.13596475577881948265e-11;
    const Real sinR = r + (z * r) * (s1 + z * (s2 + z * (s3 + z * (s4 + z * (s5 + z * s6)))));
    const Real cosPoly = z * (z * (c1 + z * (c2 + z * (c3 + z * (c4 + z * (c5 + z * c6))))));
    const Real halfZ = 0.5 * z;
    const Real w = 1.0 - halfZ;
    const Real cosR = w + (((1.0 - w) - halfZ) + cosPoly);
    // sin(n pi/2 + r) and cos(n pi/2 + r) by the quadrant n mod 4.
    const Mask odd = (quadrant & 1) != 0;
    const Real s = odd ? cosR : sinR;
    const Real c = odd ? sinR : cosR;
    sine = (quadrant & 2) != 0 ? 0.0 - s : s;
    cosine = ((quadrant + 1) & 2) != 0 ? 0.0 - c : c;
    return wide;
}

// a / b by a times the conjugate of b over |b|^2: one division, against the
// three of the library's algorithm. The divisors are at least 1e-50 in one
// part (the guards see to that), so |b|^2 cannot underflow; that it has not
// overflowed is for the caller to check with `norm`.
inline void Divide(Real ar, Real ai, Real br, Real bi, Real& re, Real& im, Real& norm) {
    norm = br * br + bi * bi;
    const Real inverse = 1.0 / norm;
    re = (ar * br + ai * bi) * inverse;
    im = (ai * br - ar * bi) * inverse;
}

// a / b as the compiler's run-time library divides complex numbers (Smith's
// algorithm, Smith 1962: the smaller part of b over the larger, then two
// divisions by b's scaled modulus), operation for operation, so that the
// quotient is the one the reference gets. The library also rescales operands
// near the ends of the exponent range and takes another order of operations
// where the ratio is subnormal; such operands are reported in `outside`
// (they do not occur in the engine's range).
inline void DivideAsReference(Real a, Real b, Real c, Real d, Real& x, Real& y, Mask& outside) {
    const Mask imaginaryLarger = Abs(c) < Abs(d);
    const Real larger = imaginaryLarger ? d : c;
    const Real smaller = imaginaryLarger ? c : d;
    const Real ratio = smaller / larger;
    const Real denominator = smaller * ratio + larger;
    const Real aRatio = a * ratio, bRatio = b * ratio;
    x = (imaginaryLarger ? aRatio + b : bRatio + a) / denominator;
    y = (imaginaryLarger ? bRatio - a : b - aRatio) / denominator;
    constexpr double lowest = 1e-290, highest = 1e290;
    const Real products[] = {ratio, aRatio, bRatio, smaller * ratio, x, y};
    outside = ~(Abs(larger) < highest) | (Abs(larger) < lowest);
    for (const Real& v : products) outside |= (Abs(v) < lowest) & (v != 0.0);
}

// The largest |b|^2 that Divide accepts: far above any divisor of a problem
// in the engine's range, and far enough below overflow that a / b is not
// lost to an infinite |b|^2 (which would make it 0).
constexpr double normLimit = 1e290;

inline Real Index() {
    Real index;
    for (int l = 0; l < lanes; ++l) index[l] = l;
    return index;
}

inline bool Clean(Mask trouble) {
    bool clean = true;
    for (int l = 0; l < lanes; ++l) clean = clean && trouble[l] == 0;
    return clean;
}

// hypot(x, y) = sqrt(x^2 + y^2) as the C library computes it for operands
// well inside the exponent range (Borges 2021: the rounded root corrected by
// the exactly evaluated residual, without fused multiply-adds). Operands
// outside that range are reported in `outside`.
inline Real HypotAsReference(Real x, Real y, Mask& outside) {
    x = Abs(x);
    y = Abs(y);
    const Mask swap = x < y;
    const Real ax = swap ? y : x, ay = swap ? x : y;
    Real h = Sqrt(ax * ax + ay * ay);
    const Mask near = h <= 2.0 * ay;
    const Real delta = h - (near ? ay : ax);
    const Real t1 = near ? ax * (2.0 * delta - ax) : 2.0 * delta * (ax - 2.0 * ay);
    const Real t2 =
        near ? (delta - 2.0 * (ax - ay)) * delta : (4.0 * delta - ay) * ay + delta * delta;
    h -= (t1 + t2) / (2.0 * h);
    outside = ~(ax < 0x1p511) | ((ay < 0x1p-511) & (ay != 0.0));
    return ay <= ax * 0x1p-54 ? ax + ay : h;
}

// The 61 transform values into fRe, fIm (64 slots), tiny ones replaced. The
// fast form uses the polynomial kernels above, exact to an ulp or two; the
// faithful form reproduces the reference's values bit for bit, with the C
// library's own exp, sin and cos and replicas of its csqrt and complex
// division.
template <bool faithful>
bool TransformValues(const TransformInputs& in, double* fRe, double* fIm) {
    const Real index = Index();
    Mask trouble = Mask{};

    // F(s) = C / s exp(L p (1 - sqrt(w))), w = 1 + q (s + lambda) / v^2, at
    // s = gamma + i k omega, in the reference's order of operations. The real
    // part of w is the same for every k.
    const double wRe = 1.0 + in.q * (in.gamma + in.decayPerS) / in.velocitySquared;
    if (faithful && !(wRe > 0.0 && wRe < 1e290)) return false;
    // The fast form's imaginary part of w is k q omega / v^2 and its C / s is
    // C T / (g + i k pi), both without a division per term.
    const double qOmega = in.q * in.omega / in.velocitySquared;
    const double scaledConcentration = in.concentration * in.halfPeriodT;
    if (!faithful &&
        !(in.halfPeriodT > 1e-280 && in.halfPeriodT < 1e280 && std::fabs(qOmega) < 1e280)) {
        return false;
    }
    const ScaledReciprocals& reciprocals = ReciprocalTable();
    for (int k0 = 0; k0 < paddedTerms; k0 += lanes) {
        const Real k = index + static_cast<double>(k0);
        const Mask valid = k < static_cast<double>(laplaceTerms);
        const Real sIm = k * in.omega;
        const Real wIm = faithful ? in.q * sIm / in.velocitySquared : k * qOmega;
        // The principal square root as in C99's csqrt: the part that does
        // not cancel from sqrt((|w| + |Re w|) / 2), the other from
        // 2 Re(root) Im(root) = Im w.
        Mask outside = Mask{};
        const Real modulus =
            faithful ? HypotAsReference(Splat(wRe), wIm, outside) : Sqrt(wRe * wRe + wIm * wIm);
        trouble |= valid & (outside | ~(Abs(wIm) < 1e290));
        const Real t = Sqrt(0.5 * (modulus + std::fabs(wRe)));
        const Real u = 0.5 * (wIm / t);
        Real rootRe = t, rootIm = u;
        if (!(wRe > 0.0)) {
            rootRe = Abs(u);
            rootIm = (Real)(((Mask)t & std::int64_t{0x7FFFFFFFFFFFFFFF}) |
                            ((Mask)wIm & std::numeric_limits<std::int64_t>::min()));
        }
        const Real expRe = in.lp * (1.0 - rootRe);
        const Real expIm = in.lp * (0.0 - rootIm);
        Real eRe0, eIm0, cRe, cIm;
        Mask wide = Mask{};
        if constexpr (faithful) {
            // cexp(x + iy) is exp(x) (cos y, sin y) in the C library for the
            // arguments here (x <= 700); they are evaluated one at a time.
            for (int l = 0; l < lanes; ++l) {
                const double magnitude = std::exp(expRe[l]);
                eRe0[l] = magnitude * std::cos(expIm[l]);
                eIm0[l] = magnitude * std::sin(expIm[l]);
            }
            trouble |= valid & ~(expRe <= 700.0);
            Mask divisionOutside;
            DivideAsReference(Splat(in.concentration), Splat(0.0), Splat(in.gamma), sIm, cRe, cIm,
                              divisionOutside);
            trouble |= valid & divisionOutside;
        } else {
            const Real magnitude = Exp(expRe);
            Real sine, cosine;
            wide = SinCos(expIm, sine, cosine);
            eRe0 = magnitude * cosine;
            eIm0 = magnitude * sine;
            // C / s for a real C.
            cRe = scaledConcentration * Load(reciprocals.re + k0);
            cIm = scaledConcentration * Load(reciprocals.im + k0);
        }
        const Real re = in.lateral * (cRe * eRe0 - cIm * eIm0);
        const Real im = in.lateral * (cRe * eIm0 + cIm * eRe0);
        const Mask finite = (Abs(re) <= std::numeric_limits<double>::max()) &
                            (Abs(im) <= std::numeric_limits<double>::max());
        const Mask tinyValue = Tiny(re, im);
        // An angle beyond the reduction matters only for a value that is kept.
        trouble |= valid & (~finite | (wide & ~tinyValue));
        // Values that have underflowed are replaced, as in the reference.
        Store(fRe + k0, tinyValue ? Splat(tiny) : re);
        Store(fIm + k0, tinyValue ? Splat(tiny) : im);
    }
    return Clean(trouble);
}

// The coefficients of the continued fraction from the transform values
// (slots 0 ... 63 of fRe, fIm, which are overwritten).
// a / b by the fast or the reference's division; true where the operands
// are outside the range the division is written for.
template <bool faithful>
inline Mask Quotient(Real ar, Real ai, Real br, Real bi, Real& re, Real& im) {
    Mask outside;
    if constexpr (faithful) {
        DivideAsReference(ar, ai, br, bi, re, im, outside);
    } else {
        Real norm;
        Divide(ar, ai, br, bi, re, im, norm);
        outside = ~(norm < normLimit);
    }
    return outside;
}

template <bool faithful>
bool TableCoefficients(double* fRe, double* fIm, Coefficients& d) {
    alignas(64) double qRe[slots] = {}, qIm[slots] = {}; // a q column of the qd table
    alignas(64) double eRe[slots] = {}, eIm[slots] = {}; // an e column
    alignas(64) double gRe[slots] = {}, gIm[slots] = {}; // the e column with its guards
    const Real index = Index();
    Mask trouble = Mask{};

    // The qd table of Rutishauser, column by column. With the transform
    // values a_0 = F[0] / 2, a_k = F[k] as the power series coefficients:
    //   q_1(k) = a_(k+1) / a_k,  e_0(k) = 0,
    //   e_r(k) = e_(r-1)(k+1) + (q_r(k+1) - q_r(k)),
    //   q_(r+1)(k) = q_r(k+1) (e_r(k+1) / e_r(k)),
    // and d[2r-1] = -q_r(0), d[2r] = -e_r(0) (de Hoog et al. 1982, eq. 20).
    // The reference fills the same table diagonal by diagonal, one new
    // transform value at a time; every entry comes from the same operands
    // by the same operations either way, including its guards: an e entry
    // is replaced by (1e-50, 1e-50) where it is tiny both as the divisor of
    // the q rule and in the e rule of the next column, but not as the
    // dividend. Column by column, the entries of a column are independent
    // and fill the registers.
    d.re[0] = fRe[0] / 2.0;
    d.im[0] = fIm[0] / 2.0;
    fRe[0] = d.re[0];
    fIm[0] = d.im[0];
    for (int k0 = 0; k0 < laplaceTerms - 1; k0 += lanes) {
        const Mask valid = index + static_cast<double>(k0) < static_cast<double>(laplaceTerms - 1);
        Real re, im;
        trouble |= valid & Quotient<faithful>(Load(fRe + k0 + 1), Load(fIm + k0 + 1),
                                              Load(fRe + k0), Load(fIm + k0), re, im);
        Store(qRe + k0, re);
        Store(qIm + k0, im);
    }
    const int columns = (laplaceTerms - 1) / 2;
    for (int r = 1; r <= columns; ++r) {
        // e_r(k), k = 0 ... 60 - 2r, in place of e_(r-1); the loads at k + 1
        // come before the stores at k.
        const int eLength = laplaceTerms - 2 * r;
        for (int k0 = 0; k0 < eLength; k0 += lanes) {
            const Real re = Load(gRe + k0 + 1) + (Load(qRe + k0 + 1) - Load(qRe + k0));
            const Real im = Load(gIm + k0 + 1) + (Load(qIm + k0 + 1) - Load(qIm + k0));
            Store(eRe + k0, re);
            Store(eIm + k0, im);
            const Mask small = Tiny(re, im);
            Store(gRe + k0, small ? Splat(tiny) : re);
            Store(gIm + k0, small ? Splat(tiny) : im);
        }
        d.re[2 * r - 1] = -qRe[0];
        d.im[2 * r - 1] = -qIm[0];
        d.re[2 * r] = -eRe[0];
        d.im[2 * r] = -eIm[0];
        if (r == columns) break;
        // q_(r+1)(k), k = 0 ... 59 - 2r, in place of q_r.
        const int qLength = eLength - 1;
        for (int k0 = 0; k0 < qLength; k0 += lanes) {
            const Mask valid = index + static_cast<double>(k0) < static_cast<double>(qLength);
            Real tRe, tIm;
            trouble |= valid & Quotient<faithful>(Load(eRe + k0 + 1), Load(eIm + k0 + 1),
                                                  Load(gRe + k0), Load(gIm + k0), tRe, tIm);
            const Real mRe = Load(qRe + k0 + 1), mIm = Load(qIm + k0 + 1);
            Store(qRe + k0, mRe * tRe - mIm * tIm);
            Store(qIm + k0, mRe * tIm + mIm * tRe);
        }
    }

    return Clean(trouble);
}

template <bool faithful>
bool AllCoefficients(const TransformInputs& in, Coefficients& d) {
    alignas(64) double fRe[slots] = {}, fIm[slots] = {};
    const bool transformClean = TransformValues<faithful>(in, fRe, fIm);
    return TableCoefficients<faithful>(fRe, fIm, d) && transformClean;
}

bool FastCoefficients(const TransformInputs& in, Coefficients& d) {
    return AllCoefficients<false>(in, d);
}

bool FaithfulCoefficients(const TransformInputs& in, Coefficients& d) {
    return AllCoefficients<true>(in, d);
}

// The fast or the faithful form of up to `lanes` problems side by side, lane
// l holding problem l: their transform values (each evaluated along its own
// 61 terms, as for a single call), then the quotient-difference tables and
// the continued fractions with one problem per lane. Every entry of a lane
// is formed from the same operands by the same operations as in
// TableCoefficients and ContinuedFraction, so each problem gets the bits of
// a single call. Lanes beyond `count` repeat problem 0, and their
// results are dropped.
template <bool faithful>
void Across(const TransformInputs* in, const double* zReIn, const double* zImIn, int count,
            Recurrence* out) {
    constexpr int n = laplaceTerms;
    // Term k of lane l at k * lanes + l.
    alignas(64) double fRe[n * lanes], fIm[n * lanes];
    alignas(64) double qRe[n * lanes], qIm[n * lanes];
    alignas(64) double eRe[n * lanes], eIm[n * lanes];
    alignas(64) double gRe[n * lanes] = {}, gIm[n * lanes] = {};
    alignas(64) double dRe[n * lanes], dIm[n * lanes];
    alignas(64) double zReAll[lanes], zImAll[lanes];
    bool transformClean[lanes];
    for (int l = 0; l < lanes; ++l) {
        const int source = l < count ? l : 0;
        zReAll[l] = zReIn[source];
        zImAll[l] = zImIn[source];
        if (l != source) {
            transformClean[l] = true;
            for (int k = 0; k < n; ++k) {
                fRe[k * lanes + l] = fRe[k * lanes];
                fIm[k * lanes + l] = fIm[k * lanes];
            }
            continue;
        }
        alignas(64) double tRe[slots] = {}, tIm[slots] = {};
        transformClean[l] = TransformValues<faithful>(in[source], tRe, tIm);
        for (int k = 0; k < n; ++k) {
            fRe[k * lanes + l] = tRe[k];
            fIm[k * lanes + l] = tIm[k];
        }
    }
    auto at = [](int k) { return k * lanes; };
    Mask trouble = Mask{};

    // The table column by column, as in TableCoefficients; every entry of a
    // column and every lane is independent of the others.
    const Real d0Re = Load(fRe) / 2.0, d0Im = Load(fIm) / 2.0;
    Store(dRe, d0Re);
    Store(dIm, d0Im);
    Store(fRe, d0Re);
    Store(fIm, d0Im);
    for (int k = 0; k < n - 1; ++k) {
        Real re, im;
        trouble |= Quotient<faithful>(Load(fRe + at(k + 1)), Load(fIm + at(k + 1)),
                                      Load(fRe + at(k)), Load(fIm + at(k)), re, im);
        Store(qRe + at(k), re);
        Store(qIm + at(k), im);
    }
    const int columns = (n - 1) / 2;
    for (int r = 1; r <= columns; ++r) {
        const int eLength = n - 2 * r;
        for (int k = 0; k < eLength; ++k) {
            const Real re = Load(gRe + at(k + 1)) + (Load(qRe + at(k + 1)) - Load(qRe + at(k)));
            const Real im = Load(gIm + at(k + 1)) + (Load(qIm + at(k + 1)) - Load(qIm + at(k)));
            Store(eRe + at(k), re);
            Store(eIm + at(k), im);
            const Mask small = Tiny(re, im);
            Store(gRe + at(k), small ? Splat(tiny) : re);
            Store(gIm + at(k), small ? Splat(tiny) : im);
        }
        Store(dRe + at(2 * r - 1), -Load(qRe));
        Store(dIm + at(2 * r - 1), -Load(qIm));
        Store(dRe + at(2 * r), -Load(eRe));
        Store(dIm + at(2 * r), -Load(eIm));
        if (r == columns) break;
        const int qLength = eLength - 1;
        for (int k = 0; k < qLength; ++k) {
            Real tRe, tIm;
            trouble |= Quotient<faithful>(Load(eRe + at(k + 1)), Load(eIm + at(k + 1)),
                                          Load(gRe + at(k)), Load(gIm + at(k)), tRe, tIm);
            const Real mRe = Load(qRe + at(k + 1)), mIm = Load(qIm + at(k + 1));
            Store(qRe + at(k), mRe * tRe - mIm * tIm);
            Store(qIm + at(k), mRe * tIm + mIm * tRe);
        }
    }

    // The continued fractions, as in ContinuedFraction.
    const Real zRe = Load(zReAll), zIm = Load(zImAll);
    Real a2Re = Load(dRe), a2Im = Load(dIm);
    Real a1Re = a2Re, a1Im = a2Im;
    Real b2Re = Splat(1.0), b2Im = Splat(0.0);
    const Real d1Re = Load(dRe + at(1)), d1Im = Load(dIm + at(1));
    Real b1Re = 1.0 + (d1Re * zRe - d1Im * zIm);
    Real b1Im = d1Re * zIm + d1Im * zRe;
    for (int m = 2; m < n; ++m) {
        const Real dmRe = Load(dRe + at(m)), dmIm = Load(dIm + at(m));
        const Real pRe = dmRe * zRe - dmIm * zIm;
        const Real pIm = dmRe * zIm + dmIm * zRe;
        const Real aRe = a1Re + (pRe * a2Re - pIm * a2Im);
        const Real aIm = a1Im + (pRe * a2Im + pIm * a2Re);
        const Real bRe = b1Re + (pRe * b2Re - pIm * b2Im);
        const Real bIm = b1Im + (pRe * b2Im + pIm * b2Re);
        a2Re = a1Re;
        a2Im = a1Im;
        a1Re = aRe;
        a1Im = aIm;
        b2Re = b1Re;
        b2Im = b1Im;
        b1Re = bRe;
        b1Im = bIm;
    }
    for (int l = 0; l < count; ++l) {
        out[l] = {a1Re[l], a1Im[l], b1Re[l], b1Im[l], transformClean[l] && trouble[l] == 0};
    }
}

void FastAcross(const TransformInputs* in, const double* zRe, const double* zIm, int count,
                Recurrence* out) {
    Across<false>(in, zRe, zIm, count, out);
}

void FaithfulAcross(const TransformInputs* in, const double* zRe, const double* zIm, int count,
                    Recurrence* out) {
    Across<true>(in, zRe, zIm, count, out);
}

#endif // VARNEX_FAST_LANES
