#include "run/ResultStore.h"

#include "base/TextFormat.h"
#include "model/Project.h"
#include "results/ResultLabels.h"
#include "results/ResultVector.h"
#include "settings/Translate.h"
#include "stochastic/IterationCount.h"

namespace varnex {

namespace {

std::size_t IterationsToPrepare() {
    const int n = IterationCount();
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

// Sized to the iteration count, all zeros, labelled.
void Prepare(ResultVector& vector, const std::string& label = std::string()) {
    vector.Prepare(0, true);
    vector.SetLabel(label);
}

void PrepareSeries(std::vector<ResultVector>& series, std::size_t count, const std::string& format,
                   const std::vector<double>& timeSlices,
                   const std::string* receptorName = nullptr) {
    series.resize(count);
    for (std::size_t k = 0; k < count; ++k)
        Prepare(series[k], ResultLabels::AtTime(format, timeSlices.at(k), receptorName));
}

void Empty(ResultVector& vector) { vector = ResultVector(); }

void EmptyEntry(SourceContaminant& entry) {
    entry.sourceConcentrations.clear();
    Empty(entry.leachMass);
    Empty(entry.maxLeachMass);
    entry.receptorUnretardedTravelTimes.clear();
    entry.receptorRetardedTravelTimes.clear();
    entry.receptorAquiferTravelTimes.clear();
    entry.receptorConcentrations.clear();
    for (auto& [key, record] : entry.pathwayProperties) {
        for (ResultVector* v :
             {&record.unretardedTravelTime, &record.retardedTravelTime,
              &record.matrixUnretardedTravelTime, &record.matrixRetardedTravelTime,
              &record.retardedVelocity, &record.retardedMatrixVelocity, &record.retardation,
              &record.matrixRetardation})
            Empty(*v);
        record.concentrations.clear();
        record.matrixConcentrations.clear();
        record.dilutedConcentrations.clear();
        record.layerRetardedTravelTime.clear();
    }
}

} // namespace

void PrepareResultStore(Project& project) {
    project.SyncAllInventories();
    const std::size_t n = IterationsToPrepare();
    const std::vector<double>& times = project.timeSlices;
    const std::size_t slices = times.size();
    const std::size_t receptors = project.receptors.size();
    const int level = project.simulationLevel;

    const ResultLabels labels;

    for (Source& source : project.sources) {
        for (UnsaturatedPathway& pathway : source.pathways) {
            Prepare(pathway.fissureVelocity, Translate("Fissure Velocity"));
            Prepare(pathway.matrixVelocity, Translate("Matrix Velocity"));
            Prepare(pathway.matrixFlow);
            Prepare(pathway.fissureFlow);
            pathway.fissureFlowing.assign(n, 0);
        }
        Prepare(source.soilMass, Translate("Soil Mass"));
        Prepare(source.mixingZoneFlow);
        Prepare(source.aquiferPoreVelocity);
        Prepare(source.fullThicknessAquiferFlow);
        source.saturatedSoakaway.assign(n, 0);
        for (SourceContaminant& entry : source.inventory) {
            if (!project.EntryTakesPart(entry)) {
                EmptyEntry(entry);
                continue;
            }
            PrepareSeries(entry.sourceConcentrations, slices, labels.sourceConcentration, times);
            for (std::size_t p = 0; p < source.pathways.size(); ++p) {
                PathwayContaminant& record = entry.pathwayProperties[static_cast<int>(p)];
                Prepare(record.unretardedTravelTime, labels.uzUnretardedTravelTime);
                Prepare(record.retardedTravelTime, labels.uzRetardedTravelTime);
                Prepare(record.matrixUnretardedTravelTime, labels.uzMatrixUnretardedTravelTime);
                Prepare(record.matrixRetardedTravelTime, labels.uzMatrixRetardedTravelTime);
                Prepare(record.retardedVelocity, labels.uzRetardedVelocity);
                Prepare(record.retardedMatrixVelocity, labels.uzRetardedMatrixVelocity);
                Prepare(record.retardation);
                Prepare(record.matrixRetardation);
                PrepareSeries(record.concentrations, slices, labels.uzConcentration, times);
                PrepareSeries(record.matrixConcentrations, slices, labels.uzMatrixConcentration,
                              times);
                PrepareSeries(record.dilutedConcentrations, slices, labels.dilutedConcentration,
                              times);
                record.layerRetardedTravelTime.assign(p > 0 ? n : 0, 0.0);
            }
            Prepare(entry.leachMass, Translate("Leach Mass"));
            Prepare(entry.maxLeachMass, Translate("Max Leach Mass"));
        }
    }
    Prepare(project.aquifer.mixingZoneCrossSection);

    for (std::size_t c = 0; c < project.contaminants.size(); ++c)
        if (project.ContaminantTakesPart(c)) Prepare(project.contaminants[c].aquiferRetardation);
    for (Source& source : project.sources) {
        for (SourceContaminant& entry : source.inventory) {
            if (!project.EntryTakesPart(entry)) continue;
            if (level > SimulationLevel::level2) {
                entry.receptorUnretardedTravelTimes.resize(receptors);
                entry.receptorRetardedTravelTimes.resize(receptors);
                entry.receptorAquiferTravelTimes.resize(receptors);
                for (std::size_t r = 0; r < receptors; ++r) {
                    const std::string& name = project.receptors[r].name;
                    Prepare(entry.receptorUnretardedTravelTimes[r],
                            ResultLabels::ForReceptor(labels.receptorUnretarded, name));
                    Prepare(entry.receptorRetardedTravelTimes[r],
                            ResultLabels::ForReceptor(labels.receptorRetarded, name));
                    Prepare(entry.receptorAquiferTravelTimes[r],
                            ResultLabels::ForReceptor(labels.receptorAquifer, name));
                }
            } else {
                entry.receptorUnretardedTravelTimes.clear();
                entry.receptorRetardedTravelTimes.clear();
                entry.receptorAquiferTravelTimes.clear();
            }
            entry.receptorConcentrations.resize(receptors);
            for (std::size_t r = 0; r < receptors; ++r)
                PrepareSeries(entry.receptorConcentrations[r], slices, labels.receptorConcentration,
                              times, &project.receptors[r].name);
        }
    }
    if (level > SimulationLevel::level2) {
        for (Receptor& receptor : project.receptors) {
            for (std::size_t c = 0; c < project.contaminants.size(); ++c) {
                if (!project.ContaminantTakesPart(c)) continue;
                ReceptorContaminant& record =
                    receptor.ResultsFor(project.contaminants[c].identifier);
                PrepareSeries(record.totalConcentrations, slices, labels.totalConcentration, times);
                Prepare(record.totalUnretardedTravelTime, labels.totalUnretardedTravelTime);
                Prepare(record.totalRetardedTravelTime, labels.totalRetardedTravelTime);
            }
        }
    }
}

std::vector<ResultEntry> StatisticsSet(Project& project) {
    std::vector<ResultEntry> set;
    const int level = project.simulationLevel;
    const std::vector<double>& times = project.timeSlices;
    auto contaminantOf = [&project](int identifier) { return project.FindContaminant(identifier); };
    auto add = [&set](ResultVector& vector, const char* kind, const std::string& source,
                      const Contaminant* contaminant, const std::string& pathway,
                      const std::string& receptor, const double* time, bool concentration) {
        ResultEntry entry;
        entry.vector = &vector;
        entry.kind = kind;
        entry.source = source;
        entry.contaminant = contaminant ? contaminant->name : std::string();
        entry.pathway = pathway;
        entry.receptor = receptor;
        entry.hasTime = time != nullptr;
        entry.timeYears = time ? *time : 0.0;
        entry.concentration = concentration;
        entry.standard =
            (concentration && contaminant && contaminant->standardStatus != Contaminant::noStandard)
                ? contaminant->standard
                : 0.0;
        set.push_back(std::move(entry));
    };

    for (Source& source : project.sources) {
        for (SourceContaminant& entry : source.inventory) {
            if (!project.EntryTakesPart(entry)) continue;
            const Contaminant* contaminant = contaminantOf(entry.contaminant);
            for (std::size_t p = 0; p < source.pathways.size(); ++p) {
                auto found = entry.pathwayProperties.find(static_cast<int>(p));
                if (found == entry.pathwayProperties.end()) continue;
                PathwayContaminant& record = found->second;
                const std::string& pathway = source.pathways[p].name;
                add(record.unretardedTravelTime, "uzUnretardedTravelTime", source.name, contaminant,
                    pathway, "", nullptr, false);
                add(record.retardedTravelTime, "uzRetardedTravelTime", source.name, contaminant,
                    pathway, "", nullptr, false);
                if (level > SimulationLevel::level1) {
                    for (std::size_t k = 0; k < times.size() && k < record.concentrations.size();
                         ++k) {
                        add(record.concentrations[k], "uzConcentration", source.name, contaminant,
                            pathway, "", &times[k], true);
                        add(record.dilutedConcentrations[k], "dilutedConcentration", source.name,
                            contaminant, pathway, "", &times[k], true);
                    }
                }
            }
            if (level > SimulationLevel::level2) {
                for (std::size_t r = 0; r < entry.receptorUnretardedTravelTimes.size(); ++r) {
                    const std::string& receptor = project.receptors[r].name;
                    add(entry.receptorUnretardedTravelTimes[r], "receptorUnretardedTravelTime",
                        source.name, contaminant, "", receptor, nullptr, false);
                    add(entry.receptorRetardedTravelTimes[r], "receptorRetardedTravelTime",
                        source.name, contaminant, "", receptor, nullptr, false);
                }
            }
            for (std::size_t k = 0; k < entry.sourceConcentrations.size(); ++k) {
                add(entry.sourceConcentrations[k], "sourceConcentration", source.name, contaminant,
                    "", "", &times[k], true);
                if (level > SimulationLevel::level2) {
                    for (std::size_t r = 0; r < entry.receptorConcentrations.size(); ++r)
                        if (k < entry.receptorConcentrations[r].size())
                            add(entry.receptorConcentrations[r][k], "receptorConcentration",
                                source.name, contaminant, "", project.receptors[r].name, &times[k],
                                true);
                }
            }
        }
    }
    for (Source& source : project.sources)
        add(source.mixingZoneFlow, "mixingZoneFlow", source.name, nullptr, "", "", nullptr, false);
    if (level > SimulationLevel::level2) {
        for (Receptor& receptor : project.receptors) {
            for (ReceptorContaminant& record : receptor.results) {
                const Contaminant* contaminant = contaminantOf(record.contaminant);
                if (!contaminant) continue;
                add(record.totalUnretardedTravelTime, "totalReceptorUnretardedTravelTime", "",
                    contaminant, "", receptor.name, nullptr, false);
                add(record.totalRetardedTravelTime, "totalReceptorRetardedTravelTime", "",
                    contaminant, "", receptor.name, nullptr, false);
                for (std::size_t k = 0; k < record.totalConcentrations.size() && k < times.size();
                     ++k)
                    add(record.totalConcentrations[k], "totalReceptorConcentration", "",
                        contaminant, "", receptor.name, &times[k], true);
            }
        }
    }
    return set;
}

} // namespace varnex
