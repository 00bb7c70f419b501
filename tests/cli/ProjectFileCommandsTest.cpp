// Project files through the command-line tool: a run saved with its results
// (`run --output`), its statistics read back (`stats`), conversion between
// the project file and the JSON form (`convert`), and `.vnx` projects read
// wherever a command reads a project.

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "support/ProgramRun.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

using test::ReadFileBytes;
using test::RunProgram;

const std::string examples = VARNEX_SOURCE_DIR "/examples/";
const std::string petrolStation = examples + "level3-petrol-station.json";

// The statistics table of a run's standard output, without the correlation
// block that follows it after an empty line.
std::string TableOf(const std::string& out) {
    const std::size_t end = out.find("\n\n");
    return end == std::string::npos ? out : out.substr(0, end + 1);
}

// Runs the tool in a child whose files may not grow beyond `bytes` (as on a
// full disk) and returns its exit code.
int RunWithFileSizeLimit(const std::vector<std::string>& arguments, rlim_t bytes) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, bytes};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(RunProgram("varnex-cli", arguments).exitCode);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

TEST(ProjectFileCommands, StatsOfTheSavedRunEqualThoseTheRunPrinted) {
    test::TempDirectory dir;
    const std::string saved = dir.File("petrol.vnx");
    const auto run =
        RunProgram("varnex-cli", {"run", petrolStation, "--quiet", "--iterations", "300",
                                  "--output", saved, "--stats-json", dir.File("run.json")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_FALSE(TableOf(run.out).empty());

    const auto table = RunProgram("varnex-cli", {"stats", saved});
    EXPECT_EQ(table.exitCode, 0) << table.err;
    EXPECT_EQ(table.out, TableOf(run.out));
    EXPECT_EQ(table.err, "");
    // Every statistic, recomputed from the stored vectors, to the last digit.
    const auto json = RunProgram("varnex-cli", {"stats", saved, "--json"});
    EXPECT_EQ(json.exitCode, 0) << json.err;
    EXPECT_EQ(json.out, ReadFileBytes(dir.File("run.json")));

    // A project file converted to a project file keeps its results ...
    ASSERT_EQ(RunProgram("varnex-cli", {"convert", saved, dir.File("copy.vnx")}).exitCode, 0);
    EXPECT_EQ(RunProgram("varnex-cli", {"stats", dir.File("copy.vnx")}).out, table.out);
    // ... and a run of the saved project gives the same numbers as that of
    // its JSON form.
    const auto again = RunProgram("varnex-cli", {"run", saved, "--quiet", "--iterations", "300"});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(again.out, run.out);
}

TEST(ProjectFileCommands, StatsWithoutValidResultsIsRefused) {
    test::TempDirectory dir;
    ASSERT_EQ(RunProgram("varnex-cli", {"run", petrolStation, "--quiet", "--iterations", "20",
                                        "--output", dir.File("with.vnx")})
                  .exitCode,
              0);
    ASSERT_EQ(RunProgram("varnex-cli", {"convert", dir.File("with.vnx"), dir.File("without.vnx"),
                                        "--without-results"})
                  .exitCode,
              0);
    ASSERT_EQ(
        RunProgram("varnex-cli", {"convert", petrolStation, dir.File("fromjson.vnx")}).exitCode, 0);
    for (const std::string& path :
         {dir.File("without.vnx"), dir.File("fromjson.vnx"), petrolStation}) {
        const auto r = RunProgram("varnex-cli", {"stats", path});
        EXPECT_EQ(r.exitCode, 1) << path;
        EXPECT_EQ(r.out, "") << path;
        EXPECT_EQ(r.err, "no results: run the project first\n") << path;
    }
    EXPECT_LT(ReadFileBytes(dir.File("without.vnx")).size(),
              ReadFileBytes(dir.File("with.vnx")).size() / 4);

    // A damaged or missing project file is reported by name, as a JSON one is.
    test::WriteFileBytes(dir.File("damaged.vnx"),
                         ReadFileBytes(dir.File("with.vnx")).substr(0, 100));
    for (const std::string& path : {dir.File("damaged.vnx"), dir.File("missing.vnx")}) {
        for (const char* command : {"stats", "validate", "run"}) {
            std::vector<std::string> arguments{command, path};
            if (std::string(command) == "run") arguments.push_back("--quiet");
            const auto r = RunProgram("varnex-cli", arguments);
            EXPECT_EQ(r.exitCode, 2) << command << " " << path;
            EXPECT_EQ(r.err.rfind("varnex-cli: cannot read " + path + "\n  ", 0), 0u) << r.err;
        }
    }
}

TEST(ProjectFileCommands, JsonThroughAProjectFileAndBackIsUnchanged) {
    for (const char* name :
         {"hand-check-level1.json", "level1-gasworks.json", "level2-solvent-soakaway.json",
          "level3-petrol-station.json", "level3a-landfill.json", "level3-gasworks-chalk.json"}) {
        SCOPED_TRACE(name);
        const std::string original = examples + name;
        Project project;
        std::vector<std::string> problems;
        ASSERT_TRUE(LoadProjectJsonFile(original, project, problems));
        const std::string expected = WriteProjectJson(project);
        const std::string originalBytes = ReadFileBytes(original);

        test::TempDirectory dir;
        ASSERT_EQ(RunProgram("varnex-cli", {"convert", original, dir.File("p.vnx")}).exitCode, 0);
        const auto back =
            RunProgram("varnex-cli", {"convert", dir.File("p.vnx"), dir.File("back.json")});
        ASSERT_EQ(back.exitCode, 0) << back.err;
        EXPECT_EQ(ReadFileBytes(dir.File("back.json")), expected);
        EXPECT_EQ(ReadFileBytes(original), originalBytes);
    }
}

TEST(ProjectFileCommands, AFailedWriteLeavesTheOldFileAndTheInput) {
    test::TempDirectory dir;
    const std::string old = "the old file's bytes";
    const std::string input = dir.File("input.json");
    test::WriteFileBytes(input, ReadFileBytes(petrolStation));
    for (const std::string name : {"out.vnx", "out.json", "run.vnx", "stats.json"}) {
        SCOPED_TRACE(name);
        const std::string out = dir.File(name);
        test::WriteFileBytes(out, old);
        std::vector<std::string> arguments{"convert", input, out};
        if (name == "run.vnx")
            arguments = {"run", input, "--quiet", "--iterations", "50", "--output", out};
        if (name == "stats.json")
            arguments = {"run", input, "--quiet", "--iterations", "50", "--stats-json", out};
        EXPECT_EQ(RunWithFileSizeLimit(arguments, 2048), 1);
        EXPECT_EQ(ReadFileBytes(out), old);
        EXPECT_EQ(ReadFileBytes(input), ReadFileBytes(petrolStation));
    }
    // The folder holds no leftover temporary file.
    EXPECT_EQ(
        test::FileNamesIn(dir.Path()),
        (std::vector<std::string>{"input.json", "out.json", "out.vnx", "run.vnx", "stats.json"}));

    // A folder that cannot exist (its name is a file's): the target named,
    // and why, in the system's words, on a line of its own.
    const std::string below = dir.File("out.json") + "/p";
    const std::vector<std::vector<std::string>> writes = {
        {"convert", input, below + ".vnx"},
        {"convert", input, below + ".json"},
        {"run", input, "--quiet", "--iterations", "20", "--stats-json", below + ".json"},
    };
    for (const std::vector<std::string>& arguments : writes) {
        const auto r = RunProgram("varnex-cli", arguments);
        EXPECT_EQ(r.exitCode, 1) << arguments.back();
        EXPECT_NE(r.err.find(arguments.back() + "\nNot a directory\n"), std::string::npos) << r.err;
    }

    // The input named as the output, by any name, is refused before anything is written.
    ::symlink(input.c_str(), dir.File("link.json").c_str());
    for (const std::string& same :
         {input, dir.File("link.json"), dir.Path().string() + "/./input.json"}) {
        EXPECT_EQ(RunProgram("varnex-cli", {"convert", input, same}).exitCode, 2) << same;
        EXPECT_EQ(ReadFileBytes(input), ReadFileBytes(petrolStation));
    }
}

TEST(ProjectFileCommands, RunSavesOnlyASuccessfulRunToAProjectFileName) {
    test::TempDirectory dir;
    // Only a project file name is accepted, so nothing is written as "unnamed".
    for (const std::string& name : {std::string("unnamed"), dir.File("out.json")}) {
        const auto r =
            RunProgram("varnex-cli", {"run", petrolStation, "--quiet", "--output", name});
        EXPECT_EQ(r.exitCode, 2) << name;
        EXPECT_FALSE(std::filesystem::exists(name)) << name;
    }
    // An invalid project runs nothing and saves nothing.
    const auto invalid = RunProgram("varnex-cli", {"run", examples + "invalid-level3.json",
                                                   "--quiet", "--output", dir.File("invalid.vnx")});
    EXPECT_EQ(invalid.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.File("invalid.vnx")));
    // A run of no iterations still succeeds and is saved.
    const auto none = RunProgram("varnex-cli", {"run", petrolStation, "--quiet", "--iterations",
                                                "0", "--output", dir.File("n.VNX")});
    EXPECT_EQ(none.exitCode, 0) << none.err;
    EXPECT_TRUE(std::filesystem::exists(dir.File("n.VNX")));
}

} // namespace
} // namespace varnex
