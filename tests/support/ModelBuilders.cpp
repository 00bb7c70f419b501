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
    EXPECT_TRUE(input.distribution.Parse(text)) << input.Label() << ": " << text << " - " << input.ErrorText();
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

} // namespace varnex::test
