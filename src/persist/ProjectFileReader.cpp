#include "persist/ProjectFileReader.h"

#include <algorithm>
#include <utility>

#include "archive/CompFile.h"
#include "base/Exception.h"
#include "base/TextEncoding.h"
#include "base/TextFormat.h"
#include "model/Project.h"
#include "persist/CoordinateSystemText.h"
#include "persist/DecayChainSettings.h"
#include "persist/ProjectFileMessages.h"
#include "persist/ProjectFileResultLabels.h"
#include "settings/Translate.h"
#include "stochastic/IterationCount.h"

namespace varnex {

namespace {

// The versions at which fields entered the format. Versions up to 2.4.0
// carry no revision, and a version without one compares by major, minor and
// build only, so these constants carry a revision only where it decides.
constexpr FileVersion v2_0_0{2, 0, 0, 0, false};
constexpr FileVersion v2_0_2{2, 0, 2, 0, false};
constexpr FileVersion v2_0_3{2, 0, 3, 0, false};
constexpr FileVersion v2_0_5{2, 0, 5, 0, false};
constexpr FileVersion v2_0_6{2, 0, 6, 0, false};
constexpr FileVersion v2_0_7{2, 0, 7, 0, false};
constexpr FileVersion v2_0_8{2, 0, 8, 0, false};
constexpr FileVersion v2_0_10{2, 0, 10, 0, false};
constexpr FileVersion v2_4_0{2, 4, 0, 0, false};
constexpr FileVersion v2_4_99_1{2, 4, 99, 1, true};
constexpr FileVersion v2_4_99_2{2, 4, 99, 2, true};
constexpr FileVersion v2_4_101{2, 4, 101, 0, false};

// The smallest number of decoded bytes each record can take, whatever the
// version: what a count of records must fit in. A parameter is its identity,
// the distribution (an empty label, eleven doubles, two shorts, the flags)
// and the two carried values.
constexpr std::uint64_t minimumParamBytes = 4 + (4 + 11 * 8 + 2 * 2 + 4) + 2 + 4;
constexpr std::uint64_t minimumVectorBytes = 4;
constexpr std::uint64_t minimumStringBytes = 4;
// Name, the four soil parameters, four counts and the infiltration block.
constexpr std::uint64_t minimumSourceBytes = minimumStringBytes + 8 * minimumParamBytes;
constexpr std::uint64_t minimumPathwayBytes = minimumStringBytes + 4 + 11 * minimumParamBytes;
constexpr std::uint64_t minimumEntryBytes = 4 + 4 * minimumParamBytes;
constexpr std::uint64_t minimumPathwayPropertyBytes = 4 + 2 * minimumParamBytes + 8;
constexpr std::uint64_t minimumReceptorBytes = 8 + 8 + 2 + minimumStringBytes;
constexpr std::uint64_t minimumReceptorResultBytes = 4 + 4 + 2 * minimumVectorBytes;
constexpr std::uint64_t minimumContaminantBytes = minimumStringBytes + 4 + 4 * minimumParamBytes;
constexpr std::uint64_t minimumCorrelationBytes = minimumStringBytes + 8 + 4 + 4;

constexpr std::uint64_t maximumPathwayRecords = 50000;

constexpr int minimumLevel = 1;
constexpr int maximumLevel = 4;
constexpr int firstColour = 1, lastColour = 7, defaultColour = 5;
constexpr int firstHatch = 1, lastHatch = 7, defaultHatch = 7;

std::uint64_t StringBytes(const std::string& text) {
    return text.empty() ? 4 : 4 + text.size() + 1;
}

} // namespace

ProjectFileReader::ProjectFileReader(CompFile& archive, std::uint64_t decodedBytes,
                                     std::string displayName)
    : archive_(archive), decodedBytes_(decodedBytes), displayName_(std::move(displayName)) {}

void ProjectFileReader::Damaged(const char* item, long long value) const {
    throw Exception(DamagedFileMessage(displayName_, item, value));
}

void ProjectFileReader::EndsEarly() const { throw Exception(FileEndsEarlyMessage(displayName_)); }

std::uint64_t ProjectFileReader::BytesLeft() const {
    return consumed_ < decodedBytes_ ? decodedBytes_ - consumed_ : 0;
}

// The decoded size is known before reading starts, so a file cut short is
// told as such, not as whatever value the missing bytes would have held.
void ProjectFileReader::Consume(std::uint64_t bytes) {
    if (bytes > BytesLeft()) EndsEarly();
    consumed_ += bytes;
}

bool ProjectFileReader::Bool() {
    Consume(2);
    return archive_.ReadBool();
}

std::int16_t ProjectFileReader::Short() {
    Consume(2);
    return archive_.ReadShort();
}

std::int32_t ProjectFileReader::Int() {
    Consume(4);
    return archive_.ReadInt();
}

double ProjectFileReader::Double() {
    Consume(8);
    return archive_.ReadDouble();
}

// Texts of the program's Windows predecessors are in their code page; inside
// the program every text is UTF-8.
std::string ProjectFileReader::String() {
    if (BytesLeft() < 4) EndsEarly();
    std::string text = archive_.ReadString();
    Consume(StringBytes(text));
    return TextFromFile(text);
}

// A count whose records would need more bytes than the file holds is a
// damaged value, unless the file is simply short: a count no larger than
// the bytes the whole file decodes to could be right, and then it is the
// file that ends early.
std::int32_t ProjectFileReader::Count(std::uint64_t minimumRecordBytes, const char* item) {
    const std::int32_t count = Int();
    if (count < 0) Damaged(item, count);
    const std::uint64_t needed = static_cast<std::uint64_t>(count) * minimumRecordBytes;
    if (needed > BytesLeft()) {
        if (needed <= decodedBytes_) EndsEarly();
        Damaged(item, count);
    }
    return count;
}

// The parameter's Read takes the samples when the file carries results (and
// refuses more than a run can have); a type outside the known ones loads as
// an input with a syntax error, which validation reports.
void ProjectFileReader::Param(StochasticParameter& parameter) {
    if (BytesLeft() < minimumParamBytes) EndsEarly();
    parameter.Read(archive_);
    Consume(minimumParamBytes - 4 + StringBytes(parameter.distribution.label));
    if (withResults_) Consume(4 + 8 * std::uint64_t{parameter.SampleCount()});
}

void ProjectFileReader::SkipParam() {
    StochasticParameter discarded;
    Param(discarded);
}

void ProjectFileReader::Vector(ResultVector& vector) {
    if (BytesLeft() < 4) EndsEarly();
    vector.Read(archive_);
    Consume(4 + 8 * std::uint64_t{vector.Size()});
}

void ProjectFileReader::Vectors(std::vector<ResultVector>& vectors, std::int32_t count) {
    vectors.clear();
    for (std::int32_t i = 0; i < count; ++i) {
        ResultVector vector;
        Vector(vector);
        vectors.push_back(std::move(vector));
    }
}

void ProjectFileReader::ReadVersion() {
    version_.major = Int();
    version_.minor = Int();
    version_.build = Int();
    version_.revision = 0;
    version_.hasRevision = false;
    if (version_.NewerThan(v2_4_0)) {
        version_.revision = Int();
        version_.hasRevision = true;
    }
    // Files older than 2.0.0 (the uncompressed format among them) and files
    // of a newer program have layouts this reader does not know.
    if (version_.OlderThan(v2_0_0) || version_.NewerThan(ProgramVersion()))
        throw Exception(UnsupportedVersionMessage(version_.major, version_.minor));
    ActiveFileVersion() = version_;
}

void ProjectFileReader::Read(Project& project) {
    ReadVersion();
    withResults_ = Bool();
    SetResultsSaved(withResults_);
    project.dateSaved = String();
    String(); // the path at the time of saving: the path opened replaces it

    ProjectDetails& details = project.details;
    details.title = String();
    details.clientName = String();
    details.projectNumber = String();
    details.preparedBy = String();
    details.comment = String();

    iterations_ = Int();
    if (iterations_ < 0 || iterations_ > maximumIterationCount)
        Damaged(TranslatableText("the number of iterations"), iterations_);
    SetIterationCount(iterations_);

    project.timeSlices.clear();
    const std::int32_t sliceCount = Count(8, TranslatableText("the number of time slices"));
    if (sliceCount > Project::maximumTimeSlices)
        Damaged(TranslatableText("the number of time slices"), sliceCount);
    for (std::int32_t i = 0; i < sliceCount; ++i) project.timeSlices.push_back(Double());

    project.simulationLevel = Int();
    if (project.simulationLevel < minimumLevel || project.simulationLevel > maximumLevel)
        Damaged(TranslatableText("the simulation level"), project.simulationLevel);

    ReadSitePlan(project);

    ActiveProcesses& processes = project.processes;
    processes.biodegradationUz = Bool();
    processes.biodegradationAquifer = Bool();
    processes.retardedTravelUz = Bool();
    processes.retardedTravelAquifer = Bool();

    ReadAquifer(project.aquifer);

    project.sources.clear();
    const std::int32_t sourceCount =
        Count(minimumSourceBytes, TranslatableText("the number of sources"));
    for (std::int32_t i = 0; i < sourceCount; ++i) {
        Source source;
        ReadSource(project, source);
        project.sources.push_back(std::move(source));
    }

    project.receptors.clear();
    const std::int32_t receptorCount =
        Count(minimumReceptorBytes, TranslatableText("the number of receptors"));
    if (receptorCount > Project::maximumReceptors)
        Damaged(TranslatableText("the number of receptors"), receptorCount);
    for (std::int32_t i = 0; i < receptorCount; ++i) {
        Receptor receptor;
        ReadReceptor(receptor);
        project.receptors.push_back(std::move(receptor));
    }

    project.contaminants.clear();
    const std::int32_t contaminantCount =
        Count(minimumContaminantBytes, TranslatableText("the number of contaminants"));
    for (std::int32_t i = 0; i < contaminantCount; ++i) {
        Contaminant contaminant;
        ReadContaminant(contaminant);
        project.contaminants.push_back(std::move(contaminant));
    }

    ReadCorrelations(project);

    if (Newer(v2_0_0)) project.standardSelection = Int();
    ReadTrailer(project);

    Repair(project);
    // The inventory invariant makes one record per source, contaminant and
    // pathway: counts that each fit in the file can still multiply to more
    // records than any real project holds (30 sources, the 64 species of the
    // standards files and ten layers each make about 19,000).
    std::uint64_t records = 0;
    for (const Source& source : project.sources)
        records += source.pathways.size() * std::max<std::size_t>(project.contaminants.size(), 1);
    if (records > maximumPathwayRecords)
        Damaged(TranslatableText("the number of pathway properties"),
                static_cast<long long>(records));
    project.ApplyNames();
    project.SyncAllInventories();
    LabelStoredResults(project);
    project.resultsValid = withResults_;
    project.resultsKernel = withResults_ ? resultsKernel_ : std::nullopt;
}

// Files of older versions end after the standard selection; anything else
// there that is not this program's block is left unread, as it always was.
void ProjectFileReader::ReadTrailer(Project& project) {
    if (BytesLeft() < 4 || Int() != ProjectFileTrailer::marker) return;
    Int(); // the block's version: later versions only add keys
    const std::int32_t settings = Count(8, TranslatableText("the number of stored settings"));
    std::vector<DecayChainSettings::Setting> chains;
    for (std::int32_t i = 0; i < settings; ++i) {
        const std::string key = String();
        const std::string value = String();
        if (DecayChainSettings::IsChainKey(key)) chains.emplace_back(key, value);
        if (key == ProjectFileTrailer::solverKernelKey) resultsKernel_ = ParseSolverKernel(value);
        // An unknown method (a later program's) is read as the default
        // rather than refusing the file.
        if (key == ProjectFileTrailer::samplingMethodKey)
            project.samplingMethod =
                ParseSamplingMethod(value).value_or(SamplingMethod::monteCarlo);
        // Likewise the map settings: what cannot be read is the default.
        ReadMapSetting(key, value, project);
    }
    // Samples belong to a file with results; the iteration count is the
    // file's.
    DecayChainSettings::Apply(chains, withResults_ ? iterations_ : 0, project);
    computedChecksum_ = archive_.ValueChecksum();
    storedChecksum_ = static_cast<std::uint32_t>(Int());
    integrity_ =
        storedChecksum_ == computedChecksum_ ? FileIntegrity::intact : FileIntegrity::damaged;
}

void ProjectFileReader::ReadMapSetting(const std::string& key, const std::string& value,
                                       Project& project) {
    PlumeMapChoices& map = project.plumeMap;
    const PlumeMapChoices defaults;
    if (key == ProjectFileTrailer::coordinateSystemKey)
        project.coordinateSystemEpsg = ParseCoordinateSystemText(value).value_or(0);
    else if (key == ProjectFileTrailer::plumeMapKey)
        map.kind = ParsePlumeMapKind(value).value_or(defaults.kind);
    else if (key == ProjectFileTrailer::plumeMapQuantityKey)
        map.quantity = ParsePlumeMapQuantity(value).value_or(defaults.quantity);
    else if (key == ProjectFileTrailer::plumeMapPercentileKey) {
        const std::optional<std::vector<int>> level = ParsePercentileLevels(value);
        map.shownPercentile =
            level && level->size() == 1 ? level->front() : defaults.shownPercentile;
    } else if (key == ProjectFileTrailer::plumeMapPercentilesKey)
        map.percentiles = ParsePercentileLevels(value).value_or(defaults.percentiles);
}

void ProjectFileReader::ReadSitePlan(Project& project) {
    SitePlan& plan = project.sitePlan;
    plan.backgroundMapFile = String();
    // Stored in the order second, first, third of the placement values.
    plan.mapOffsetY = Double();
    plan.mapOffsetX = Double();
    plan.mapScale = Double();
    if (Newer(v2_0_10)) {
        plan.showBackgroundMap = Bool();
        plan.showGrid = Bool();
        plan.gridSpacing = Int();
    }
}

void ProjectFileReader::ReadAquifer(Aquifer& aquifer) {
    aquifer.dilutionFlag = Int();
    // Versions 2.0.0 to 2.0.6 stored an input that later left the model,
    // 2.0.5 and 2.0.6 with a flag before it.
    const bool early = !Older(v2_0_0) && !Newer(v2_0_6);
    if (early && !Older(v2_0_5)) Bool();
    if (early) SkipParam();
    Param(aquifer.thickness);
    aquifer.calculateMixingZone = Int();
    Param(aquifer.mixingZoneThickness);
    Param(aquifer.foc);
    Param(aquifer.dryBulkDensity);
    Param(aquifer.lateralDispersivity);
    Param(aquifer.longitudinalDispersivity);
    Param(aquifer.effectivePorosity);
    Param(aquifer.hydraulicConductivity);
    Param(aquifer.reserved);
    Param(aquifer.hydraulicGradient);
    aquifer.aquiferFlag = Bool();
    aquifer.secondAquiferFlag = Bool();
    aquifer.flowDirection = Double();
}

void ProjectFileReader::ReadSource(Project& project, Source& source) {
    source.name = String();
    Param(source.thickness);
    Param(source.dryBulkDensity);
    Param(source.waterFilledPorosity);
    Param(source.airFilledPorosity);
    if (Older(v2_0_10)) SkipParam();

    const std::int32_t vertexCount = Count(16, TranslatableText("the number of vertices"));
    for (std::int32_t i = 0; i < vertexCount; ++i) {
        PlanPoint point;
        point.x = Double();
        point.y = Double();
        source.vertices.push_back(point);
    }

    source.inventory.clear();
    const std::int32_t entryCount =
        Count(minimumEntryBytes, TranslatableText("the number of inventory entries"));
    for (std::int32_t i = 0; i < entryCount; ++i) {
        SourceContaminant entry;
        ReadInventoryEntry(project, entry);
        source.inventory.push_back(std::move(entry));
    }

    // The colour and hatching are choices of the site plan; a value outside
    // them is given the default rather than refusing the file.
    source.fillColour = Short();
    if (source.fillColour < firstColour || source.fillColour > lastColour)
        source.fillColour = defaultColour;
    source.hatchStyle = Short();
    if (source.hatchStyle < firstHatch || source.hatchStyle > lastHatch)
        source.hatchStyle = defaultHatch;
    source.timeOffset = Double();

    // Up to 2.4.0 a source had exactly one pathway, stored without a count.
    source.pathways.clear();
    const std::int32_t pathwayCount =
        Newer(v2_4_0)
            ? Count(minimumPathwayBytes, TranslatableText("the number of unsaturated pathways"))
            : 1;
    for (std::int32_t i = 0; i < pathwayCount; ++i) {
        UnsaturatedPathway pathway;
        ReadPathway(pathway);
        source.pathways.push_back(std::move(pathway));
    }
    // Every source has at least one layer beneath it.
    if (source.pathways.empty()) source.pathways.emplace_back();

    Param(source.catchmentArea);
    source.drainageSystem = Int();
    Param(source.infiltration);
    Param(source.maximumInfiltrationRate);
    Param(source.runoffRecharge);
    if (Newer(v2_0_6)) Param(source.baseArea);

    source.decliningSource = Int();
    Param(source.foc);
    source.soakaway = Int();
    source.centreDefinition = Int();
    if (source.decliningSource == Source::userDefinedDecline && Newer(v2_0_2)) {
        const std::int32_t factorCount =
            Count(8, TranslatableText("the number of decline factors"));
        for (std::int32_t i = 0; i < factorCount; ++i) source.declineFactors.push_back(Double());
    }
    if (Newer(v2_0_3)) {
        source.calculatePorosities = Bool();
        Param(source.moistureContent);
        Param(source.particleDensity);
    }
    if (Newer(v2_0_5)) source.attachedReceptor = Int();
    if (Newer(v2_0_7)) {
        source.centre.x = Double();
        source.centre.y = Double();
    }
    if (Newer(v2_0_8) && withResults_) Vector(source.mixingZoneFlow);
    if (Newer(v2_4_101)) Param(source.overallUnsaturatedZoneThickness);
}

void ProjectFileReader::ReadPathway(UnsaturatedPathway& pathway) {
    pathway.name = String();
    if (pathway.name.empty()) pathway.name = Translate("Unsaturated Pathway");
    pathway.flowModel = Int();
    Param(pathway.dryBulkDensity);
    Param(pathway.thickness);
    if (Older(v2_4_99_1)) SkipParam();
    Param(pathway.matrixConductivity);
    Param(pathway.effectiveMatrixPorosity);
    Param(pathway.effectiveFissurePorosity);
    Param(pathway.saturatedEffectivePorosity);
    Param(pathway.verticalDispersivity);
    Param(pathway.verticalHydraulicGradient);
    Param(pathway.unsaturatedConductivity);
    Param(pathway.foc);
    Param(pathway.waterFilledPorosity);
    if (Newer(v2_4_0)) pathway.include = Bool();
}

void ProjectFileReader::ReadInventoryEntry(const Project& project, SourceContaminant& entry) {
    entry.contaminant = Int();
    Param(entry.concentration);
    Param(entry.henrysLawConstant);
    Param(entry.maximumSolubility);
    entry.measuredAs = Int();
    entry.active = Bool();
    entry.partitionFromKoc = Int();
    Param(entry.partitionCoefficient);

    const bool singleLayerProperties = Older(v2_4_99_2);
    if (singleLayerProperties) {
        // Before pathways had their own properties an entry held one set.
        // It becomes the record of the first pathway; the inventory invariant
        // then copies it, with new identities, to every further pathway.
        PathwayContaminant record;
        Param(record.uzHalfLife);
        record.degradationPhase = Int();
        record.partitionFromKoc = Int();
        Param(record.uzPartitionCoefficient);
        entry.pathwayProperties.emplace(0, std::move(record));
        // Those versions arranged the entry's results differently; the
        // values cannot be placed, and nothing after them could be found.
        if (withResults_)
            throw Exception(FormatText(
                TranslateFormat(
                    "The results in %s were saved by version %s and cannot be read: save the project "
                    "without results in that version to load it here"),
                {displayName_,
                 FormatText("%d.%d.%d.%d", {static_cast<long long>(version_.major),
                                            static_cast<long long>(version_.minor),
                                            static_cast<long long>(version_.build),
                                            static_cast<long long>(version_.revision)})}));
    }

    if (withResults_) {
        const std::int32_t receptorCount = Int();
        if (receptorCount < 0)
            Damaged(TranslatableText("the number of receptor results"), receptorCount);
        const std::int32_t sliceCount =
            Count(minimumVectorBytes, TranslatableText("the number of result vectors"));
        Vectors(entry.sourceConcentrations, sliceCount);
        // The receptor table follows only where a run computes it; each
        // receptor holds one concentration per time slice of the project.
        if (project.simulationLevel > 2) {
            const std::uint64_t perReceptor = (2 + project.timeSlices.size()) * minimumVectorBytes;
            if (static_cast<std::uint64_t>(receptorCount) * perReceptor > BytesLeft())
                Damaged(TranslatableText("the number of receptor results"), receptorCount);
            for (std::int32_t r = 0; r < receptorCount; ++r) {
                ResultVector retarded, unretarded;
                Vector(retarded);
                Vector(unretarded);
                entry.receptorRetardedTravelTimes.push_back(std::move(retarded));
                entry.receptorUnretardedTravelTimes.push_back(std::move(unretarded));
                std::vector<ResultVector> concentrations;
                Vectors(concentrations, static_cast<std::int32_t>(project.timeSlices.size()));
                entry.receptorConcentrations.push_back(std::move(concentrations));
            }
        }
    }

    if (!singleLayerProperties) {
        const std::int32_t recordCount = Count(
            minimumPathwayPropertyBytes, TranslatableText("the number of pathway properties"));
        for (std::int32_t i = 0; i < recordCount; ++i) {
            const std::int32_t index = Int();
            PathwayContaminant record;
            ReadPathwayContaminant(record);
            if (index < 0 || !entry.pathwayProperties.emplace(index, std::move(record)).second)
                Damaged(TranslatableText("the pathway index"), index);
        }
    }
}

void ProjectFileReader::ReadPathwayContaminant(PathwayContaminant& record) {
    Param(record.uzHalfLife);
    record.degradationPhase = Int();
    record.partitionFromKoc = Int();
    Param(record.uzPartitionCoefficient);
    if (!withResults_) return;
    Vector(record.retardedTravelTime);
    Vector(record.matrixRetardedTravelTime);
    Vector(record.unretardedTravelTime);
    Vector(record.matrixUnretardedTravelTime);
    const std::int32_t sliceCount =
        Count(3 * minimumVectorBytes, TranslatableText("the number of result vectors"));
    for (std::int32_t j = 0; j < sliceCount; ++j) {
        ResultVector concentration, matrixConcentration, dilutedConcentration;
        Vector(concentration);
        Vector(matrixConcentration);
        Vector(dilutedConcentration);
        record.concentrations.push_back(std::move(concentration));
        record.matrixConcentrations.push_back(std::move(matrixConcentration));
        record.dilutedConcentrations.push_back(std::move(dilutedConcentration));
    }
}

void ProjectFileReader::ReadReceptor(Receptor& receptor) {
    receptor.x = Double();
    receptor.y = Double();
    receptor.visible = Bool();
    receptor.name = String();
    if (withResults_) {
        const std::int32_t recordCount =
            Count(minimumReceptorResultBytes, TranslatableText("the number of receptor results"));
        for (std::int32_t i = 0; i < recordCount; ++i) {
            ReceptorContaminant record;
            record.contaminant = Int();
            const std::int32_t sliceCount =
                Count(minimumVectorBytes, TranslatableText("the number of result vectors"));
            Vectors(record.totalConcentrations, sliceCount);
            Vector(record.totalUnretardedTravelTime);
            Vector(record.totalRetardedTravelTime);
            receptor.results.push_back(std::move(record));
        }
    }
    if (Newer(v2_0_5)) receptor.attached = Bool();
}

void ProjectFileReader::ReadContaminant(Contaminant& contaminant) {
    contaminant.name = String();
    contaminant.identifier = Int();
    contaminant.henryFlag = Bool();
    contaminant.partitionFromKoc = Int();
    Param(contaminant.koc);
    contaminant.standardStatus = Int();
    contaminant.furtherConstant1 = Double();
    contaminant.furtherConstant2 = Double();
    contaminant.standard = Double();
    Param(contaminant.partitionCoefficient);
    Param(contaminant.halfLife);
    contaminant.halfLifeOption = Int();
    Param(contaminant.backgroundConcentration);
    contaminant.backgroundOption = Int();
}

// The list is stored as its count and, per record, the name, the value, the
// reference input's identity and the correlated input's identity. A record
// the list refuses (a value outside -1..1, or an input correlated with
// itself) is one no run would apply; it is dropped, as the dialog would
// never have accepted it.
void ProjectFileReader::ReadCorrelations(Project& project) {
    project.correlations.Clear();
    const std::int32_t count =
        Count(minimumCorrelationBytes, TranslatableText("the number of correlations"));
    for (std::int32_t i = 0; i < count; ++i) {
        Correlation record;
        record.name = String();
        record.value = Double();
        record.referenceParameter = Int();
        record.correlatedParameter = Int();
        project.correlations.Add(record);
    }
}

// What a user can put right in the program is put right here instead of
// refusing the file: a reference to a receptor that is not there, and a
// standard selection that names no set. Whether the standards list has a
// set is known only when the standards were loaded; without them only a
// selection outside 0..4 is put right, so that the file's choice survives.
void ProjectFileReader::Repair(Project& project) const {
    const auto receptorCount = static_cast<long long>(project.receptors.size());
    for (Source& source : project.sources)
        if (source.attachedReceptor < -1 || source.attachedReceptor >= receptorCount)
            source.attachedReceptor = -1;
    const int selection = project.standardSelection;
    const bool known = selection >= Project::noStandardSelection &&
                       selection <= Project::userDefinedStandardSelection;
    const bool listedSet = selection == Project::noStandardSelection ||
                           selection == Project::userDefinedStandardSelection ||
                           project.standardSets.empty() ||
                           static_cast<std::size_t>(selection) <= project.standardSets.size();
    if (!known || !listedSet) project.standardSelection = Project::noStandardSelection;
}

} // namespace varnex
