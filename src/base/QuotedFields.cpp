#include "base/QuotedFields.h"

namespace varnex {

std::optional<QuotedFields> ParseQuotedFields(std::string_view line) {
    std::size_t quotes[4];
    std::size_t from = 0;
    for (std::size_t& quote : quotes) {
        quote = line.find('"', from);
        if (quote == std::string_view::npos) return std::nullopt;
        from = quote + 1;
    }
    return QuotedFields{std::string(line.substr(quotes[0] + 1, quotes[1] - quotes[0] - 1)),
                        std::string(line.substr(quotes[2] + 1, quotes[3] - quotes[2] - 1))};
}

} // namespace varnex
