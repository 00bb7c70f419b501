// What a command's output names decides how it is written: a regular file
// is replaced whole, but a device, a FIFO or the program's own standard
// output is written into and stays what it was; a read-only file and a
// symbolic link to a missing file are refused before anything is computed
// or written.

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "support/ChildProgram.h"
#include "support/ProgramRun.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

using test::ReadFileBytes;
using test::RunProgram;

const std::string handCheck = VARNEX_SOURCE_DIR "/examples/hand-check-level1.json";
const std::string petrolStation = VARNEX_SOURCE_DIR "/examples/level3-petrol-station.json";

std::vector<std::string> RunWithStats(const std::string& statsPath) {
    return {"run", handCheck, "--quiet", "--iterations", "5", "--stats-json", statsPath};
}

mode_t TypeOf(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}

// The statistics document at the start of `text`, which the summary table
// follows.
nlohmann::json LeadingStatistics(const std::string& text) {
    const std::size_t table = text.find("\nResult ");
    EXPECT_NE(table, std::string::npos) << text.substr(0, 200);
    return nlohmann::json::parse(text.substr(0, table), nullptr, false);
}

TEST(OutputTargets, DevicesFifosAndStandardOutputAreWrittenIntoNeverReplaced) {
    // As root, a rename over /dev/null would replace the system's device.
    const auto null = RunProgram("varnex-cli", RunWithStats("/dev/null"));
    EXPECT_EQ(null.exitCode, 0) << null.err;
    EXPECT_EQ(TypeOf("/dev/null"), S_IFCHR);

    test::TempDirectory dir;
    const std::string fifo = dir.File("stats.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    // Opened without waiting for a writer, and read with a time limit, so
    // that a program that replaces the FIFO instead fails the test rather
    // than leaving it waiting for ever.
    const int descriptor = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(descriptor, 0);
    std::thread reader([&] {
        char chunk[4096];
        for (;;) {
            pollfd ready{descriptor, POLLIN, 0};
            if (::poll(&ready, 1, 30000) <= 0) break;
            const ssize_t count = ::read(descriptor, chunk, sizeof chunk);
            if (count == 0 || (count < 0 && errno != EAGAIN && errno != EINTR)) break;
            if (count > 0) received.append(chunk, static_cast<std::size_t>(count));
        }
        ::close(descriptor);
    });
    const auto throughFifo = RunProgram("varnex-cli", RunWithStats(fifo));
    reader.join();
    EXPECT_EQ(throughFifo.exitCode, 0) << throughFifo.err;
    EXPECT_EQ(TypeOf(fifo), S_IFIFO);
    const nlohmann::json fromFifo = nlohmann::json::parse(received, nullptr, false);
    ASSERT_TRUE(fromFifo.is_array()) << received.substr(0, 200);
    EXPECT_EQ(fromFifo.at(0).at("n"), 5);
    // Nothing but the FIFO was made in its folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    // Standard output into a pipe: the statistics, then the table.
    test::ChildProgram piped("varnex-cli", RunWithStats("/dev/stdout"), {});
    EXPECT_EQ(test::DescribeStatus(piped.Wait()), "exit 0") << piped.Err();
    EXPECT_EQ(LeadingStatistics(piped.Out()), fromFifo);

    // Standard output into a file: the file keeps the table as well, which
    // a rename over it would have cut off from the program.
    const auto redirected = RunProgram("varnex-cli", RunWithStats("/dev/stdout"));
    EXPECT_EQ(redirected.exitCode, 0) << redirected.err;
    EXPECT_EQ(LeadingStatistics(redirected.out), fromFifo);
    EXPECT_NE(redirected.out.find("\nResult "), std::string::npos);

    // Standard output closed by its reader: the other output is not
    // replaced and leaves no temporary.
    test::WriteFileBytes(dir.File("site.vnx"), "the old project\n");
    test::ChildProgram closed("varnex-cli",
                              {"run", petrolStation, "--quiet", "--iterations", "50",
                               "--stats-json", "/dev/stdout", "--output", dir.File("site.vnx")},
                              {});
    closed.CloseOutput();
    EXPECT_EQ(test::DescribeStatus(closed.Wait()), "exit " + std::to_string(128 + SIGPIPE))
        << closed.Err();
    EXPECT_EQ(ReadFileBytes(dir.File("site.vnx")), "the old project\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

TEST(OutputTargets, ReadOnlyOutputsAndLinksToMissingFilesAreRefusedBeforeAnyWrite) {
    test::TempDirectory dir;
    const std::string old = "the old bytes\n";
    const std::string readOnlyStats = dir.File("ro.json"), readOnlyProject = dir.File("ro.vnx");
    for (const std::string& path : {readOnlyStats, readOnlyProject}) {
        test::WriteFileBytes(path, old);
        ::chmod(path.c_str(), 0444);
    }
    // Decided by the mode, so the refusal holds for root too.
    const std::vector<std::pair<std::vector<std::string>, std::string>> refusals = {
        {{"run", petrolStation, "--quiet", "--iterations", "5", "--stats-json", readOnlyStats,
          "--output", dir.File("new.vnx")},
         readOnlyStats},
        {{"run", petrolStation, "--quiet", "--iterations", "5", "--stats-json",
          dir.File("new.json"), "--output", readOnlyProject},
         readOnlyProject},
        {{"convert", petrolStation, readOnlyProject}, readOnlyProject},
        {{"convert", petrolStation, readOnlyStats}, readOnlyStats},
        {{"plume", VARNEX_SOURCE_DIR "/tests/transport/data/level3-receptors.json", "--contaminant",
          "Benzene", "--time", "20", "--spacing", "10", "--quiet", "--csv", readOnlyStats},
         readOnlyStats},
    };
    for (const auto& [arguments, target] : refusals) {
        const auto r = RunProgram("varnex-cli", arguments);
        EXPECT_EQ(r.exitCode, 1) << target;
        EXPECT_EQ(r.err, "varnex-cli: " + target + " is read-only; nothing was written\n");
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(ReadFileBytes(readOnlyStats), old);
    EXPECT_EQ(ReadFileBytes(readOnlyProject), old);
    EXPECT_FALSE(std::filesystem::exists(dir.File("new.vnx")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("new.json")));

    // A link to a missing file would have the program make the folders the
    // link names.
    const std::string dangling = dir.File("dangling.vnx");
    const std::filesystem::path nowhere = dir.Path() / "nowhere";
    ASSERT_EQ(::symlink((nowhere / "deeper" / "site.vnx").c_str(), dangling.c_str()), 0);
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"run", petrolStation, "--quiet", "--iterations", "5", "--output",
                                   dangling},
          std::vector<std::string>{"run", petrolStation, "--quiet", "--iterations", "5",
                                   "--stats-json", dangling},
          std::vector<std::string>{"convert", petrolStation, dangling}}) {
        const auto r = RunProgram("varnex-cli", arguments);
        EXPECT_EQ(r.exitCode, 1) << arguments[1];
        EXPECT_EQ(r.err, "varnex-cli: " + dangling +
                             " is a symbolic link to a missing file; nothing was written\n");
    }
    EXPECT_FALSE(std::filesystem::exists(nowhere));
    EXPECT_TRUE(std::filesystem::is_symlink(dangling));

    // A link to an existing file is followed and stays a link.
    const std::string real = dir.File("real.json"), link = dir.File("link.json");
    test::WriteFileBytes(real, old);
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    const auto followed = RunProgram("varnex-cli", RunWithStats(link));
    EXPECT_EQ(followed.exitCode, 0) << followed.err;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(nlohmann::json::parse(ReadFileBytes(real), nullptr, false).is_array());
}

} // namespace
} // namespace varnex
