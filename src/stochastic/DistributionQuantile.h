#pragma once

#include <cstddef>

namespace varnex {

class Distribution;

// The quantile function of the law a distribution's random draws follow:
// for probabilities u in (0, 1), the smallest value x with F(x) >= u, in
// internal units. The law is the one the draws have in the limit of fine
// deviates, so that stratified samples (Latin hypercube) and random ones
// describe the same input:
// - UNIFORM, LOGUNIFORM, TRIANGULAR, LOGTRIANGULAR and EXPONENTIAL by the
//   draw's own formula at u (it is the inverse distribution function), the
//   triangular ends included;
// - NORMAL truncated at 0, because the draws discard negative values:
//   mean + sd * z(Phi0 + u (1 - Phi0)), Phi0 = Phi(-mean / sd);
// - LOGNORMAL as exp(mu + sigma z(u)) with the draw's log moments;
// - POISSON(rate), BINOMIAL(trials, p) and BOOLEAN(bias) (P(1) =
//   (1 + bias) / 2) by their discrete distribution functions;
// - SINGLE is its value; an undefined type keeps the last `sample`.
// z is the normal quantile of InverseNormal.h.
//
// `ascending` holds `count` probabilities in increasing order, values gets
// one quantile each; `values` may be `ascending` itself (each probability is
// read before its value is written). The discrete laws are walked once from 0 for the whole
// set, so a Latin hypercube of N strata costs N plus the largest value.
void DistributionQuantiles(const Distribution& distribution, const double* ascending,
                           double* values, std::size_t count);

// One quantile.
double DistributionQuantile(const Distribution& distribution, double u);

} // namespace varnex
