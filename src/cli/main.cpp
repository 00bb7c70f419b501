// varnex-cli: the headless front end of the Varnex engine, for scripted
// studies and end-to-end tests. Exit codes: 0 success, 1 the input was
// invalid or the work failed, 2 the command line was wrong.

#include <CLI/CLI.hpp>
#include <iostream>

#include "archive/FileVersion.h"
#include "cli/ConvertCommand.h"
#include "cli/ParseCommand.h"
#include "cli/PlumeCommand.h"
#include "cli/RunCommand.h"
#include "cli/SampleCommand.h"
#include "cli/SensitivityCommand.h"
#include "cli/StatsCommand.h"
#include "cli/StudyCommand.h"
#include "cli/ValidateCommand.h"

namespace {

constexpr int usageError = 2;

std::string VersionText() {
    const varnex::FileVersion v = varnex::ProgramVersion();
    return "varnex-cli " + std::to_string(v.major) + "." + std::to_string(v.minor) + "." +
           std::to_string(v.build) + "." + std::to_string(v.revision);
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app("Varnex: probabilistic assessment of contaminants reaching groundwater",
                 "varnex-cli");
    app.set_version_flag("--version", VersionText());
    app.require_subcommand(1);
    varnex::cli::ParseCommand parse(app);
    varnex::cli::SampleCommand sample(app);
    varnex::cli::ValidateCommand validate(app);
    varnex::cli::RunCommand run(app);
    varnex::cli::StatsCommand stats(app);
    varnex::cli::ConvertCommand convert(app);
    varnex::cli::PlumeCommand plume(app);
    varnex::cli::SensitivityCommand sensitivity(app);
    varnex::cli::StudyCommand study(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return usageError;
    }

    try {
        if (parse.Chosen()) return parse.Run();
        if (sample.Chosen()) return sample.Run();
        if (validate.Chosen()) return validate.Run();
        if (run.Chosen()) return run.Run();
        if (stats.Chosen()) return stats.Run();
        if (convert.Chosen()) return convert.Run();
        if (plume.Chosen()) return plume.Run();
        if (sensitivity.Chosen()) return sensitivity.Run();
        if (study.Chosen()) return study.Run();
    } catch (const std::exception& e) {
        std::cerr << "varnex-cli: " << e.what() << "\n";
        return 1;
    }
    return usageError;
}
