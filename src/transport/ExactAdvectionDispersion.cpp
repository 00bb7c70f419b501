// The closed-form kernel, solving its problems side by side, one per SIMD
// lane.
//
// The file is compiled once and includes itself once for each register width
// (with VARNEX_EXACT_LANES set to the number of doubles in a register): the
// second half below is the closed form written for registers of that many
// doubles, compiled as a baseline SSE2 variant and, with GCC on x86-64, as
// AVX2 and AVX-512 variants chosen at run time. No lane ever looks at
// another: every lane evaluates all the branches its own value may need
// (Cody's three ranges, the two signs of the first erfc argument) and keeps
// the one that applies by a select, so a problem's result does not depend on
// the problems beside it, its place in the batch or the register width. The
// build turns off the contraction of a * b + c into fused multiply-adds for
// this file (GCC would allow it under the AVX2 and AVX-512 targets), so that
// every width rounds alike. A single call is a batch of one.
#ifndef VARNEX_EXACT_LANES

#include "transport/ExactAdvectionDispersion.h"

#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include <cmath>

#include "base/Exception.h"
#include "settings/Translate.h"
#include "transport/ColumnGuards.h"
#include "transport/ExactRegisterVariant.h"
#include "transport/InversionConstants.h"

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VARNEX_EXACT_WIDE_VARIANTS 1
#endif

