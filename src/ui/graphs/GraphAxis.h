#pragma once

#include <string>
#include <vector>

namespace varnex::ui {

// A tick of a graph axis: its position in plotted units (log10 of the value
// on a logarithmic axis) and its label.
struct GraphTick {
    double position = 0.0;
    std::string label;
};

// The range and scale of one graph axis, in data units.
struct GraphAxisScale {
    double minimum = 0.0;
    double maximum = 1.0;
    bool logarithmic = false;
};

// "#,##0.0##": thousands separated by commas, at least one and at most
// three decimals (2 -> "2.0", 1234.5678 -> "1,234.568").
std::string FormatLinearAxisNumber(double value);
// Scientific notation as plotting programs write it: a whole decade as "1e-2",
// other values with a one-decimal mantissa (1500 -> "1.5e3").
std::string FormatLogAxisNumber(double value);

// A range that can be drawn: on a log axis both ends positive (values at or
// below 0 cannot be shown), and never an empty span.
GraphAxisScale DrawableScale(GraphAxisScale scale);
// The span rounded out to whole steps (linear) or whole decades (log), so
// that both ends carry a label: the lowest decade is always labelled.
GraphAxisScale RoundedScale(GraphAxisScale scale);

// The ticks of a drawable scale: steps of 1, 2 or 5 times a power of ten
// (about `targetCount` of them) or one per decade, each inside the range.
std::vector<GraphTick> AxisTicks(const GraphAxisScale& scale, int targetCount = 6);

// A data value in plotted units of the axis.
double PlottedPosition(const GraphAxisScale& scale, double value);

} // namespace varnex::ui
