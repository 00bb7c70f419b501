#include "stochastic/DistributionMessages.h"

#include <mutex>
#include <vector>

#include "settings/Translate.h"
#include "stochastic/DistributionError.h"

namespace varnex {

namespace {

const char* const englishMessages[DistributionError::bitCount + 1] = {
    TranslatableText("None"),
    TranslatableText("Syntax Error"),
    TranslatableText("Incorrect number of arguments"),
    TranslatableText("Data missing"),
    TranslatableText("Minimum greater than maximum"),
    TranslatableText("Minimum greater than likely"),
    TranslatableText("Likely greater than maximum"),
    TranslatableText("Minimum less than minimum limit"),
    TranslatableText("Minimum greater than maximum limit"),
    TranslatableText("Likely less than minimum limit"),
    TranslatableText("Likely greater than maximum limit"),
    TranslatableText("Maximum less than minimum limit"),
    TranslatableText("Maximum greater than maximum limit"),
    TranslatableText("Number of trials less than or equal to zero"),
    TranslatableText("Probability less than or equal to zero"),
    TranslatableText("Probability greater than or equal to one"),
    TranslatableText("Mean less than minimum limit"),
    TranslatableText("Mean greater than maximum limit"),
    TranslatableText("Standard deviation less than or equal to zero"),
    TranslatableText("Mean less than or equal to zero"),
    TranslatableText("Number of defects less than or equal to zero"),
    TranslatableText("Bias equal to zero"),
    TranslatableText("Bias greater than one"),
    TranslatableText("Value less than minimum limit"),
    TranslatableText("Value greater than maximum limit"),
    TranslatableText("Infinite distribution range min > max"),
    TranslatableText("Value less than or equal to zero"),
    TranslatableText("Minimum Value = Maximum Value. Enter as single value"),
    TranslatableText("Bias less than zero"),
    TranslatableText("Number of trials greater than 32767"),
    TranslatableText("Limit is not a number"),
    TranslatableText("Unit factor out of range"),
    TranslatableText("Mean or standard deviation too large or too small for a lognormal draw"),
};

// Not an error of its own (every bit is taken) but a line after "Syntax
// Error" when a plain number is followed by a comma and a digit.
const char* const decimalSeparatorHint = TranslatableText("Use a point as the decimal separator");

std::mutex tableMutex;
std::vector<std::string> messageTable;
std::string hintText;

void BuildLocked() {
    messageTable.clear();
    for (const char* english : englishMessages) messageTable.push_back(Translate(english));
    hintText = Translate(decimalSeparatorHint);
}

} // namespace

void BuildDistributionMessageTable() {
    std::lock_guard lock(tableMutex);
    BuildLocked();
}

std::string DistributionMessage(int index) {
    std::lock_guard lock(tableMutex);
    if (messageTable.empty()) BuildLocked();
    if (index < 0 || index >= static_cast<int>(messageTable.size())) return std::string();
    return messageTable[static_cast<std::size_t>(index)];
}

std::string DecimalSeparatorHint() {
    std::lock_guard lock(tableMutex);
    if (messageTable.empty()) BuildLocked();
    return hintText;
}

bool MessageCarriesMinLimit(int bit) {
    return bit == 6 || bit == 8 || bit == 10 || bit == 15 || bit == 22;
}

bool MessageCarriesMaxLimit(int bit) {
    return bit == 7 || bit == 9 || bit == 11 || bit == 16 || bit == 23;
}

} // namespace varnex