namespace varnex {

namespace {

using namespace InversionConstants;

// The coefficients of W. J. Cody, "Rational Chebyshev approximations for
// the error function", Math. Comp. 23 (1969) 631-637, as tabulated in his
// routine CALERF (the same as in ErrorFunctions.cpp, whose scalar forms these
// lanes follow operation by operation).
// erf(x) = x P(x^2) / Q(x^2) for |x| <= 0.46875.
constexpr double codyA[5] = {3.16112374387056560e00, 1.13864154151050156e02, 3.77485237685302021e02,
                             3.20937758913846947e03, 1.85777706184603153e-1};
constexpr double codyB[4] = {2.36012909523441209e01, 2.44024637934444173e02, 1.28261652607737228e03,
                             2.84423683343917062e03};
// erfcx(x) = P(x) / Q(x) for 0.46875 < x <= 4.
constexpr double codyC[9] = {
    5.64188496988670089e-1, 8.88314979438837594e00, 6.61191906371416295e01,
    2.98635138197400131e02, 8.81952221241769090e02, 1.71204761263407058e03,
    2.05107837782607147e03, 1.23033935479799725e03, 2.15311535474403846e-8};
constexpr double codyD[8] = {1.57449261107098347e01, 1.17693950891312499e02, 5.37181101862009858e02,
                             1.62138957456669019e03, 3.29079923573345963e03, 4.36261909014324716e03,
                             3.43936767414372164e03, 1.23033935480374942e03};
// erfcx(x) = (1/sqrt(pi) - z P(z) / Q(z)) / x, z = 1/x^2, for x > 4.
constexpr double codyP[6] = {3.05326634961232344e-1, 3.60344899949804439e-1,
                             1.25781726111229246e-1, 1.60837851487422766e-2,
                             6.58749161529837803e-4, 1.63153871373020978e-2};
constexpr double codyQ[5] = {2.56852019228982242e00, 1.87295284992346725e00, 5.27905102951428412e-1,
                             6.05183413124413191e-2, 2.33520497626869185e-3};

constexpr double codyThreshold = 0.46875;
constexpr double inverseSqrtPi = 5.6418958354775628695e-1;
// Beyond this 1/(x sqrt(pi)) is erfcx to double precision (Cody's XHUGE).
constexpr double codyHuge = 6.71e7;
// erfc(x) underflows to 0 beyond about 26.6.
constexpr double erfcVanishes = 27.0;

// The checks of SolveAquiferAdvectionDispersion, in its order: true when the
// result is 0 without computing it.
bool AquiferIsZero(const AquiferProblem& a) {
    return AquiferSolutionIsZero(a.timeS, a.xM, a.velocityMPerS, a.lateralDispersivityM,
                                 a.longitudinalDispersivityM);
}

bool ColumnIsZero(const ColumnProblem& c) {
    return ColumnSolutionIsZero(c.timeS, c.distanceM, c.velocityMPerS, c.dispersivityM);
}

} // namespace

// The register-width variants. Each solves `count` problems, those at
// problems[which[k]], writing results[which[k]]; none of them is 0 by the
// checks (the caller has made them).
namespace {
namespace baseline {
#define VARNEX_EXACT_LANES 2
#include "transport/ExactAdvectionDispersion.cpp"
#undef VARNEX_EXACT_LANES
} // namespace baseline
} // namespace

#ifdef VARNEX_EXACT_WIDE_VARIANTS
#pragma GCC push_options
#pragma GCC target("avx2")
namespace {
namespace avx2 {
#define VARNEX_EXACT_LANES 4
#include "transport/ExactAdvectionDispersion.cpp"
#undef VARNEX_EXACT_LANES
} // namespace avx2
} // namespace
#pragma GCC pop_options

#pragma GCC push_options
#pragma GCC target("avx512f")
namespace {
namespace avx512 {
#define VARNEX_EXACT_LANES 8
#include "transport/ExactAdvectionDispersion.cpp"
#undef VARNEX_EXACT_LANES
} // namespace avx512
} // namespace
#pragma GCC pop_options
#endif

namespace {

using ColumnLanes = void (*)(const ColumnProblem*, const std::uint32_t*, std::size_t, double*);
using AquiferLanes = void (*)(const AquiferProblem*, const std::uint32_t*, std::size_t, double*);

struct Lanes {
    ColumnLanes columns;
    AquiferLanes aquifers;
    int lanes;
};

// A register variant and a narrower one for the few problems left over at
// the end of a batch, rather than a register mostly of copies (one or two
// problems, single calls among them, go to the baseline): the same bits
// either way.
struct Variant {
    Lanes wide, narrow;
};

constexpr Lanes baselineLanes{baseline::SolveColumns, baseline::SolveAquifers, baseline::lanes};
#ifdef VARNEX_EXACT_WIDE_VARIANTS
constexpr Lanes avx2Lanes{avx2::SolveColumns, avx2::SolveAquifers, avx2::lanes};
constexpr Lanes avx512Lanes{avx512::SolveColumns, avx512::SolveAquifers, avx512::lanes};
#endif

bool Runs(ExactRegisterVariant variant) {
    switch (variant) {
    case ExactRegisterVariant::automatic:
    case ExactRegisterVariant::sse2: return true;
#ifdef VARNEX_EXACT_WIDE_VARIANTS
    case ExactRegisterVariant::avx2: return __builtin_cpu_supports("avx2");
    case ExactRegisterVariant::avx512: return __builtin_cpu_supports("avx512f");
#else
    case ExactRegisterVariant::avx2:
    case ExactRegisterVariant::avx512: return false;
#endif
    }
    return false;
}

// The variant asked for, if the processor runs it, else the baseline.
Variant Exactly(ExactRegisterVariant variant) {
#ifdef VARNEX_EXACT_WIDE_VARIANTS
    if (variant == ExactRegisterVariant::avx512 && Runs(variant)) return {avx512Lanes, avx2Lanes};
    if (variant == ExactRegisterVariant::avx2 && Runs(variant)) return {avx2Lanes, baselineLanes};
#endif
    (void)variant;
    return {baselineLanes, baselineLanes};
}

Variant Choose(ExactRegisterVariant variant) {
    if (variant != ExactRegisterVariant::automatic) return Exactly(variant);
    // The processor does not change while the program runs.
    static const Variant widest = Runs(ExactRegisterVariant::avx512)
                                      ? Exactly(ExactRegisterVariant::avx512)
                                      : Exactly(ExactRegisterVariant::avx2);
    return widest;
}

// A batch: the checks run over the whole batch first, so that a failing
// problem throws before any result is written. Then, a block at a time, the
// problems that are 0 by the checks get 0 and the others are handed to the
// lanes, packed together so that no lane idles on them: whole registers of
// the wide variant, the rest in the narrow one.
template <class Problem, class IsZero, class Solve>
void SolveBatch(const Problem* problems, double* results, std::size_t count, IsZero isZero,
                const Variant& variant, Solve solve) {
    for (std::size_t k = 0; k < count; ++k) isZero(problems[k]);
    constexpr std::size_t block = 256;
    std::uint32_t which[block];
    const auto wideLanes = static_cast<std::size_t>(variant.wide.lanes);
    for (std::size_t first = 0; first < count; first += block) {
        const std::size_t size = count - first < block ? count - first : block;
        std::size_t solved = 0;
        for (std::size_t k = 0; k < size; ++k) {
            if (isZero(problems[first + k])) {
                results[first + k] = 0.0;
            } else {
                which[solved++] = static_cast<std::uint32_t>(k);
            }
        }
        const std::size_t whole = solved / wideLanes * wideLanes;
        if (whole > 0) solve(variant.wide)(problems + first, which, whole, results + first);
        if (solved > whole) {
            const std::size_t rest = solved - whole;
            const Lanes& lanes = rest <= static_cast<std::size_t>(baselineLanes.lanes)
                                     ? baselineLanes
                                     : variant.narrow;
            solve(lanes)(problems + first, which + whole, rest, results + first);
        }
    }
}

ColumnLanes ColumnsOf(const Lanes& lanes) { return lanes.columns; }
AquiferLanes AquifersOf(const Lanes& lanes) { return lanes.aquifers; }

} // namespace

bool ExactRegisterVariantAvailable(ExactRegisterVariant variant) { return Runs(variant); }

int ExactRegisterLanes(ExactRegisterVariant variant) {
    if (!Runs(variant)) return 0;
    return Choose(variant).wide.lanes;
}

void ExactAdvectionDispersionBatch(ExactRegisterVariant variant, const ColumnProblem* problems,
                                   double* results, std::size_t count) {
    SolveBatch(problems, results, count, ColumnIsZero, Choose(variant), ColumnsOf);
}

void ExactAquiferAdvectionDispersionBatch(ExactRegisterVariant variant,
                                          const AquiferProblem* problems, double* results,
                                          std::size_t count) {
    SolveBatch(problems, results, count, AquiferIsZero, Choose(variant), AquifersOf);
}

double ExactAdvectionDispersion(double concentration, double distanceM, double timeS,
                                double velocityMPerS, double dispersivityM, double decayPerS,
                                double retardation) {
    const ColumnProblem problem{concentration, distanceM, timeS,      velocityMPerS,
                                dispersivityM, decayPerS, retardation};
    double result = 0.0;
    ExactAdvectionDispersionBatch(ExactRegisterVariant::automatic, &problem, &result, 1);
    return result;
}

double ExactAquiferAdvectionDispersion(double concentration, double xM, double yM, double widthM,
                                       double timeS, double velocityMPerS,
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
    double result = 0.0;
    ExactAquiferAdvectionDispersionBatch(ExactRegisterVariant::automatic, &problem, &result, 1);
    return result;
}

void ExactAdvectionDispersionBatch(const ColumnProblem* problems, double* results,
                                   std::size_t count) {
    ExactAdvectionDispersionBatch(ExactRegisterVariant::automatic, problems, results, count);
}

void ExactAquiferAdvectionDispersionBatch(const AquiferProblem* problems, double* results,
                                          std::size_t count) {
    ExactAquiferAdvectionDispersionBatch(ExactRegisterVariant::automatic, problems, results, count);
}

} // namespace varnex

