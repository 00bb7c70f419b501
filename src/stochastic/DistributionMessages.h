#pragma once

#include <string>

namespace varnex {

// The table of distribution error messages: entry 0 is "None", entry k + 1
// the message of error bit k. It is built once at start-up, after the
// language is loaded, with every text passed through the translation table;
// building it again picks up a new language.
void BuildDistributionMessageTable();

// Entry `index` of the table (built on first use if start-up has not built
// it); empty for an index out of range.
std::string DistributionMessage(int index);

// The line that follows "Syntax Error" for a number typed with a decimal
// comma ("0,25"), translated like the table.
std::string DecimalSeparatorHint();

// True for the error bits whose message is followed by the minimum limit,
// respectively the maximum limit, of the input.
bool MessageCarriesMinLimit(int bit);
bool MessageCarriesMaxLimit(int bit);

} // namespace varnex
