#pragma once

// The bundled example projects as the window tests use them: loaded from
// their JSON form, or loaded and run by the engine on one thread with a
// small iteration count, so that result windows have something to show.

#include <QtGlobal>
#include <memory>
#include <string>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "stochastic/IterationCount.h"

namespace varnex::ui::test {

// Every example that runs (the deliberately invalid one left out).
inline const char* const runnableExamples[] = {
    "level1-gasworks.json", "level2-solvent-soakaway.json", "level3-gasworks-chalk.json",
    "level3-petrol-station.json", "level3a-landfill.json"};

inline std::unique_ptr<Project> LoadExample(const std::string& name) {
    auto project = std::make_unique<Project>();
    std::vector<std::string> problems;
    if (!LoadProjectJsonFile(std::string(VARNEX_SOURCE_DIR "/examples/") + name, *project,
                             problems))
        qFatal("cannot load example %s", name.c_str());
    return project;
}

inline std::unique_ptr<Project> RunExample(const std::string& name, int iterations) {
    std::unique_ptr<Project> project = LoadExample(name);
    SetIterationCount(iterations);
    RunObserver observer;
    RunOptions options;
    options.threads = 1;
    if (!RunSimulation(*project, observer, options)) qFatal("example %s did not run", name.c_str());
    return project;
}

} // namespace varnex::ui::test
