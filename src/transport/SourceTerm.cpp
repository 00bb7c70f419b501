#include "transport/SourceTerm.h"

#include <cmath>
#include <limits>
#include <stdexcept>

#include "base/Exception.h"
#include "base/TextFormat.h"
#include "model/Project.h"
#include "settings/Translate.h"

namespace varnex {

namespace {

constexpr std::size_t noSlice = std::numeric_limits<std::size_t>::max();

// Relative band around a saturation of 100 % (and a pore volume filled to 1)
// within which sized soil is taken as exactly full: far wider than the few
// roundings of recomputing it, far narrower than anything measurable.
constexpr double saturationTolerance = 1e-12;

// An input error of a source: the translated format filled with the source's
// name, shown to the user. Callers mark the English format with
// TranslatableText so the check for missing translations finds it.
[[noreturn]] void SourceError(const char* format, const Source& source) {
    throw Exception(FormatText(TranslateFormat(format), {source.name}));
}

// The position of the entry's contaminant in the project's contaminant list,
// which is also its position in `limited`. Every inventory entry names a
// contaminant of the project (the inventory is kept in step with the list),
// so a missing one is a programming error.
std::size_t ContaminantIndex(const Project& project, const SourceContaminant& entry) {
    for (std::size_t c = 0; c < project.contaminants.size(); ++c)
        if (project.contaminants[c].identifier == entry.contaminant) return c;
    throw std::logic_error("inventory entry of contaminant " + std::to_string(entry.contaminant) +
                           " has no contaminant in the project");
}

// The soil, pore water and soil air phases only matter when a total soil
// concentration must be converted, or when the source declines by leaching
// or by factors (its partitioning inputs are then sampled too).
bool NeedsPartitioning(const Source& source, const SourceContaminant& entry) {
    return source.decliningSource != Source::constantSource || entry.MeasuredInSoil();
}

// Water and air filled porosities from the gravimetric moisture content w (%)
// and the two densities. The total porosity is n = 1 - rho_b / rho_s; the
// water fills s per cent of it, s = w * rho_b / n, written here as
// rho_s / (rho_s / rho_b - 1) * w. More water than pore space (s > 100) is
// taken to mean the densities are too high for that moisture: both are scaled
// once by 100 / s, which keeps n and brings s to exactly 100 (a repeated
// scaling could spin on rounding). Writes theta_w, theta_a and possibly
// rho_b, rho_s of iteration i.
void DerivePorosities(Source& source, std::size_t i) {
    double& bulk = source.dryBulkDensity.SampleAt(i);
    double& particle = source.particleDensity.SampleAt(i);
    const double moisture = source.moistureContent.SampleAt(i);
    // A particle density of 0 cannot give a porosity (1 - rho_b / 0); with
    // rho_b > 0 here it would also fail the density comparison, but naming
    // the input that is 0 tells the user what to correct.
    if (particle == 0.0)
        throw Exception(FormatText(TranslateFormat("Source %s: %s is 0"),
                                   {source.name, source.particleDensity.Label()}));
    if (bulk > particle)
        SourceError(TranslatableText("Source %s Bulk Density > Particle Density"), source);

    double& water = source.waterFilledPorosity.SampleAt(i);
    double& air = source.airFilledPorosity.SampleAt(i);
    const double voidRatioTerm = particle / bulk - 1.0;
    // Equal densities (or a difference lost to rounding) leave no pore space:
    // any moisture at all is more than it can hold; dry soil has neither water
    // nor air in its pores.
    if (1.0 - bulk / particle == 0.0 || voidRatioTerm == 0.0) {
        if (moisture > 0.0) SourceError(TranslatableText("Source %s Saturation > 100%%"), source);
        water = 0.0;
        air = 0.0;
        return;
    }
    double saturation = particle / voidRatioTerm * moisture;
    // The densities are sized in place, and the transport asks for the
    // partition factor many times an iteration: the sized soil must be a
    // fixed point. Sized soil recomputes to 100 % within a few units in the
    // last place, which counts as saturated rather than scaling again, and
    // the porosity comes from the densities as sized, so that every later
    // call finds the same water and air.
    if (saturation > 100.0 * (1.0 + saturationTolerance)) {
        const double f = 100.0 / saturation;
        bulk *= f;
        particle *= f;
    }
    if (saturation > 100.0 * (1.0 - saturationTolerance)) saturation = 100.0;
    const double porosity = 1.0 - bulk / particle;
    water = saturation * porosity * 0.01;
    air = (100.0 - saturation) * porosity * 0.01;
}

// The volume of water that has flushed through the source since it started,
// per mass of its soil: x = I * 1000 * (t - t0) / (rho_b * h * 1000), with I
// in m/year, t in years, rho_b in g/cm3 and h in m, giving l/kg (= ml/g), the
// unit of Kp. A source without soil mass (h = 0 or rho_b = 0) is leached out
// as soon as any water passes through it: x is then infinite, and 0 as long
// as no water has passed (no infiltration, or t = t0).
double FlushedVolume(const Source& source, double t, std::size_t i) {
    const double water = source.infiltration.SampleAt(i) * 1000.0 * (t - source.timeOffset);
    const double soil = source.dryBulkDensity.SampleAt(i) * source.thickness.SampleAt(i) * 1000.0;
    if (soil == 0.0) return water == 0.0 ? 0.0 : std::numeric_limits<double>::infinity();
    return water / soil;
}

} // namespace

void ComputeSourceTerm(Project& project, std::size_t i, std::vector<char>& limited) {
    // One flag per contaminant, set when its leachate was cut to its
    // solubility in some source; the driver sums them over the iterations,
    // so iterations on several threads never share a counter.
    limited.assign(project.contaminants.size(), 0);
    const bool plume = project.plume.active;
    for (Source& source : project.sources) {
        for (SourceContaminant& entry : source.inventory) {
            if (!project.EntryTakesPart(entry)) continue;
            const std::size_t c = ContaminantIndex(project, entry);
            const Contaminant& contaminant = project.contaminants[c];

            // Kd = koc * foc, foc given in per cent.
            if (NeedsPartitioning(source, entry) && entry.partitionFromKoc != 0)
                entry.partitionCoefficient.SampleAt(i) =
                    source.foc.SampleAt(i) * 0.01 * contaminant.koc.SampleAt(i);

            const double partitionFactor = PartitionFactor(project, source, entry, i);
            bool cut = false;
            // In plume mode a single time, the plume time, is computed into
            // the first time slice's result.
            const std::size_t slices = plume ? 1 : project.timeSlices.size();
            for (std::size_t k = 0; k < slices; ++k) {
                const double t = plume ? project.plume.timeYears : project.timeSlices[k];
                const double concentration =
                    ConcentrationAtTime(project, source, entry, t, i, partitionFactor, cut);
                // A NaN or infinite sample (or one a correlation moved
                // outside what the checks of the inputs allow) must not
                // spread silently into every later result.
                if (!std::isfinite(concentration))
                    throw Exception(FormatText(
                        TranslateFormat(
                            "Source %s: the leachate concentration of %s is not a finite number"),
                        {source.name, contaminant.name}));
                entry.sourceConcentrations.at(k).At(i) = concentration;
            }
            if (cut) limited[c] = 1;
        }
    }
}

double PartitionFactor(Project& /*project*/, Source& source, SourceContaminant& entry,
                       std::size_t i) {
    // A leachate concentration of a constant source is used as it is.
    if (!NeedsPartitioning(source, entry)) return 1.0;
    // Without soil there is nothing to partition into: Kp = 0 marks it, and
    // the concentration then takes its limit (the solubility for a soil
    // measurement, the measured leachate otherwise). This also keeps every
    // later division by rho_b away from zero.
    const double bulk = source.dryBulkDensity.SampleAt(i);
    if (bulk == 0.0) return 0.0;

    if (source.calculatePorosities) DerivePorosities(source, i);

    double& water = source.waterFilledPorosity.SampleAt(i);
    double& air = source.airFilledPorosity.SampleAt(i);
    // Water and air together cannot fill more than the whole volume: scale
    // both down in proportion. (A zero sum never reaches the division.)
    // Scaled once: the scaled pair sums to 1 within a unit or two in the
    // last place, which must not scale again on the next call.
    const double filled = water + air;
    if (filled > 1.0 + saturationTolerance) {
        const double f = 1.0 / filled;
        air *= f;
        water *= f;
    }
    // Total soil concentration over pore water concentration:
    // Kp = Kd + (H * theta_a + theta_w) / rho_b, with the dimensionless
    // Henry's law constant H giving the soil-air share of an organic species
    // (H is 0 for a species that does not volatilise).
    const double henry = entry.henrysLawConstant.SampleAt(i);
    return entry.partitionCoefficient.SampleAt(i) +
           (henry * air + water) / source.dryBulkDensity.SampleAt(i);
}

double ConcentrationAtTime(const Project& project, const Source& source,
                           const SourceContaminant& entry, double t, std::size_t i,
                           double partitionFactor, bool& limited) {
    // A source starting at t0 releases nothing before then; from t0 on (t0
    // itself included) it leaches.
    if (t < source.timeOffset) return 0.0;
    const double initial = source.decliningSource == Source::userDefinedDecline
                               ? UserDeclinedConcentration(project, source, entry, t, i)
                               : entry.concentration.SampleAt(i);
    if (partitionFactor == 0.0) {
        if (entry.MeasuredInSoil()) {
            limited = true;
            return entry.maximumSolubility.SampleAt(i);
        }
        return initial;
    }
    // Leaching decline: each pore volume flushed through the source carries
    // away the pore water concentration (total / Kp), so the total soil
    // concentration falls as C0 * exp(-x / Kp).
    double removed = 0.0;
    if (source.decliningSource == Source::leachingDecline) {
        const double x = FlushedVolume(source, t, i);
        removed = (1.0 - std::exp(-x / partitionFactor)) * initial;
    }
    if (entry.MeasuredInSoil()) {
        // Pore water concentration in equilibrium with the soil, at most the
        // species' solubility in water.
        const double c = (initial - removed) / partitionFactor;
        const double solubility = entry.maximumSolubility.SampleAt(i);
        if (c > solubility) {
            limited = true;
            return solubility;
        }
        return c;
    }
    return initial - removed;
}

double UserDeclinedConcentration(const Project& project, const Source& source,
                                 const SourceContaminant& entry, double t, std::size_t i) {
    if (t < source.timeOffset) return 0.0;
    // The factor of the nearest time slice; on a tie the earlier slice.
    double best = 1e308;
    std::size_t nearest = noSlice;
    for (std::size_t k = 0; k < project.timeSlices.size(); ++k) {
        const double distance = std::fabs(t - project.timeSlices[k]);
        if (distance < best) {
            best = distance;
            nearest = k;
            if (distance == 0.0) break;
        }
    }
    // The factor list is checked against the time slices before a run; a
    // list that still falls short must not be read beyond its end.
    if (nearest == noSlice || nearest >= source.declineFactors.size())
        SourceError(TranslatableText("Source %s has fewer declining factors than time slices"),
                    source);
    return entry.concentration.SampleAt(i) * source.declineFactors[nearest];
}

std::string CheckDecliningFactors(const std::vector<double>& factors) {
    // The line breaks are added outside the translated texts, which cannot
    // hold them.
    std::string warning;
    for (double factor : factors) {
        if (factor > 1.0) {
            warning += Translate("One or more of the declining factors was greater than 1");
            warning += '\n';
            break;
        }
    }
    for (std::size_t k = 0; k + 1 < factors.size(); ++k) {
        if (factors[k + 1] > factors[k]) {
            warning +=
                FormatText(TranslateFormat(
                               "You have defined an increasing source term; %g is greater then %g"),
                           {factors[k + 1], factors[k]});
            warning += '\n';
        }
    }
    return warning;
}

} // namespace varnex
