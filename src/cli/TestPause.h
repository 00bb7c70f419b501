#pragma once

#include <string>

namespace varnex::cli {

// A test hook: a test that must stop the program at one chosen moment (a
// stage of the run, between two outputs, in the middle of a file) sets the
// environment variable VARNEX_CLI_TEST_PAUSE to the name of that moment.
// There the program prints "varnex-cli: test pause at NAME" on standard
// error and waits, up to 30 seconds, for a stop signal, which the test then
// sends. Without the variable nothing happens. The moments: the stage names
// of a run ("Sampling", "Correlating Inputs", "Calculating", "Calculating
// Statistics"), "writing statistics" (the statistics file written, the
// project file not yet), "writing project" (part of the project file
// written), "committing" (every file written, none in place) and, for
// `plume` and `convert`, "writing".
class TestPause {
public:
    static void At(const std::string& moment);
    // Whether the variable names `moment`.
    static bool Chosen(const std::string& moment);
};

} // namespace varnex::cli
