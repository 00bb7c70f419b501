#include "support/GeneratedProject.h"

#include <string>

namespace varnex::test {

namespace {

void Set(StochasticParameter& input, const char* text) { input.distribution.Parse(text); }

void Till(UnsaturatedPathway& layer) {
    layer.name = "Till";
    layer.flowModel = UnsaturatedPathway::porousMedium;
    Set(layer.thickness, "NORMAL(3.5,0.8)");
    Set(layer.waterFilledPorosity, "TRIANGULAR(0.2,0.27,0.32)");
    Set(layer.unsaturatedConductivity, "LOGUNIFORM(1e-8,1e-6)");
    Set(layer.verticalDispersivity, "TRIANGULAR(0.1,0.3,0.5)");
    Set(layer.foc, "TRIANGULAR(0.1,0.3,0.6)");
    Set(layer.dryBulkDensity, "TRIANGULAR(1.8,1.95,2.1)");
}

// Matrix conductivities each side of the infiltration, so that both the
// matrix-only and the fissure-flow branches run.
void Chalk(UnsaturatedPathway& layer) {
    layer.name = "Chalk";
    layer.flowModel = UnsaturatedPathway::dualPorosity;
    Set(layer.thickness, "NORMAL(17,3)");
    Set(layer.matrixConductivity, "LOGUNIFORM(1e-9,1e-8)");
    Set(layer.effectiveMatrixPorosity, "TRIANGULAR(0.25,0.32,0.4)");
    Set(layer.effectiveFissurePorosity, "TRIANGULAR(0.001,0.004,0.01)");
    Set(layer.verticalDispersivity, "TRIANGULAR(0.5,1.5,3)");
    Set(layer.foc, "TRIANGULAR(0.01,0.05,0.1)");
    Set(layer.dryBulkDensity, "TRIANGULAR(1.6,1.8,2)");
}

} // namespace

Project GeneratedLevel3Project(const ProjectSize& size) {
    Project project;
    project.simulationLevel = SimulationLevel::level3;
    project.timeSlices.clear();
    const double slices[] = {10.0, 25.0, 50.0, 100.0};
    for (int k = 0; k < size.slices; ++k)
        project.timeSlices.push_back(k < 4 ? slices[k] : 100.0 * static_cast<double>(1 << (k - 3)));
    project.processes = {true, true, true, true};

    Aquifer& aquifer = project.aquifer;
    aquifer.flowDirection = 90.0; // east: x' is the plan's x
    aquifer.calculateMixingZone = 1;
    Set(aquifer.thickness, "TRIANGULAR(30,40,50)");
    Set(aquifer.foc, "TRIANGULAR(0.01,0.05,0.1)");
    Set(aquifer.dryBulkDensity, "TRIANGULAR(1.7,1.85,2)");
    Set(aquifer.lateralDispersivity, "TRIANGULAR(1,3,6)");
    Set(aquifer.longitudinalDispersivity, "TRIANGULAR(10,30,60)");
    Set(aquifer.effectivePorosity, "TRIANGULAR(0.01,0.02,0.05)");
    Set(aquifer.hydraulicConductivity, "LOGUNIFORM(5e-5,5e-4)");
    Set(aquifer.hydraulicGradient, "TRIANGULAR(0.001,0.003,0.005)");

    // Four organics sorbing through koc and one species with entered kd.
    const char* koc[] = {"TRIANGULAR(50,66,100)", "TRIANGULAR(130,180,300)",
                         "TRIANGULAR(200,360,520)", "TRIANGULAR(240,380,500)"};
    for (int c = 0; c < size.contaminants; ++c) {
        Contaminant contaminant;
        contaminant.identifier = 1001 + c;
        contaminant.name = "Species " + std::to_string(c + 1);
        const bool organic = c % 5 < 4;
        contaminant.henryFlag = organic;
        contaminant.partitionFromKoc = organic ? 1 : 0;
        if (organic) {
            Set(contaminant.koc, koc[c % 5]);
            Set(contaminant.halfLife, "TRIANGULAR(0.3,1.5,6)");
        } else {
            Set(contaminant.partitionCoefficient, "LOGUNIFORM(0.3,5)");
            Set(contaminant.halfLife, "SINGLE(1000000)");
        }
        project.contaminants.push_back(contaminant);
    }

    for (int s = 0; s < size.sources; ++s) {
        Source source;
        source.name = "Source " + std::to_string(s + 1);
        const double x = 50.0 * (s / 5);
        const double y = 40.0 * (s % 5);
        source.vertices = {{x, y}, {x + 30, y}, {x + 30, y + 25}, {x, y + 25}};
        source.decliningSource = s == 0 ? Source::leachingDecline : Source::constantSource;
        Set(source.infiltration, "TRIANGULAR(50,120,200)");
        Set(source.thickness, "TRIANGULAR(1,2,3.5)");
        Set(source.dryBulkDensity, "TRIANGULAR(1.5,1.65,1.8)");
        Set(source.waterFilledPorosity, "TRIANGULAR(0.15,0.2,0.25)");
        Set(source.airFilledPorosity, "TRIANGULAR(0.08,0.12,0.18)");
        Set(source.foc, "TRIANGULAR(0.5,1.5,3)");
        Set(source.overallUnsaturatedZoneThickness, "TRIANGULAR(18,21,24)");
        Till(source.pathways.at(0));
        for (int p = 1; p < size.layers; ++p) {
            source.pathways.emplace_back();
            if (p % 2 == 1)
                Chalk(source.pathways.back());
            else
                Till(source.pathways.back());
            source.pathways.back().name += " " + std::to_string(p + 1);
        }
        std::string error;
        project.AddSource(source, error, false);
    }
    for (Source& source : project.sources) {
        for (SourceContaminant& entry : source.inventory) {
            const bool organic = (entry.contaminant - 1001) % 5 < 4;
            entry.active = true;
            entry.measuredAs = SourceContaminant::measuredInSoil;
            entry.partitionFromKoc = organic ? 1 : 0;
            Set(entry.concentration, organic ? "LOGTRIANGULAR(0.5,8,80)" : "LOGNORMAL(40,25)");
            if (organic) Set(entry.henrysLawConstant, "TRIANGULAR(0.2,0.25,0.3)");
            Set(entry.maximumSolubility, "SINGLE(500)");
            if (!organic) Set(entry.partitionCoefficient, "LOGUNIFORM(25,250)");
            for (auto& [layer, record] : entry.pathwayProperties) {
                record.partitionFromKoc = organic ? 1 : 0;
                if (!organic)
                    Set(record.uzPartitionCoefficient,
                        layer == 0 ? "LOGUNIFORM(5,50)" : "LOGUNIFORM(0.5,10)");
                Set(record.uzHalfLife, organic ? "TRIANGULAR(1,5,20)" : "SINGLE(1000000)");
            }
        }
    }

    const double distances[] = {400, 900, 1500};
    for (int r = 0; r < size.receptors; ++r) {
        Receptor receptor;
        receptor.name = "Receptor " + std::to_string(r + 1);
        receptor.x = distances[r % 3] + 150.0 * (r / 3);
        receptor.y = 50.0 + 10.0 * r;
        std::string error;
        project.AddReceptor(receptor, error);
    }
    return project;
}

} // namespace varnex::test
