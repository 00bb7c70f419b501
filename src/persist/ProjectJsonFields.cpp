#include "persist/ProjectJsonFields.h"

#include "model/Project.h"

namespace varnex {

namespace {
constexpr bool required = true;
constexpr std::int64_t anyInt = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t maxInt = std::numeric_limits<std::int32_t>::max();
} // namespace

template <>
const std::vector<ProjectJsonField<Project>>& ProjectJsonFields<Project>() {
    using P = Project;
    static const std::vector<ProjectJsonField<P>> fields = {
        {"simulationLevel", &P::simulationLevel, SimulationLevel::level1, SimulationLevel::level3a},
        {"standardSelection", &P::standardSelection, Project::noStandardSelection,
         Project::userDefinedStandardSelection},
    };
    return fields;
}

template <>
const std::vector<ProjectJsonField<ProjectDetails>>& ProjectJsonFields<ProjectDetails>() {
    using D = ProjectDetails;
    static const std::vector<ProjectJsonField<D>> fields = {
        {"title", &D::title},
        {"clientName", &D::clientName},
        {"projectNumber", &D::projectNumber},
        {"preparedBy", &D::preparedBy},
        {"comment", &D::comment},
    };
    return fields;
}

template <>
const std::vector<ProjectJsonField<ActiveProcesses>>& ProjectJsonFields<ActiveProcesses>() {
    using A = ActiveProcesses;
    static const std::vector<ProjectJsonField<A>> fields = {
        {"retardedTravelUz", &A::retardedTravelUz},
        {"biodegradationUz", &A::biodegradationUz},
        {"retardedTravelAquifer", &A::retardedTravelAquifer},
        {"biodegradationAquifer", &A::biodegradationAquifer},
    };
    return fields;
}

template <>
const std::vector<ProjectJsonField<SitePlan>>& ProjectJsonFields<SitePlan>() {
    using S = SitePlan;
    static const std::vector<ProjectJsonField<S>> fields = {
        {"showBackgroundMap", &S::showBackgroundMap},
        {"showGrid", &S::showGrid},
        {"gridSpacing", &S::gridSpacing},
        {"backgroundMapFile", &S::backgroundMapFile},
        {"mapOffsetX", &S::mapOffsetX},
        {"mapOffsetY", &S::mapOffsetY},
        {"mapScale", &S::mapScale},
    };
    return fields;
}

template <>
const std::vector<ProjectJsonField<Aquifer>>& ProjectJsonFields<Aquifer>() {
    using A = Aquifer;
    static const std::vector<ProjectJsonField<A>> fields = {
        {"dilutionFlag", &A::dilutionFlag},   {"calculateMixingZone", &A::calculateMixingZone},
        {"aquiferFlag", &A::aquiferFlag},     {"secondAquiferFlag", &A::secondAquiferFlag},
        {"flowDirection", &A::flowDirection},
    };
    return fields;
}

template <>
const std::vector<ProjectJsonField<Source>>& ProjectJsonFields<Source>() {
    using S = Source;
    static const std::vector<ProjectJsonField<S>> fields = {
        {"name", &S::name, anyInt, maxInt, required},
        {"centreDefinition", &S::centreDefinition, Source::calculatedCentre, Source::randomCentre},
        {"drainageSystem", &S::drainageSystem},
        {"soakaway", &S::soakaway},
        {"calculatePorosities", &S::calculatePorosities},
        {"decliningSource", &S::decliningSource, Source::constantSource,
         Source::userDefinedDecline},
        // Checked against the receptors once they are read.
        {"attachedReceptor", &S::attachedReceptor, -1, maxInt},
        {"fillColour", &S::fillColour, 1, 7},
        {"hatchStyle", &S::hatchStyle, 1, 7},
        {"timeOffset", &S::timeOffset},
    };
    return fields;
}

template <>
const std::vector<ProjectJsonField<UnsaturatedPathway>>& ProjectJsonFields<UnsaturatedPathway>() {
    using U = UnsaturatedPathway;
    static const std::vector<ProjectJsonField<U>> fields = {
        {"name", &U::name},
        {"flowModel", &U::flowModel, UnsaturatedPathway::porousMedium,
         UnsaturatedPathway::dualPorosity},
        {"include", &U::include},
    };
    return fields;
}

template <>
const std::vector<ProjectJsonField<SourceContaminant>>& ProjectJsonFields<SourceContaminant>() {
    using E = SourceContaminant;
    static const std::vector<ProjectJsonField<E>> fields = {
        // Checked against the project's contaminants.
        {"contaminant", &E::contaminant, anyInt, maxInt, required},
        {"active", &E::active},
        {"measuredAs", &E::measuredAs},
        {"partitionFromKoc", &E::partitionFromKoc},
    };
    return fields;
}

template <>
const std::vector<ProjectJsonField<PathwayContaminant>>& ProjectJsonFields<PathwayContaminant>() {
    using P = PathwayContaminant;
    static const std::vector<ProjectJsonField<P>> fields = {
        {"degradationPhase", &P::degradationPhase, 0, 1},
        {"partitionFromKoc", &P::partitionFromKoc},
    };
    return fields;
}

template <>
const std::vector<ProjectJsonField<Receptor>>& ProjectJsonFields<Receptor>() {
    using R = Receptor;
    static const std::vector<ProjectJsonField<R>> fields = {
        {"name", &R::name, anyInt, maxInt, required},
        {"x", &R::x},
        {"y", &R::y},
        {"visible", &R::visible},
        {"attached", &R::attached},
    };
    return fields;
}

template <>
const std::vector<ProjectJsonField<Contaminant>>& ProjectJsonFields<Contaminant>() {
    using C = Contaminant;
    static const std::vector<ProjectJsonField<C>> fields = {
        {"name", &C::name, anyInt, maxInt, required},
        // Inventory entries name their species by it, so it must be a real
        // number of a species, not the "none yet" of a new record.
        {"identifier", &C::identifier, 1, maxInt, required},
        {"henryFlag", &C::henryFlag},
        {"partitionFromKoc", &C::partitionFromKoc},
        {"standardStatus", &C::standardStatus, 0, Contaminant::noStandard},
        {"standard", &C::standard},
        {"furtherConstant1", &C::furtherConstant1},
        {"furtherConstant2", &C::furtherConstant2},
        {"halfLifeOption", &C::halfLifeOption, 0, 1},
        {"backgroundOption", &C::backgroundOption},
    };
    return fields;
}

} // namespace varnex
