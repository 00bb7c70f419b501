#include "support/ModelBuilders.h"

#include <gtest/gtest.h>

namespace varnex::test {

Source SquareSource(const std::string& name, double x0, double y0, double side) {
    Source source;
    source.name = name;
    source.vertices = {{x0, y0}, {x0 + side, y0}, {x0 + side, y0 + side}, {x0, y0 + side}};
    return source;
}

Contaminant MakeContaminant(int identifier, const std::string& name, bool organic) {
    Contaminant contaminant;
    contaminant.identifier = identifier;
    contaminant.name = name;
    contaminant.henryFlag = organic;
    contaminant.partitionFromKoc = organic ? 1 : 0;
    return contaminant;
}

void SetInput(StochasticParameter& input, const std::string& text) {
    EXPECT_TRUE(input.distribution.Parse(text))
        << input.Label() << ": " << text << " - " << input.ErrorText();
}

Project ValidLevel1Project() {
    Project project;
    project.contaminants.push_back(MakeContaminant(1, "Benzene", true));
    std::string error;
    EXPECT_TRUE(project.AddSource(SquareSource("Tank"), error, false)) << error;
    SourceContaminant& entry = project.sources[0].inventory.at(0);
    entry.active = true;
    entry.measuredAs = 0; // leachate
    entry.ApplyNames();
    SetInput(entry.concentration, "2");
    return project;
}

Project LeachingLevel1Project(const std::string& concentration) {
    Project project = ValidLevel1Project();
    Source& tank = project.sources[0];
    SourceContaminant& entry = tank.inventory[0];
    SetInput(entry.concentration, concentration);
    tank.decliningSource = Source::leachingDecline;
    SetInput(tank.infiltration, "100");
    SetInput(tank.thickness, "10");
    SetInput(tank.dryBulkDensity, "1.7");
    SetInput(tank.waterFilledPorosity, "0.2");
    SetInput(tank.airFilledPorosity, "0.1");
    SetInput(entry.maximumSolubility, "1000000");
    SetInput(entry.partitionCoefficient, "1");
    SetInput(entry.henrysLawConstant, "0.2");
    return project;
}

} // namespace varnex::test
