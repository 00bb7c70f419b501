#pragma once

#include <string>
#include <vector>

namespace varnex {

class Contaminant;
class PathwayContaminant;
class Project;
class Source;
class SourceContaminant;
class StochasticParameter;
class UnsaturatedPathway;

// The one description of the inputs a run at the project's simulation level,
// with its active processes and options, uses: the check before a run tests
// exactly these, and input correlation and the sensitivity analysis consider
// exactly these, so the three can never disagree. Each list is in the order
// in which the check reports its inputs.
class RunInputs {
public:
    explicit RunInputs(Project& project);

    // The source's own inputs (soil, thickness, infiltration, organic carbon).
    std::vector<StochasticParameter*> SourceInputs(Source& source) const;
    // The inputs of an active inventory entry (source term); none for an
    // inactive entry.
    std::vector<StochasticParameter*> EntryInputs(const Source& source,
                                                  SourceContaminant& entry) const;
    // The entry's properties in one pathway (unsaturated zone sorption and
    // decay), at levels 2 and 3 for an active entry.
    std::vector<StochasticParameter*> EntryPathwayInputs(const SourceContaminant& entry,
                                                         PathwayContaminant& record) const;
    // A pathway's inputs for its flow model, at levels 2 and 3.
    std::vector<StochasticParameter*> PathwayInputs(const Source& source,
                                                    std::size_t pathwayIndex) const;
    // "Overall Unsaturated Zone Thickness [m]" at levels 2 and 3.
    std::vector<StochasticParameter*> UnsaturatedZoneInputs(Source& source) const;
    // The aquifer's inputs, when the aquifer is computed at all.
    std::vector<StochasticParameter*> AquiferInputs() const;
    bool AquiferComputed() const;
    // Whether a contaminant's koc is needed for a partition coefficient of a
    // source, a pathway or (with a background concentration) the aquifer.
    bool KocNeeded(const Contaminant& contaminant) const;
    // The contaminants whose aquifer properties the run uses: those an active
    // inventory entry names (in a project without sources, those present as
    // background), in contaminant order.
    std::vector<Contaminant*> ContaminantsInAquifer() const;
    // A contaminant's aquifer inputs.
    std::vector<StochasticParameter*> ContaminantAquiferInputs(Contaminant& contaminant) const;

    // The decay chain's input of a contaminant: its yield, when it has a
    // parent and the run degrades something where chains act (the
    // unsaturated zone at levels 2 and 3, the aquifer at levels 3 and 3a;
    // DecayChain::ChainsAct); otherwise none. The run samples it and the
    // sensitivity analysis lists it for the daughter's results. A yield
    // without an identity yet is given one (Contaminant::NumberYield).
    std::vector<StochasticParameter*> ChainInputs(Contaminant& contaminant) const;

    // Every input the run uses, each once; the chain inputs come after
    // every other, so that a project without parents lists what it always
    // listed, in the same order.
    std::vector<StochasticParameter*> All() const;

    // The soil check kind of a source: 0 when no active entry is measured as
    // total concentration in soil; 2 when one of those is of a species with
    // Henry's law (the air phase applies); else 1.
    int SoilKind(const Source& source) const;
    // The source needs its organic carbon for a partition coefficient from koc.
    bool SourceFocNeeded(const Source& source) const;

private:
    bool AirPhase(const Source& source) const;
    bool HasHenry(const SourceContaminant& entry) const;
    bool UnsaturatedZoneComputed() const;

    Project& project_;
    int level_;
};

} // namespace varnex
