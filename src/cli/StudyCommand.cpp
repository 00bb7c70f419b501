#include "cli/StudyCommand.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "base/NumberText.h"
#include "base/OutputTransaction.h"
#include "cli/CsvTable.h"
#include "cli/InterruptGuard.h"
#include "cli/ProjectInput.h"
#include "model/Project.h"
#include "persist/ProjectJsonEdit.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"

namespace varnex::cli {

namespace {

// The run's failure message, and a stop on Ctrl-C.
class StudyRunObserver : public RunObserver {
public:
    void Failed(const std::string& message) override { failure = message; }
    bool StopRequested() override { return InterruptGuard::Requested(); }
    std::string failure;
};

bool Blank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

// A whole number cell ("40"); false for anything else.
bool WholeNumber(const std::string& cell, long long& value) {
    const JsonEditValue typed = JsonEditValue::OfCell(cell);
    if (typed.kind != JsonEditValue::Kind::integer) return false;
    value = typed.integer;
    return true;
}

// "A-B" or "A": the table lines to run; false for anything else.
bool ParseRows(const std::string& text, int& first, int& last) {
    const std::size_t dash = text.find('-');
    long long a = 0, b = 0;
    if (!WholeNumber(text.substr(0, dash), a)) return false;
    b = a;
    if (dash != std::string::npos && !WholeNumber(text.substr(dash + 1), b)) return false;
    if (a < 1 || b < a || b > 1000000000) return false;
    first = static_cast<int>(a);
    last = static_cast<int>(b);
    return true;
}

std::string ReadFile(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return std::string();
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

StudyRecord Failure(const std::string& scenario, int row, const std::string& message) {
    StudyRecord record;
    record.scenario = scenario;
    record.row = row;
    record.error = message;
    return record;
}

} // namespace

StudyCommand::StudyCommand(CLI::App& parent)
    : command_(parent.add_subcommand(
          "study", "Run the scenarios of a table as variants of a base project and collect "
                   "statistics of each")) {
    command_
        ->add_option("SCENARIOS", scenarios_,
                     "Scenario table (CSV): a name column, JSON pointer columns, optional "
                     "iterations and seed")
        ->required();
    command_->add_option("--project", project_, "The base project (.vnx or .json)")->required();
    command_
        ->add_option("--outputs", outputs_,
                     "Statistics to collect, e.g. exceedance,p95,dilutedConcentration:mean")
        ->required();
    command_->add_option("--csv", csv_, "Write the table to this file (default: standard output)");
    command_->add_option("--jobs", jobs_, "Scenarios run at once, in worker processes")
        ->check(CLI::Range(1, 256));
    command_
        ->add_option("--threads", threads_,
                     "Threads per scenario (default: every core with one job, else 1)")
        ->check(CLI::Range(0, 1024));
    command_->add_option("--seed", seed_, "Seed of a scenario without a seed column (default 1)");
    command_->add_option("--rows", rows_,
                         "Only the scenarios on these lines of the table, A-B or A (the header "
                         "is line 1)");
    command_->add_flag("--quiet", quiet_, "No progress lines");
}

std::vector<StudyRecord> StudyCommand::RunScenario(const Project& base, int baseIterations,
                                                   const CsvTable& table, std::size_t index,
                                                   const std::vector<StudyOutput>& outputs,
                                                   int threads) const {
    const std::vector<std::string>& cells = table.records[index];
    const int line = table.lines[index];
    std::string name;
    for (std::size_t c = 0; c < table.header.size(); ++c)
        if (table.header[c] == "name") name = cells[c];
    const std::string where = "scenario '" + name + "' (row " + std::to_string(line) + ")";

    Project project(base);
    SetIterationCount(baseIterations);
    long long iterations = -1, seed = seed_;
    for (std::size_t c = 0; c < table.header.size(); ++c) {
        const std::string& column = table.header[c];
        if (Blank(cells[c])) continue;
        if (column == "iterations" || column == "seed") {
            long long value = 0;
            if (!WholeNumber(cells[c], value) || value < 0)
                return {Failure(name, line,
                                where + ", column " + column + ": " + column +
                                    " must be a whole number, not \"" + cells[c] + "\"")};
            (column == "iterations" ? iterations : seed) = value;
        } else if (column.rfind('/', 0) == 0) {
            const JsonEditResult edited =
                EditProjectJson(project, column, JsonEditValue::OfCell(cells[c]));
            if (!edited)
                return {Failure(name, line, where + ", column " + column + ": " + edited.message)};
        }
    }
    if (iterations == 0 || iterations > maximumIterationCount)
        return {Failure(name, line,
                        where + ", column iterations: from 1 to " +
                            std::to_string(maximumIterationCount))};
    if (iterations > 0) SetIterationCount(static_cast<int>(iterations));
    SetRandomSeed(static_cast<std::uint32_t>(seed));
    std::string report;
    if (!project.Validate(report)) return {Failure(name, line, where + ": " + report)};
    StudyRunObserver observer;
    RunOptions options;
    options.threads = threads;
    if (!RunSimulation(project, observer, options))
        return {Failure(name, line,
                        where + ": " +
                            (observer.failure.empty() ? "the run stopped" : observer.failure))};
    return CollectStudyOutputs(project, outputs, name, line);
}

int StudyCommand::Run() const {
    std::string error;
    const std::optional<std::vector<StudyOutput>> outputs = ParseStudyOutputs(outputs_, error);
    if (!outputs) {
        std::cerr << "varnex-cli study: " << error << "\n";
        return 2;
    }
    int firstRow = 0, lastRow = 0;
    if (!rows_.empty() && !ParseRows(rows_, firstRow, lastRow)) {
        std::cerr << "varnex-cli study: --rows takes A-B or A, line numbers of the table: " << rows_
                  << "\n";
        return 2;
    }
    Project base;
    if (!ReadProjectArgument(project_, base)) return 2;
    const int baseIterations = IterationCount();
    const std::string text = ReadFile(scenarios_, error);
    if (!error.empty()) {
        std::cerr << "varnex-cli study: " << error << "\n";
        return 2;
    }
    const std::optional<CsvTable> table = ParseCsv(text, error);
    if (!table) {
        std::cerr << "varnex-cli study: " << scenarios_ << ": " << error << "\n";
        return 2;
    }
    std::vector<std::string> problems;
    if (std::find(table->header.begin(), table->header.end(), "name") == table->header.end())
        problems.push_back("no 'name' column (one name per scenario)");
    for (const std::string& column : table->header)
        if (column != "name" && column != "iterations" && column != "seed" &&
            column.rfind('/', 0) != 0)
            problems.push_back("column '" + column +
                               "': the columns are name, iterations, seed and JSON pointers "
                               "starting with '/'");
    if (table->records.empty()) problems.push_back("no scenarios (only a header)");
    if (!problems.empty()) {
        for (const std::string& problem : problems)
            std::cerr << "varnex-cli study: " << scenarios_ << ": " << problem << "\n";
        return 2;
    }
    if (!csv_.empty() && !OutputTransaction::Check(csv_, error)) {
        std::cerr << "varnex-cli: " << error << "\n";
        return 1;
    }

    std::vector<std::size_t> chosen;
    for (std::size_t k = 0; k < table->records.size(); ++k)
        if (rows_.empty() || (table->lines[k] >= firstRow && table->lines[k] <= lastRow))
            chosen.push_back(k);
    const int jobs = std::max(1, std::min<int>(jobs_, static_cast<int>(chosen.size())));
    const int threads = threads_ >= 0 ? threads_ : (jobs == 1 ? 0 : 1);

    InterruptGuard guard;
    std::vector<std::string> lines(chosen.size());
    auto runOne = [&](std::size_t k) {
        std::string out;
        for (const StudyRecord& record :
             RunScenario(base, baseIterations, *table, chosen[k], *outputs, threads))
            out += StudyTableLine(record);
        return out;
    };
    if (jobs == 1) {
        for (std::size_t k = 0; k < chosen.size() && !InterruptGuard::Requested(); ++k) {
            if (!quiet_) std::cerr << "Scenario " << (k + 1) << " of " << chosen.size() << "\n";
            lines[k] = runOne(k);
        }
    } else {
        // Worker processes, each with its own copy of the engine's
        // program-wide values: worker w runs scenarios w, w + jobs, ...
        // and writes its lines, each scenario's lines after its index and
        // length, to a pipe the parent reads.
        std::vector<int> reads;
        std::vector<pid_t> workers;
        for (int w = 0; w < jobs; ++w) {
            int pipeEnds[2];
            if (pipe(pipeEnds) != 0) {
                std::cerr << "varnex-cli study: cannot start a worker: " << std::strerror(errno)
                          << "\n";
                return 1;
            }
            std::cout.flush();
            std::cerr.flush();
            const pid_t pid = fork();
            if (pid < 0) {
                std::cerr << "varnex-cli study: cannot start a worker: " << std::strerror(errno)
                          << "\n";
                return 1;
            }
            if (pid == 0) {
                close(pipeEnds[0]);
                FILE* out = fdopen(pipeEnds[1], "w");
                for (std::size_t k = static_cast<std::size_t>(w);
                     k < chosen.size() && !InterruptGuard::Requested();
                     k += static_cast<std::size_t>(jobs)) {
                    const std::string text = runOne(k);
                    std::fprintf(out, "%zu %zu\n", k, text.size());
                    std::fwrite(text.data(), 1, text.size(), out);
                    std::fflush(out);
                }
                std::fclose(out);
                _exit(InterruptGuard::Requested() ? 130 : 0);
            }
            close(pipeEnds[1]);
            reads.push_back(pipeEnds[0]);
            workers.push_back(pid);
        }
        std::size_t done = 0;
        for (int fd : reads) {
            FILE* in = fdopen(fd, "r");
            std::size_t k = 0, size = 0;
            while (std::fscanf(in, "%zu %zu\n", &k, &size) == 2 && k < lines.size()) {
                lines[k].resize(size);
                if (std::fread(lines[k].data(), 1, size, in) != size) break;
                if (!quiet_)
                    std::cerr << "Scenario " << ++done << " of " << chosen.size() << " done\n";
            }
            std::fclose(in);
        }
        for (pid_t pid : workers) waitpid(pid, nullptr, 0);
    }
    if (InterruptGuard::Requested()) {
        std::cerr << "varnex-cli: stopped; nothing written\n";
        return InterruptGuard::ExitCode();
    }

    std::string out = StudyTableHeader();
    bool failed = false;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (lines[k].empty()) {
            // A worker that ended without its lines (killed): say so.
            StudyRecord record = Failure("", table->lines[chosen[k]],
                                         "the worker running this scenario ended early");
            lines[k] = StudyTableLine(record);
        }
        out += lines[k];
        const std::size_t end = lines[k].find('\n');
        failed = failed || (end != std::string::npos && lines[k][end - 1] != ',');
    }
    if (!csv_.empty()) {
        OutputTransaction transaction;
        if (!transaction.Add(csv_, out, error, true) || !transaction.Commit(error)) {
            std::cerr << "varnex-cli: " << error << "\n";
            return 1;
        }
    } else {
        std::cout << out;
        std::cout.flush();
    }
    if (failed) std::cerr << "varnex-cli study: some scenarios failed; see the error column\n";
    return failed ? 1 : 0;
}

} // namespace varnex::cli