#else // VARNEX_EXACT_LANES: the closed form for registers of VARNEX_EXACT_LANES doubles

constexpr int lanes = VARNEX_EXACT_LANES;
typedef double Real __attribute__((vector_size(lanes * sizeof(double))));
typedef std::int64_t Mask __attribute__((vector_size(lanes * sizeof(double))));

inline Real Splat(double value) { return Real{} + value; }

inline Real Load(const double* from) {
    Real value;
    std::memcpy(&value, from, sizeof value);
    return value;
}

inline void Store(double* to, Real value) { std::memcpy(to, &value, sizeof value); }

inline bool Any(Mask m) {
    for (int l = 0; l < lanes; ++l)
        if (m[l] != 0) return true;
    return false;
}

inline Real Abs(Real x) { return (Real)((Mask)x & std::int64_t{0x7FFFFFFFFFFFFFFF}); }

inline Mask IsNaN(Real x) { return x != x; }

// The correctly rounded square root of IEEE 754, lane by lane.
inline Real Sqrt(Real x) {
#if defined(__x86_64__) && VARNEX_EXACT_LANES == 2
    return _mm_sqrt_pd(x);
#elif defined(__x86_64__) && VARNEX_EXACT_LANES == 4
    return _mm256_sqrt_pd(x);
#elif defined(__x86_64__) && VARNEX_EXACT_LANES == 8
    return _mm512_mask_sqrt_pd(x, static_cast<__mmask8>(0xFF), x);
#else
    Real root;
    for (int l = 0; l < lanes; ++l) root[l] = std::sqrt(x[l]);
    return root;
#endif
}

