#include "persist/ProjectFileWriter.h"

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "archive/CompFile.h"
#include "archive/FileVersion.h"
#include "base/TextEncoding.h"
#include "model/Project.h"
#include "persist/CoordinateSystemText.h"
#include "persist/DecayChainSettings.h"
#include "persist/ProjectFileTrailer.h"
#include "settings/SolverKernel.h"
#include "stochastic/IterationCount.h"

namespace varnex {

namespace {

// Counts are stored in 32 bits; a sequence too long for them would be
// written as something else, so the save fails instead.
std::int32_t CountOf(std::size_t size, CompFile& archive) {
    if (size > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw CompFileException(CompFileException::writeFailed, archive.FileName());
    return static_cast<std::int32_t>(size);
}

const ResultVector& EmptyVector() {
    static const ResultVector empty;
    return empty;
}

// The element of a result sequence, or an empty vector where a sequence is
// shorter than the count written for its table (never after a run, which
// sizes them all alike).
template <class Sequence>
const ResultVector& At(const Sequence& vectors, std::size_t index) {
    return index < vectors.size() ? vectors[index] : EmptyVector();
}

} // namespace

ProjectFileWriter::ProjectFileWriter(CompFile& archive, const Project& project, bool withResults)
    : archive_(archive), project_(project), withResults_(withResults) {}

void ProjectFileWriter::Vector(const ResultVector& vector) { vector.Write(archive_); }

void ProjectFileWriter::Vectors(const std::vector<ResultVector>& vectors) {
    for (const ResultVector& vector : vectors) Vector(vector);
}

void ProjectFileWriter::Write(const std::string& dateSaved, const std::string& path) {
    const FileVersion version = ProgramVersion();
    archive_.WriteInt(version.major)
        .WriteInt(version.minor)
        .WriteInt(version.build)
        .WriteInt(version.revision);
    archive_.WriteBool(withResults_);
    archive_.WriteString(TextForFile(dateSaved)).WriteString(TextForFile(path));

    const ProjectDetails& details = project_.details;
    archive_.WriteString(TextForFile(details.title))
        .WriteString(TextForFile(details.clientName))
        .WriteString(TextForFile(details.projectNumber))
        .WriteString(TextForFile(details.preparedBy))
        .WriteString(TextForFile(details.comment));

    archive_.WriteInt(IterationCount());
    archive_.WriteInt(CountOf(project_.timeSlices.size(), archive_));
    for (double slice : project_.timeSlices) archive_.WriteDouble(slice);
    archive_.WriteInt(project_.simulationLevel);

    // The placement values go in the order second, first, third.
    const SitePlan& plan = project_.sitePlan;
    archive_.WriteString(TextForFile(plan.backgroundMapFile))
        .WriteDouble(plan.mapOffsetY)
        .WriteDouble(plan.mapOffsetX)
        .WriteDouble(plan.mapScale)
        .WriteBool(plan.showBackgroundMap)
        .WriteBool(plan.showGrid)
        .WriteInt(plan.gridSpacing);

    const ActiveProcesses& processes = project_.processes;
    archive_.WriteBool(processes.biodegradationUz)
        .WriteBool(processes.biodegradationAquifer)
        .WriteBool(processes.retardedTravelUz)
        .WriteBool(processes.retardedTravelAquifer);

    WriteAquifer(project_.aquifer);
    archive_.WriteInt(CountOf(project_.sources.size(), archive_));
    for (const Source& source : project_.sources) WriteSource(source);
    archive_.WriteInt(CountOf(project_.receptors.size(), archive_));
    for (const Receptor& receptor : project_.receptors) WriteReceptor(receptor);
    archive_.WriteInt(CountOf(project_.contaminants.size(), archive_));
    for (const Contaminant& contaminant : project_.contaminants) WriteContaminant(contaminant);
    WriteCorrelations();
    archive_.WriteInt(project_.standardSelection);
    WriteTrailer();
}

// After everything the layout defines: predecessors stop before it.
void ProjectFileWriter::WriteTrailer() {
    archive_.WriteInt(ProjectFileTrailer::marker).WriteInt(ProjectFileTrailer::version);
    // Settings beyond the layout, each only when it is not the default, so
    // that a project that uses none is written as before; results say which
    // kernel computed them.
    std::vector<std::pair<std::string, std::string>> settings;
    if (withResults_ && project_.resultsKernel.has_value())
        settings.emplace_back(ProjectFileTrailer::solverKernelKey,
                              SolverKernelName(*project_.resultsKernel));
    if (project_.samplingMethod != SamplingMethod::monteCarlo)
        settings.emplace_back(ProjectFileTrailer::samplingMethodKey,
                              SamplingMethodName(project_.samplingMethod));
    if (project_.coordinateSystemEpsg != 0)
        settings.emplace_back(ProjectFileTrailer::coordinateSystemKey,
                              CoordinateSystemText(project_.coordinateSystemEpsg));
    const PlumeMapChoices& map = project_.plumeMap;
    const PlumeMapChoices defaults;
    if (map.kind != defaults.kind)
        settings.emplace_back(ProjectFileTrailer::plumeMapKey, PlumeMapKindName(map.kind));
    if (map.quantity != defaults.quantity)
        settings.emplace_back(ProjectFileTrailer::plumeMapQuantityKey,
                              PlumeMapQuantityName(map.quantity));
    if (map.shownPercentile != defaults.shownPercentile)
        settings.emplace_back(ProjectFileTrailer::plumeMapPercentileKey,
                              std::to_string(map.shownPercentile));
    if (map.percentiles != defaults.percentiles)
        settings.emplace_back(ProjectFileTrailer::plumeMapPercentilesKey,
                              PercentileLevelsText(map.percentiles));
    for (auto& setting : DecayChainSettings::Write(project_, withResults_))
        settings.push_back(std::move(setting));
    archive_.WriteInt(static_cast<std::int32_t>(settings.size()));
    for (const auto& [key, value] : settings) archive_.WriteString(key).WriteString(value);
    archive_.WriteInt(static_cast<std::int32_t>(archive_.ValueChecksum()));
}

void ProjectFileWriter::WriteAquifer(const Aquifer& aquifer) {
    archive_.WriteInt(aquifer.dilutionFlag);
    aquifer.thickness.Write(archive_);
    archive_.WriteInt(aquifer.calculateMixingZone);
    aquifer.mixingZoneThickness.Write(archive_);
    aquifer.foc.Write(archive_);
    aquifer.dryBulkDensity.Write(archive_);
    aquifer.lateralDispersivity.Write(archive_);
    aquifer.longitudinalDispersivity.Write(archive_);
    aquifer.effectivePorosity.Write(archive_);
    aquifer.hydraulicConductivity.Write(archive_);
    aquifer.reserved.Write(archive_);
    aquifer.hydraulicGradient.Write(archive_);
    archive_.WriteBool(aquifer.aquiferFlag)
        .WriteBool(aquifer.secondAquiferFlag)
        .WriteDouble(aquifer.flowDirection);
}

void ProjectFileWriter::WriteSource(const Source& source) {
    archive_.WriteString(TextForFile(source.name));
    source.thickness.Write(archive_);
    source.dryBulkDensity.Write(archive_);
    source.waterFilledPorosity.Write(archive_);
    source.airFilledPorosity.Write(archive_);

    archive_.WriteInt(CountOf(source.vertices.size(), archive_));
    for (const PlanPoint& point : source.vertices)
        archive_.WriteDouble(point.x).WriteDouble(point.y);

    archive_.WriteInt(CountOf(source.inventory.size(), archive_));
    for (const SourceContaminant& entry : source.inventory) WriteInventoryEntry(entry);

    archive_.WriteShort(source.fillColour)
        .WriteShort(source.hatchStyle)
        .WriteDouble(source.timeOffset);

    archive_.WriteInt(CountOf(source.pathways.size(), archive_));
    for (const UnsaturatedPathway& pathway : source.pathways) WritePathway(pathway);

    source.catchmentArea.Write(archive_);
    archive_.WriteInt(source.drainageSystem);
    source.infiltration.Write(archive_);
    source.maximumInfiltrationRate.Write(archive_);
    source.runoffRecharge.Write(archive_);
    source.baseArea.Write(archive_);

    archive_.WriteInt(source.decliningSource);
    source.foc.Write(archive_);
    archive_.WriteInt(source.soakaway).WriteInt(source.centreDefinition);
    // Decline factors exist only with a user-defined decline.
    if (source.decliningSource == Source::userDefinedDecline) {
        archive_.WriteInt(CountOf(source.declineFactors.size(), archive_));
        for (double factor : source.declineFactors) archive_.WriteDouble(factor);
    }
    archive_.WriteBool(source.calculatePorosities);
    source.moistureContent.Write(archive_);
    source.particleDensity.Write(archive_);
    archive_.WriteInt(source.attachedReceptor);
    archive_.WriteDouble(source.centre.x).WriteDouble(source.centre.y);
    if (withResults_) Vector(source.mixingZoneFlow);
    source.overallUnsaturatedZoneThickness.Write(archive_);
}

void ProjectFileWriter::WritePathway(const UnsaturatedPathway& pathway) {
    archive_.WriteString(TextForFile(pathway.name)).WriteInt(pathway.flowModel);
    pathway.dryBulkDensity.Write(archive_);
    pathway.thickness.Write(archive_);
    pathway.matrixConductivity.Write(archive_);
    pathway.effectiveMatrixPorosity.Write(archive_);
    pathway.effectiveFissurePorosity.Write(archive_);
    pathway.saturatedEffectivePorosity.Write(archive_);
    pathway.verticalDispersivity.Write(archive_);
    pathway.verticalHydraulicGradient.Write(archive_);
    pathway.unsaturatedConductivity.Write(archive_);
    pathway.foc.Write(archive_);
    pathway.waterFilledPorosity.Write(archive_);
    archive_.WriteBool(pathway.include);
}

void ProjectFileWriter::WriteInventoryEntry(const SourceContaminant& entry) {
    archive_.WriteInt(entry.contaminant);
    entry.concentration.Write(archive_);
    entry.henrysLawConstant.Write(archive_);
    entry.maximumSolubility.Write(archive_);
    archive_.WriteInt(entry.measuredAs).WriteBool(entry.active).WriteInt(entry.partitionFromKoc);
    entry.partitionCoefficient.Write(archive_);

    if (withResults_) {
        const std::size_t receptorCount = entry.receptorConcentrations.size();
        archive_.WriteInt(CountOf(receptorCount, archive_));
        archive_.WriteInt(CountOf(entry.sourceConcentrations.size(), archive_));
        Vectors(entry.sourceConcentrations);
        // Each receptor's table holds one vector per time slice of the
        // project; the reader counts them from the time slices.
        if (project_.simulationLevel > 2) {
            for (std::size_t r = 0; r < receptorCount; ++r) {
                Vector(At(entry.receptorRetardedTravelTimes, r));
                Vector(At(entry.receptorUnretardedTravelTimes, r));
                for (std::size_t k = 0; k < project_.timeSlices.size(); ++k)
                    Vector(At(entry.receptorConcentrations[r], k));
            }
        }
    }

    archive_.WriteInt(CountOf(entry.pathwayProperties.size(), archive_));
    for (const auto& [index, record] : entry.pathwayProperties) {
        archive_.WriteInt(index);
        WritePathwayContaminant(record);
    }
}

void ProjectFileWriter::WritePathwayContaminant(const PathwayContaminant& record) {
    record.uzHalfLife.Write(archive_);
    archive_.WriteInt(record.degradationPhase).WriteInt(record.partitionFromKoc);
    record.uzPartitionCoefficient.Write(archive_);
    if (!withResults_) return;
    Vector(record.retardedTravelTime);
    Vector(record.matrixRetardedTravelTime);
    Vector(record.unretardedTravelTime);
    Vector(record.matrixUnretardedTravelTime);
    const std::size_t sliceCount = record.concentrations.size();
    archive_.WriteInt(CountOf(sliceCount, archive_));
    for (std::size_t j = 0; j < sliceCount; ++j) {
        Vector(record.concentrations[j]);
        Vector(At(record.matrixConcentrations, j));
        Vector(At(record.dilutedConcentrations, j));
    }
}

void ProjectFileWriter::WriteReceptor(const Receptor& receptor) {
    archive_.WriteDouble(receptor.x)
        .WriteDouble(receptor.y)
        .WriteBool(receptor.visible)
        .WriteString(TextForFile(receptor.name));
    if (withResults_) {
        archive_.WriteInt(CountOf(receptor.results.size(), archive_));
        for (const ReceptorContaminant& record : receptor.results) {
            archive_.WriteInt(record.contaminant);
            archive_.WriteInt(CountOf(record.totalConcentrations.size(), archive_));
            Vectors(record.totalConcentrations);
            Vector(record.totalUnretardedTravelTime);
            Vector(record.totalRetardedTravelTime);
        }
    }
    archive_.WriteBool(receptor.attached);
}

void ProjectFileWriter::WriteContaminant(const Contaminant& contaminant) {
    archive_.WriteString(TextForFile(contaminant.name))
        .WriteInt(contaminant.identifier)
        .WriteBool(contaminant.henryFlag)
        .WriteInt(contaminant.partitionFromKoc);
    contaminant.koc.Write(archive_);
    archive_.WriteInt(contaminant.standardStatus)
        .WriteDouble(contaminant.furtherConstant1)
        .WriteDouble(contaminant.furtherConstant2)
        .WriteDouble(contaminant.standard);
    contaminant.partitionCoefficient.Write(archive_);
    contaminant.halfLife.Write(archive_);
    archive_.WriteInt(contaminant.halfLifeOption);
    contaminant.backgroundConcentration.Write(archive_);
    archive_.WriteInt(contaminant.backgroundOption);
}

// Count, then per record the name, the value, the reference input's identity
// and the correlated input's identity, in the list's key order.
void ProjectFileWriter::WriteCorrelations() {
    const CorrelationList& list = project_.correlations;
    archive_.WriteInt(CountOf(list.Count(), archive_));
    for (const auto& [key, record] : list) {
        archive_.WriteString(TextForFile(record.name))
            .WriteDouble(record.value)
            .WriteInt(record.referenceParameter)
            .WriteInt(record.correlatedParameter);
    }
}

} // namespace varnex
