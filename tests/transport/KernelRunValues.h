#pragma once

// A whole run of a project file with a chosen advection-dispersion kernel,
// reduced to what the kernel tests compare: every result vector of the
// statistics set, by a name that tells it apart, with its values.

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "run/ResultStore.h"
#include "settings/SolverKernel.h"
#include "stochastic/IterationCount.h"
#include "support/ScriptedRandomSource.h"
#include "transport/TransportRunSupport.h"

namespace varnex::test {

struct KernelRunValues {
    std::vector<std::string> names;
    std::vector<std::vector<double>> values;
    std::vector<bool> concentration;
    // The kernel the run recorded with its results.
    std::optional<SolverKernel> kernel;
};

// Runs the JSON project at `path` from a fresh program state (the same
// random stream every time) with `iterations` iterations.
inline KernelRunValues RunWithKernel(const std::string& path, SolverKernel kernel, int threads,
                                     int iterations) {
    ResetProgramState();
    Project project;
    std::vector<std::string> problems;
    EXPECT_TRUE(LoadProjectJsonFile(path, project, problems)) << path;
    SetIterationCount(iterations);
    project.solverKernel = kernel;
    const RunResult run = RunProject(project, threads);
    EXPECT_TRUE(run.succeeded) << path << ": " << (run.failures.empty() ? "" : run.failures[0]);
    KernelRunValues result;
    result.kernel = project.resultsKernel;
    for (const ResultEntry& entry : StatisticsSet(project)) {
        result.names.push_back(entry.kind + " " + entry.source + " " + entry.contaminant + " " +
                               entry.pathway + " " + entry.receptor + " " + entry.vector->Label());
        result.values.push_back(entry.vector->Values());
        result.concentration.push_back(entry.concentration);
    }
    return result;
}

} // namespace varnex::test