// Adding and subtracting 1.5 * 2^52 rounds a double below 2^51 in size to the
// nearest integer, which then also stands in the low bits of the sum.
constexpr double roundingShift = 6755399441055744.0;

// trunc(x) for 0 <= x < 2^51: the nearest integer, one less where that is
// above x.
inline Real TruncNonNegative(Real x) {
    const Real nearest = (x + roundingShift) - roundingShift;
    return nearest > x ? nearest - 1.0 : nearest;
}

// 2^m for an integer m in [-1022, 1023], put together from its bits.
inline Real PowerOfTwo(Real m) { return (Real)((Mask)(m + (roundingShift + 1023.0)) << 52); }

// e^x: x = n ln 2 + r with ln 2 in two parts (the first of 32 bits, so that
// n times it is exact for |n| < 2^21; Cody and Waite 1980), |r| <= ln 2 / 2,
// and the Taylor series of e^r to r^13 (truncation error below 5e-18
// relative, so that the rounding of the Horner steps, under one unit in the
// last place, is what remains). 2^n is applied as two factors, so that
// results down to the subnormals (x to -745) are rounded once. Below
// -745.2 the result rounds to 0 (e^x < 2^-1075): such lanes are given 0 by
// a select and computed with x = 0 instead, because a product that
// underflows costs the processor a microcode assist of about a hundred
// cycles for the whole register (the commonest case here: exp(-lag^2) far
// from a front). Arguments above 1000 are clamped (the result is infinite
// anyway); NaN stays NaN.
inline Real Exp(Real x) {
    constexpr double log2e = 0x1.71547652b82fep0;
    constexpr double ln2Hi = 0x1.62e42feep-1;
    constexpr double ln2Lo = 0x1.a39ef35793c76p-33;
    const Mask vanishes = x < -745.2;
    x = vanishes ? Splat(0.0) : x;
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
    const Real value = p * PowerOfTwo(half) * PowerOfTwo(n - half);
    return vanishes ? Splat(0.0) : value;
}

// erf(x) for |x| <= 0.46875 (Cody's first approximation).
inline Real SmallErf(Real x) {
    const Real x2 = x * x;
    Real numerator = codyA[4] * x2;
    Real denominator = x2;
    for (int i = 0; i < 3; ++i) {
        numerator = (numerator + codyA[i]) * x2;
        denominator = (denominator + codyB[i]) * x2;
    }
    return x * (numerator + codyA[3]) / (denominator + codyB[3]);
}

// erfcx(y) for y > 0.46875 (Cody's second approximation to 4, his third
// beyond, 1/(y sqrt(pi)) beyond XHUGE), for the lanes of `needed`; the
// others get whatever their branch gives. A range no needed lane is in is
// not evaluated: that changes nothing in the lanes that are.
inline Real LargeErfcx(Real y, Mask needed) {
    const Mask middle = y <= 4.0;
    Real value = Splat(0.0);
    if (Any(needed & middle)) {
        Real numerator = codyC[8] * y;
        Real denominator = y;
        for (int i = 0; i < 7; ++i) {
            numerator = (numerator + codyC[i]) * y;
            denominator = (denominator + codyD[i]) * y;
        }
        value = (numerator + codyC[7]) / (denominator + codyD[7]);
    }
    if (Any(needed & ~middle)) {
        // One division for 1/y, which gives z and the last quotient too.
        const Real inverse = 1.0 / y;
        const Real z = inverse * inverse;
        Real numerator = codyP[5] * z;
        Real denominator = z;
        for (int i = 0; i < 4; ++i) {
            numerator = (numerator + codyP[i]) * z;
            denominator = (denominator + codyQ[i]) * z;
        }
        const Real correction = z * (numerator + codyP[4]) / (denominator + codyQ[4]);
        const Real far =
            y >= codyHuge ? inverseSqrtPi * inverse : (inverseSqrtPi - correction) * inverse;
        value = middle ? value : far;
    }
    return value;
}

