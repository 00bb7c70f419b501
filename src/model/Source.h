#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/ParameterField.h"
#include "model/PlanPoint.h"
#include "model/SourceContaminant.h"
#include "model/UnsaturatedPathway.h"
#include "results/ResultVector.h"
#include "stochastic/StochasticParameter.h"

namespace varnex {

// A contaminant source: a polygon on the site plan with its soil properties,
// infiltration settings, inventory of contaminants and the unsaturated
// pathways (layers, top first) beneath it.
class Source {
public:
    // How each iteration's source centre is chosen.
    static constexpr int calculatedCentre = 0;  // "Calculated Centre": the centroid
    static constexpr int userDefinedCentre = 1; // "User Defined": `centre`
    static constexpr int randomCentre = 2;      // "Random Sampling": a random point inside
    // Declining source options.
    static constexpr int constantSource = 0;
    static constexpr int leachingDecline = 1;
    static constexpr int userDefinedDecline = 2;

    // A new source has one unsaturated pathway.
    Source();
    static const std::vector<ParameterField<Source>>& ParameterFields();
    // Labels and unit factors of the source, its pathways and its inventory.
    void ApplyNames();
    // New identities for every input of the source, its pathways and its
    // inventory (a duplicate must never share an input's identity).
    void Renumber();
    // All inputs of the source itself, of its pathways and of its inventory.
    std::vector<StochasticParameter*> AllParameters();
    bool Soakaway() const { return soakaway != 0; }

    std::string name;                // unique among the project's sources
    std::vector<PlanPoint> vertices; // the polygon in drawing order, metres
    PlanPoint centre;                // the user-defined centre
    // With a soakaway: 1 "Drainage System" (run-off from the catchment is led
    // into it), 0 "Non-drainage System".
    int drainageSystem = 0;
    StochasticParameter infiltration;            // "Infiltration [mm/yr]", internally m/yr
    StochasticParameter maximumInfiltrationRate; // "Maximum Infiltration Rate [m/d]"
    StochasticParameter catchmentArea;           // "Catchment Area [m²]"
    StochasticParameter runoffRecharge;          // "Run-off Recharge [mm/yr]", internally m/d
    StochasticParameter baseArea;                // "Base Area [m²]"
    // Non-zero: infiltration passes through a soakaway limited by the maximum
    // infiltration rate instead of being given by "Infiltration [mm/yr]".
    int soakaway = 0;
    StochasticParameter thickness;           // "Thickness [m]" of the contaminated soil
    StochasticParameter dryBulkDensity;      // "Dry Bulk Density [g/cm³]"
    StochasticParameter waterFilledPorosity; // "Water filled porosity [fraction]", at most 1
    StochasticParameter airFilledPorosity;   // "Air filled porosity [fraction]", at most 1
    StochasticParameter foc;                 // "Fraction of organic carbon (foc) [%]", at most 100
    StochasticParameter overallUnsaturatedZoneThickness; // "Overall Unsaturated Zone Thickness [m]"
    StochasticParameter moistureContent;                 // "Moisture Content [%]", at most 100
    StochasticParameter particleDensity;                 // "Particle Density [g/cm³]"
    // Derive the water and air filled porosities from moisture content and
    // the two densities.
    bool calculatePorosities = false;
    int decliningSource = constantSource;
    // One factor per time slice; present only with a user-defined decline.
    std::vector<double> declineFactors;
    int attachedReceptor = -1; // index of the source's own receptor
    int centreDefinition = randomCentre;
    // 1 "Red", 2 "Yellow", 3 "Green", 4 "Cyan", 5 "Blue", 6 "Magenta", 7 "White".
    std::int16_t fillColour = 5;
    // 1 "Solid", 2 "Back Diagonal", 3 "Cross", 4 "Diagonal Cross",
    // 5 "Forward Diagonal", 6 "Horizontal", 7 "Vertical".
    std::int16_t hatchStyle = 7;
    double timeOffset = 0.0; // years from the start of the simulation to the start of leaching
    std::vector<SourceContaminant> inventory;
    std::vector<UnsaturatedPathway> pathways;

    // Geometry in the aquifer frame, computed at the start of a run (the
    // vertices and the centre carry their rotated coordinates too).
    double extentX = 0.0;    // along the flow, m
    double extentY = 0.0;    // across the flow, m
    double signedArea = 0.0; // shoelace, m²
    PlanPoint centroid;      // aquifer frame (rotatedX, rotatedY)
    // The area the source infiltrates over, per iteration (m²): the polygon
    // area, or for a soakaway the area its infiltration needs.
    StochasticParameter sourceArea;
    // Per iteration: the centre of the source in the aquifer frame.
    std::vector<PlanPoint> centres;
    // Per iteration: the soakaway ran at saturated conductivity.
    std::vector<char> saturatedSoakaway;

    // Results of a run.
    ResultVector soilMass;                 // "Soil Mass", kg
    ResultVector mixingZoneFlow;           // m³/year, unlabelled
    ResultVector aquiferPoreVelocity;      // m/year, unlabelled
    ResultVector fullThicknessAquiferFlow; // m³/year, unlabelled
};

} // namespace varnex
