#pragma once

#include <cstddef>
#include <vector>

namespace varnex::test {

// The gap-exchange ranking exactly as the procedure reads: the index list
// 0 .. n - 1; for the gap 3, then 2, then 1, passes j = 0 .. n - 1 - gap
// exchanging the entries at j and j + gap whenever z of the later entry is
// strictly less, repeated until a pass exchanges nothing. Quadratic; the
// reference the fast ranking is checked against.
std::vector<std::size_t> LiteralGapExchangeRanking(const std::vector<double>& z);

} // namespace varnex::test