// exp(-y^2) for 0.46875 < y < 27, with y^2 split into a part exact in
// double and a small rest, as Cody does, so that the rounding of y^2 is not
// magnified by the exponential. Other lanes compute it at y = 1 (harmless:
// no subnormal, see Exp) and their values are not used.
inline Real GaussianFactor(Real y) {
    const Mask inRange = (y > codyThreshold) & (y < erfcVanishes);
    y = inRange ? y : Splat(1.0);
    const Real head = TruncNonNegative(y * 16.0) / 16.0;
    const Real rest = (y - head) * (y + head);
    return Exp(-head * head) * Exp(-rest);
}

// erfc(y) for y > 0.46875 of the lanes of `needed`, from erfcx(y) as
// LargeErfcx gives it: 0 from 27 on.
inline Real LargeErfc(Real y, Real erfcx, Mask needed) {
    const Mask finite = needed & (y < erfcVanishes);
    if (!Any(finite)) return Splat(0.0);
    const Real value = GaussianFactor(y) * erfcx;
    return y < erfcVanishes ? value : Splat(0.0);
}

// erfcx(b) for b >= 0 (CALERF with JINT = 2): exp(b^2) (1 - erf(b)) on the
// first range, the rational forms beyond. NaN stays NaN.
inline Real ErfcxNonNegative(Real b) {
    const Mask small = b <= codyThreshold;
    Real value = LargeErfcx(b, ~small);
    if (Any(small)) value = small ? Exp(b * b) * (1.0 - SmallErf(b)) : value;
    return IsNaN(b) ? b : value;
}

// erf(x) (CALERF with JINT = 0): the first approximation to 0.46875, then
// 1 - erfc(|x|) with the sign of x, written as Cody does so that the halves
// round alike. NaN stays NaN.
inline Real Erf(Real x) {
    const Real y = Abs(x);
    const Mask small = y <= codyThreshold;
    Real value = Splat(0.0);
    if (Any(small)) value = SmallErf(x);
    if (Any(~small)) {
        const Real complement = LargeErfc(y, LargeErfcx(y, ~small & (y < erfcVanishes)), ~small);
        const Real large = x > 0.0 ? (0.5 - complement) + 0.5 : (complement - 0.5) - 0.5;
        value = small ? value : large;
    }
    return IsNaN(x) ? x : value;
}

// The closed form of the column for a dispersion coefficient D (m2/s)
// already formed, so that the aquifer's zero dispersivity (D = 1e-12) is
// accepted too. x >= 0, t > 0, v >= 0; undefined inputs (R = 0, say) give
// NaN, which the caller floors to 0.
inline Real ClosedForm(Real concentration, Real x, Real t, Real v, Real dispersion, Real decayPerS,
                       Real r) {
    const Real decayTerm = 4.0 * decayPerS * r * dispersion;
    const Real w = Sqrt(v * v + decayTerm);
    // 1 / (2 sqrt(D R t)): one division for the three arguments below.
    const Real inverseSpread = 1.0 / (2.0 * Sqrt(dispersion * r * t));
    const Real b1 = (r * x - w * t) * inverseSpread;
    const Real b2 = (r * x + w * t) * inverseSpread;

    // Both exponents minus the squares of their erfc arguments are the same
    // number, because w^2 - v^2 = 4 lambda R D:
    //     x (v -+ w) / (2D) - b1,2^2 = -((R x - v t) / (2 sqrt(D R t)))^2 - lambda t <= 0.
    // Written so, exp(huge) erfc(huge) of a sharp front becomes
    // exp(-something) erfcx(b), which neither overflows nor loses digits.
    const Real lag = (r * x - v * t) * inverseSpread;
    const Real scale = Exp(-lag * lag - decayPerS * t);
    // b2 >= 0 always.
    const Real second = scale * ErfcxNonNegative(b2);

    // The first term: scale erfcx(b1) for b1 > 0; otherwise
    // exp(x (v - w) / (2D)) erfc(b1), where x (v - w) / (2D) =
    // -2 x lambda R / (v + w) without the cancellation of v - w (0 without
    // decay: w = v, also at v = 0), and erfc(b1) = 2 - erfc(|b1|) beyond
    // Cody's first range. One exponential serves both signs: of b1^2 (the
    // first range of erfcx) or of that exponent.
    const Mask positive = b1 > 0.0;
    const Real y1 = Abs(b1);
    const Mask small = y1 <= codyThreshold;
    const Mask decays = decayTerm > 0.0;
    Real exponent = Splat(0.0);
    if (Any(decays & ~positive))
        exponent = decays ? -2.0 * x * decayPerS * r / (v + w) : Splat(0.0);
    const Real factor = Exp(positive ? b1 * b1 : exponent);
    Real smallErf = Splat(0.0);
    if (Any(small)) smallErf = SmallErf(b1);
    const Real largeErfcx = LargeErfcx(y1, ~small);
    const Real largeErfc = LargeErfc(y1, largeErfcx, ~positive & ~small);
    const Real erfcxFirst = small ? factor * (1.0 - smallErf) : largeErfcx;
    Real erfcFirst = small ? 1.0 - smallErf : 2.0 - largeErfc;
    erfcFirst = IsNaN(b1) ? b1 : erfcFirst;
    const Real first = positive ? scale * erfcxFirst : factor * erfcFirst;
    return 0.5 * concentration * (first + second);
}

