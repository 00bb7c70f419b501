#include "support/LiteralGapExchange.h"

#include <numeric>
#include <utility>

namespace varnex::test {

std::vector<std::size_t> LiteralGapExchangeRanking(const std::vector<double>& z) {
    const std::size_t n = z.size();
    std::vector<std::size_t> list(n);
    std::iota(list.begin(), list.end(), std::size_t{0});
    for (std::size_t gap : {3u, 2u, 1u}) {
        if (n <= gap) continue;
        bool exchanged = true;
        while (exchanged) {
            exchanged = false;
            for (std::size_t j = 0; j <= n - 1 - gap; ++j) {
                if (z[list[j + gap]] < z[list[j]]) {
                    std::swap(list[j], list[j + gap]);
                    exchanged = true;
                }
            }
        }
    }
    return list;
}

} // namespace varnex::test
