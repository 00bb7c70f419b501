#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/ActiveProcesses.h"
#include "model/Aquifer.h"
#include "model/Contaminant.h"
#include "model/PlumeMapChoices.h"
#include "model/PlumeSettings.h"
#include "model/ProjectDetails.h"
#include "model/Receptor.h"
#include "model/SamplingMethod.h"
#include "model/SimulationLevel.h"
#include "model/SimulationSettings.h"
#include "model/SitePlan.h"
#include "model/Source.h"
#include "model/StandardSet.h"
#include "model/ValidationProblem.h"
#include "settings/SolverKernel.h"
#include "stochastic/CorrelationList.h"

namespace varnex {

// The single in-memory model of an assessment. It owns every entity by value;
// entities refer to each other by index (a source's attached receptor, a
// pathway property's key) or by contaminant identifier (inventory entries).
class Project {
public:
    static constexpr int maximumSources = 30;
    // Receptors and time slices multiply every result a run keeps (per
    // source, contaminant and iteration); these bounds keep the largest
    // project within reach of a workstation's memory (docs/performance.md)
    // and every reader holds a file or document to them.
    static constexpr int maximumReceptors = 100;
    static constexpr int maximumTimeSlices = 100;
    static constexpr double firstTimeSliceYear = 1.0;
    static constexpr double lastTimeSliceYear = 1000000.0;
    // Standard selections: 0 "No Standard", 1..3 the sets of the standards
    // list, 4 "User Defined".
    static constexpr int noStandardSelection = 0;
    static constexpr int userDefinedStandardSelection = 4;

    Project();

    // A new project's state: no sources, receptors, contaminants or
    // correlations, default settings, 1001 iterations.
    void Reset();
    // Relabels every input through the translation table (and restores the
    // unit factors, which files do not store); values are not touched.
    void ApplyNames();
    // Reset, the program's own file version, the contaminants and standards
    // of the standards files in `infoDirectory` (the program's Info folder
    // when empty), and the file path "unnamed". Raises the calculation
    // Exception when the standards files cannot be read.
    void NewProject(const std::string& infoDirectory = std::string());
    // Exactly one inventory entry per contaminant of the project, in the
    // contaminant list's order of first appearance, and one pathway property
    // record per pathway in every entry.
    void SyncInventory(Source& source);
    void SyncAllInventories();

    SimulationSettings Settings() const;

    // Model operations. Each refusal sets `errorText` and changes nothing.
    bool AddSource(Source source, std::string& errorText, bool withReceptor);
    bool AddReceptor(const Receptor& receptor, std::string& errorText);
    // Appends "New species" with the next user identifier; returns its index.
    std::size_t AddContaminant();
    bool DuplicateSource(std::size_t index, std::string& errorText);
    void RemoveSource(std::size_t index);
    bool RemoveReceptor(std::size_t index, std::string& errorText);
    // Removing a contaminant clears the parent of every contaminant formed
    // from it (DecayChain::Daughters names them, for the form to say so).
    bool RemoveContaminant(std::size_t index, std::string& errorText);
    // Appends a pathway at the bottom of the source's layers.
    void AddPathway(std::size_t sourceIndex);
    bool RemovePathway(std::size_t sourceIndex, std::size_t pathwayIndex, std::string& errorText);

    // Standards (Info/Regs.dat and the data files it names).
    void LoadStandards(const std::string& infoDirectory = std::string());
    void ApplyStandards();

    // The check before a run: true when the project can run; otherwise the
    // report lists every problem (the UI shows it under "Validation Errors:").
    bool Validate(std::string& report);
    // The same, with each problem also listed on its own with the entity and
    // field it concerns; the report is the same text.
    bool Validate(std::string& report, std::vector<ValidationProblem>& problems);

    const Contaminant* FindContaminant(int identifier) const;

    // Whether a run computes this inventory entry: an active entry, and in
    // plume mode only one of the plume contaminant.
    bool EntryTakesPart(const SourceContaminant& entry) const;
    // Whether a run computes contaminant `index` (in plume mode only the
    // plume contaminant).
    bool ContaminantTakesPart(std::size_t index) const;

    std::string filePath;
    std::string dateSaved; // "%Y-%m-%d %H:%M:%S"
    ProjectDetails details;
    std::vector<double> timeSlices; // years, ascending
    int simulationLevel = 1;
    Aquifer aquifer;
    std::vector<Source> sources;
    std::vector<Receptor> receptors;
    std::vector<Contaminant> contaminants;
    CorrelationList correlations;
    ActiveProcesses processes;
    SitePlan sitePlan;
    int standardSelection = noStandardSelection;
    PlumeSettings plume;
    std::vector<StandardSet> standardSets;
    // How the run samples its inputs; kept in the project file's trailing
    // block and in the JSON form.
    SamplingMethod samplingMethod = SamplingMethod::monteCarlo;
    // The coordinate reference system of the site plan, as an EPSG code:
    // plan coordinates are metres in it. 0: none given (a local plan). Maps
    // written for a GIS carry it; kept in the project file's trailing block
    // and in the JSON form.
    int coordinateSystemEpsg = 0;
    // The user's choices for the plume map (central values or probability,
    // the quantity drawn, the percentiles computed); kept like the above.
    PlumeMapChoices plumeMap;

    // Run counters, rebuilt by every run: per contaminant, the iterations in
    // which its leachate was cut to its solubility in some source; per
    // source, the iterations whose scaled layer thicknesses left their range.
    std::vector<int> solubilityLimitedCount;
    std::vector<int> thicknessOutOfRangeCount;
    // What the run's correlating stage did with each correlation record, in
    // key order, with the rank correlation it reached.
    std::vector<CorrelationOutcome> correlationOutcomes;
    // Latin hypercube runs only: per input whose samples had to be drawn
    // again at random to keep a pair physically consistent, how many of its
    // N values are such plain draws (not stratified), in sampling order.
    struct RedrawnInput {
        std::string owner; // the source or pathway
        std::string label; // the input's label
        int count = 0;
    };
    std::vector<RedrawnInput> redrawnInputs;
    // True while the result vectors hold the results of the current model:
    // set by a successful run, cleared by a failed or stopped run and by any
    // change of what a run depends on.
    bool resultsValid = false;
    // True while, besides the results, every per-iteration value of the last
    // run is still in memory (the samples, source points, flows and travel
    // times): set by a successful run, cleared with resultsValid. Results
    // read from a file have none of them, so nothing that must repeat the
    // run's iterations (the probability map) can use them.
    bool runStateInMemory = false;
    void InvalidateResults() {
        resultsValid = false;
        runStateInMemory = false;
    }

    // The advection-dispersion kernel the run and the plume use: a choice of
    // the program (its settings, or the command line), not of the project,
    // so it is neither saved nor read with it.
    SolverKernel solverKernel = SolverKernel::fast;
    // The kernel that made the result vectors, while resultsValid: set by a
    // successful run, kept in the project file beside the results, so that
    // every report of them can say how they were computed. Empty for results
    // read from a file that does not record it (written before there was a
    // choice: those came from the inverting kernel).
    std::optional<SolverKernel> resultsKernel;

private:
    void RemoveCorrelationsOf(const std::vector<StochasticParameter*>& parameters);
};

} // namespace varnex
