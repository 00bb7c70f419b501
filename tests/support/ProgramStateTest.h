#pragma once

#include <gtest/gtest.h>

#include "support/ScriptedRandomSource.h"

namespace varnex::test {

// A test that begins and ends with a fresh program's state (random stream,
// iteration count, identity counter, file version, translations), so that
// no test sees what another left behind, whatever order they run in.
class ProgramStateTest : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramState(); }
    void TearDown() override { ResetProgramState(); }
};

} // namespace varnex::test
