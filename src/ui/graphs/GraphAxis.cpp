#include "ui/graphs/GraphAxis.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/NumberText.h"

namespace varnex::ui {

namespace {

double NiceStep(double span, int targetCount) {
    const double rough = span / std::max(1, targetCount);
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0})
        if (factor * power >= rough) return factor * power;
    return 10.0 * power;
}

} // namespace

std::string FormatLinearAxisNumber(double value) {
    if (!std::isfinite(value)) return FormatG(value);
    std::string fixed = FormatF(std::fabs(value), 3);
    // Trailing zeros beyond the first decimal go.
    while (fixed.size() > 2 && fixed.back() == '0' && fixed[fixed.size() - 2] != '.')
        fixed.pop_back();
    const std::size_t point = fixed.find('.');
    std::string whole = fixed.substr(0, point);
    std::string grouped;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) grouped += ',';
        grouped += whole[i];
    }
    const bool negative = value < 0.0 && fixed.find_first_not_of("0.") != std::string::npos;
    return (negative ? "-" : "") + grouped + fixed.substr(point);
}

std::string FormatLogAxisNumber(double value) {
    if (!std::isfinite(value) || value == 0.0) return FormatG(value);
    int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    double mantissa = value / std::pow(10.0, exponent);
    // 9.96 would print as "10.0": carry into the exponent instead.
    if (std::fabs(mantissa) >= 9.95) {
        mantissa /= 10.0;
        ++exponent;
    }
    // The ticks of a log axis sit on whole decades: "1e-2" is read at a
    // glance, a mantissa is only written when it says something.
    std::string text = FormatF(mantissa, 1);
    if (text == "1.0" || text == "-1.0") text.resize(text.size() - 2);
    return text + "e" + std::to_string(exponent);
}

GraphAxisScale DrawableScale(GraphAxisScale scale) {
    if (!std::isfinite(scale.minimum) || !std::isfinite(scale.maximum)) {
        scale.minimum = scale.logarithmic ? 1.0 : 0.0;
        scale.maximum = 10.0;
    }
    if (scale.minimum > scale.maximum) std::swap(scale.minimum, scale.maximum);
    if (scale.logarithmic) {
        if (scale.maximum <= 0.0) scale.maximum = 1.0;
        if (scale.minimum <= 0.0) scale.minimum = std::min(scale.maximum / 10.0, 1.0);
        if (scale.minimum >= scale.maximum) {
            scale.minimum /= 10.0;
            scale.maximum *= 10.0;
        }
    } else if (scale.minimum >= scale.maximum) {
        const double half = scale.minimum == 0.0 ? 1.0 : std::fabs(scale.minimum) * 0.1;
        scale.minimum -= half;
        scale.maximum += half;
    }
    return scale;
}

GraphAxisScale RoundedScale(GraphAxisScale scale) {
    scale = DrawableScale(scale);
    if (scale.logarithmic) {
        scale.minimum = std::pow(10.0, std::floor(std::log10(scale.minimum) + 1e-9));
        scale.maximum = std::pow(10.0, std::ceil(std::log10(scale.maximum) - 1e-9));
        if (scale.minimum >= scale.maximum) scale.maximum = scale.minimum * 10.0;
    } else {
        const double step = NiceStep(scale.maximum - scale.minimum, 6);
        scale.minimum = std::floor(scale.minimum / step + 1e-9) * step;
        scale.maximum = std::ceil(scale.maximum / step - 1e-9) * step;
    }
    return scale;
}

std::vector<GraphTick> AxisTicks(const GraphAxisScale& given, int targetCount) {
    const GraphAxisScale scale = DrawableScale(given);
    std::vector<GraphTick> ticks;
    if (scale.logarithmic) {
        const double low = std::log10(scale.minimum);
        const double high = std::log10(scale.maximum);
        // Many decades: label every second or fifth so labels stay apart.
        const int stride = std::max(1, static_cast<int>(std::ceil((high - low) / 12.0)));
        for (int e = static_cast<int>(std::ceil(low - 1e-9));
             e <= static_cast<int>(std::floor(high + 1e-9)); e += stride)
            ticks.push_back({static_cast<double>(e), FormatLogAxisNumber(std::pow(10.0, e))});
        return ticks;
    }
    const double step = NiceStep(scale.maximum - scale.minimum, targetCount);
    for (double k = std::ceil(scale.minimum / step - 1e-9); k * step <= scale.maximum + step * 1e-9;
         k += 1.0) {
        const double value = std::fabs(k) < 1e-12 ? 0.0 : k * step;
        ticks.push_back({value, FormatLinearAxisNumber(value)});
        if (ticks.size() > 100) break; // never on a drawable scale; guards a degenerate step
    }
    return ticks;
}

double PlottedPosition(const GraphAxisScale& scale, double value) {
    if (!scale.logarithmic) return value;
    return value > 0.0 ? std::log10(value) : -HUGE_VAL;
}

} // namespace varnex::ui
