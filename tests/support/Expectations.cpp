#include "support/Expectations.h"

#include <gtest/gtest.h>

#include "base/Exception.h"

namespace varnex::test {

void ExpectError(const std::function<void()>& action, const std::string& message) {
    try {
        action();
        ADD_FAILURE() << "no Exception, expected \"" << message << "\"";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), message);
        EXPECT_TRUE(error.Display());
    }
}

ResultVector VectorOf(const std::vector<double>& values) {
    ResultVector vector;
    if (!values.empty()) vector.Prepare(values.size(), true);
    for (std::size_t i = 0; i < values.size(); ++i) vector.At(i) = values[i];
    return vector;
}

} // namespace varnex::test