// Results below 1e-30 are 0; written so that NaN also ends as 0.
inline Real Floored(Real c) { return c >= resultFloor ? c : Splat(0.0); }

// Lanes beyond `count` repeat the first problem of their register; their
// results are dropped.
void SolveColumns(const ColumnProblem* problems, const std::uint32_t* which, std::size_t count,
                  double* results) {
    for (std::size_t first = 0; first < count; first += lanes) {
        alignas(64) double c[lanes], x[lanes], t[lanes], v[lanes], alpha[lanes], decay[lanes],
            r[lanes];
        for (int l = 0; l < lanes; ++l) {
            const std::size_t k = first + l < count ? first + l : first;
            const ColumnProblem& p = problems[which[k]];
            c[l] = p.concentration;
            x[l] = p.distanceM;
            t[l] = p.timeS;
            v[l] = p.velocityMPerS;
            alpha[l] = p.dispersivityM;
            decay[l] = p.decayPerS;
            r[l] = p.retardation;
        }
        const Real velocity = Load(v);
        const Real dispersion = Load(alpha) * velocity + dispersionFloor;
        const Real result = Floored(
            ClosedForm(Load(c), Load(x), Load(t), velocity, dispersion, Load(decay), Load(r)));
        for (int l = 0; l < lanes && first + l < count; ++l) results[which[first + l]] = result[l];
    }
}

void SolveAquifers(const AquiferProblem* problems, const std::uint32_t* which, std::size_t count,
                   double* results) {
    for (std::size_t first = 0; first < count; first += lanes) {
        alignas(64) double c[lanes], x[lanes], y[lanes], width[lanes], t[lanes], v[lanes],
            alphaT[lanes], alphaL[lanes], decay[lanes], r[lanes];
        for (int l = 0; l < lanes; ++l) {
            const std::size_t k = first + l < count ? first + l : first;
            const AquiferProblem& p = problems[which[k]];
            c[l] = p.concentration;
            x[l] = p.xM;
            y[l] = p.yM;
            width[l] = p.widthM;
            t[l] = p.timeS;
            v[l] = p.velocityMPerS;
            alphaT[l] = p.lateralDispersivityM;
            alphaL[l] = p.longitudinalDispersivityM;
            decay[l] = p.decayPerS;
            r[l] = p.retardation;
        }
        const Real xM = Load(x), yM = Load(y), velocity = Load(v), retardation = Load(r);
        // The lateral factor exactly as the inverting kernels form it, with
        // the exact error function.
        const Real lateralDispersion = Load(alphaT) * velocity * retardation + dispersionFloor;
        const Real sigma = 2.0 * Sqrt(lateralDispersion * xM / (velocity * retardation));
        const Real halfWidth = Load(width) / 2.0;
        const Real lateral = 0.5 * (Erf((halfWidth + yM) / sigma) - Erf((yM - halfWidth) / sigma));
        const Real dispersion = Load(alphaL) * velocity + dispersionFloor;
        const Real result = Floored(lateral * ClosedForm(Load(c), xM, Load(t), velocity, dispersion,
                                                         Load(decay), retardation));
        for (int l = 0; l < lanes && first + l < count; ++l) results[which[first + l]] = result[l];
    }
}

#endif // VARNEX_EXACT_LANES
