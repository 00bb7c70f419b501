#pragma once

#include <functional>
#include <string>
#include <vector>

#include "results/ResultVector.h"

namespace varnex::test {

// Fails the current test unless the action raises the shown calculation
// Exception with exactly this message.
void ExpectError(const std::function<void()>& action, const std::string& message);

// A result vector holding exactly these values.
ResultVector VectorOf(const std::vector<double>& values);

} // namespace varnex::test
