#pragma once

#include <QString>

namespace varnex {
class StochasticParameter;
}

namespace varnex::ui {

// How an input reads in the panes and reports: its distribution text, or
// for an input never entered the word for that in the language in force.
// The stored and exchanged forms keep the program's own keyword.
QString InputText(const StochasticParameter& input);

} // namespace varnex::ui
