#pragma once

#include <string>

namespace varnex {
class Project;
}

namespace varnex::test {

// Fails the current test where two projects differ in anything a project
// file stores: the model (through its JSON form), every input's identity,
// distribution record and carried values, the correlations by identity and,
// when `results` is set, every input's samples and every stored result
// vector's values (without results the second project must hold none).
void ExpectSameStoredProject(const Project& expected, const Project& actual, bool results);

// The number of values in every stored result vector and every input's
// samples of the project, summed: zero when it holds no results.
std::size_t StoredResultValues(const Project& project);

} // namespace varnex::test
