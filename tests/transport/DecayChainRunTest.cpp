// Decay chains through the whole run: the source, two unsaturated layers,
// the mixing zone and the aquifer to a borehole (tests/transport/data/
// level3-chain.json: tetrachloroethene leaching alone, its three daughters
// formed on the way).
//
// Where every member has the same retardation, the yields are the ratios
// of the molar masses and the last member does not decay, decay only
// passes moles down the chain. The moles of all members together then move
// exactly as a solute that does not decay at all, through each layer (all
// members enter it at the same time, so the layer's coupled equations sum
// to the single-member equation without decay), the mixing zone (the same
// dilution for all) and the aquifer (the same spreading): a law of
// conservation that checks the chain against a run without chains.

#include <array>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

#include "TransportRunSupport.h"
#include "model/Contaminant.h"
#include "stochastic/Distribution.h"

namespace varnex {
namespace {

using test::LoadTransportFixture;
using test::RunProject;

// Standard atomic weights: C2Cl4, C2HCl3, cis-C2H2Cl2, C2H3Cl (g/mol).
constexpr std::array<double, 4> molarMass = {165.83, 131.39, 96.94, 62.50};

// SINGLE(v) with every digit of v (std::to_string keeps six decimals).
std::string SingleText(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "SINGLE(%.17g)", value);
    return text;
}

void SetSingle(StochasticParameter& input, double value) {
    Distribution distribution = input.distribution;
    ASSERT_TRUE(distribution.Parse(SingleText(value)));
    input.distribution = distribution;
}

// The fixture's contaminants made a chain PCE -> TCE -> DCE -> VC with
// yields of `yieldFactor` times the molar-mass ratios.
Project ChainProject(double yieldFactor, SolverKernel kernel) {
    Project project = LoadTransportFixture("level3-chain.json");
    for (std::size_t c = 1; c < project.contaminants.size(); ++c) {
        Contaminant& daughter = project.contaminants[c];
        daughter.parentIdentifier = project.contaminants[c - 1].identifier;
        SetSingle(daughter.yield, yieldFactor * molarMass[c] / molarMass[c - 1]);
    }
    project.solverKernel = kernel;
    return project;
}

struct Moles {
    std::vector<double> unsaturated[2]; // per layer, per slice
    std::vector<double> matrix;         // the second layer's matrix water, per slice
    std::vector<double> diluted;
    std::vector<double> receptor;
};

// The fixture's second layer as fissured rock whose matrix cannot take the
// infiltration (0.03 m/year against 0.3): water runs down the fissures,
// where nothing degrades, and through the matrix, where the chain forms.
void FissureTheSecondLayer(Project& project) {
    UnsaturatedPathway& layer = project.sources[0].pathways[1];
    layer.flowModel = UnsaturatedPathway::dualPorosity;
    SetSingle(layer.matrixConductivity, 1e-9);
    SetSingle(layer.effectiveMatrixPorosity, 0.1);
    SetSingle(layer.effectiveFissurePorosity, 0.01);
}

// The molar sum of the run's results in PCE-equivalent mg/l (iteration 0).
Moles MolarSums(const Project& project, std::size_t members) {
    const Source& source = project.sources[0];
    const std::size_t slices = project.timeSlices.size();
    Moles moles;
    for (auto& layer : moles.unsaturated) layer.assign(slices, 0.0);
    moles.matrix.assign(slices, 0.0);
    moles.diluted.assign(slices, 0.0);
    moles.receptor.assign(slices, 0.0);
    for (std::size_t c = 0; c < members; ++c) {
        const double toPce = molarMass[0] / molarMass[c];
        const SourceContaminant& entry = source.inventory[c];
        for (std::size_t k = 0; k < slices; ++k) {
            for (int p = 0; p < 2; ++p)
                moles.unsaturated[p][k] +=
                    entry.pathwayProperties.at(p).concentrations[k].At(0) * toPce;
            moles.matrix[k] += entry.pathwayProperties.at(1).matrixConcentrations[k].At(0) * toPce;
            moles.diluted[k] +=
                entry.pathwayProperties.at(1).dilutedConcentrations[k].At(0) * toPce;
            moles.receptor[k] +=
                project.receptors[0].results[c].totalConcentrations[k].At(0) * toPce;
        }
    }
    return moles;
}

TEST(DecayChainRunTest, PassesMolesDownTheChainThroughLayersMixingZoneAndAquifer) {
    for (bool fissured : {false, true})
        for (SolverKernel kernel : {SolverKernel::exact, SolverKernel::fast}) {
            SCOPED_TRACE(fissured ? "fissured second layer" : "porous layers");
            Project chain = ChainProject(1.0, kernel);
            // The same site with tetrachloroethene that does not degrade: a
            // conservative solute under the same processes (with
            // biodegradation switched off instead, a fissured layer's matrix
            // water would not be computed at all).
            Project conservative = LoadTransportFixture("level3-chain.json");
            for (auto& [layer, record] : conservative.sources[0].inventory[0].pathwayProperties)
                SetSingle(record.uzHalfLife, 1e30);
            SetSingle(conservative.contaminants[0].halfLife, 1e30);
            conservative.solverKernel = kernel;
            if (fissured) {
                FissureTheSecondLayer(chain);
                FissureTheSecondLayer(conservative);
            }
            ASSERT_TRUE(RunProject(chain).succeeded);
            ASSERT_TRUE(RunProject(conservative).succeeded);
            if (fissured)
                ASSERT_NE(chain.sources[0].pathways[1].fissureFlowing.at(0), 0)
                    << "no fissure flow";
            const Moles moles = MolarSums(chain, 4);
            const Moles pce = MolarSums(conservative, 1);
            // The closed form and the inversion hold the sum to their accuracy
            // (the inversion's about 1e-8 relative on a front, 1e-10 absolute in
            // its foot).
            auto near = [&](double got, double expected) {
                return std::fabs(got - expected) <= 2e-7 * std::fabs(expected) + 1e-10;
            };
            // Under fissure flow the matrix water carries moles too.
            if (fissured) EXPECT_GT(pce.matrix.back(), 0.01);
            bool formed = false;
            for (std::size_t k = 0; k < chain.timeSlices.size(); ++k) {
                for (int p = 0; p < 2; ++p)
                    EXPECT_PRED2(near, moles.unsaturated[p][k], pce.unsaturated[p][k])
                        << "layer " << p << ", slice " << k << ", " << SolverKernelName(kernel);
                EXPECT_PRED2(near, moles.matrix[k], pce.matrix[k]) << "slice " << k;
                EXPECT_PRED2(near, moles.diluted[k], pce.diluted[k]) << "slice " << k;
                EXPECT_PRED2(near, moles.receptor[k], pce.receptor[k]) << "slice " << k;
                // And the daughters really formed (the law is not met by zeros):
                // vinyl chloride carries some per cent of the moles at the borehole.
                const double vinylChloride =
                    chain.receptors[0].results[3].totalConcentrations[k].At(0) * molarMass[0] /
                    molarMass[3];
                if (vinylChloride > 0.01 * moles.receptor[k] && vinylChloride > 0.0) formed = true;
            }
            EXPECT_TRUE(formed) << "no vinyl chloride at the borehole";
        }
}

// With yields of 0 nothing forms: every daughter's every result equals its
// run as a contaminant alone, to the bit (the daughters' own solutions go
// the chain's way, one by one, and must be the batch's numbers).
TEST(DecayChainRunTest, WithZeroYieldsEveryDaughterEqualsItsRunAloneToTheBit) {
    for (SolverKernel kernel : {SolverKernel::fast, SolverKernel::reference, SolverKernel::exact}) {
        Project chain = ChainProject(0.0, kernel);
        Project alone = LoadTransportFixture("level3-chain.json");
        alone.solverKernel = kernel;
        // Some of the daughter's own leachate, so that its own solution is
        // not all zeros.
        for (Project* p : {&chain, &alone})
            SetSingle(p->sources[0].inventory[2].concentration, 0.3);
        ASSERT_TRUE(RunProject(chain).succeeded);
        ASSERT_TRUE(RunProject(alone).succeeded);
        for (std::size_t c = 0; c < 4; ++c) {
            const SourceContaminant& a = chain.sources[0].inventory[c];
            const SourceContaminant& b = alone.sources[0].inventory[c];
            for (std::size_t k = 0; k < chain.timeSlices.size(); ++k) {
                for (int p = 0; p < 2; ++p)
                    EXPECT_EQ(a.pathwayProperties.at(p).concentrations[k].At(0),
                              b.pathwayProperties.at(p).concentrations[k].At(0));
                EXPECT_EQ(a.receptorConcentrations[0][k].At(0),
                          b.receptorConcentrations[0][k].At(0));
                EXPECT_EQ(chain.receptors[0].results[c].totalConcentrations[k].At(0),
                          alone.receptors[0].results[c].totalConcentrations[k].At(0));
            }
        }
    }
}

// Level 3a: tetrachloroethene and trichloroethene entered at the aquifer
// (tests/transport/data/level3a.json with a second contaminant); at the
// borehole, trichloroethene is its own plume plus what tetrachloroethene's
// decay forms on the way. Expected values: tests/reference/
// decay_chain_level3a.py (30 digits; Talbot's inversion of the chain
// transform, van Genuchten and Alves' closed form, the exact lateral factor).
TEST(DecayChainRunTest, Level3aFormsTheDaughterInTheAquifer) {
    struct Expected {
        double years, alone, withParent;
    };
    const Expected expected[] = {
        {3, 0.0062540928702218051, 0.0074200960992140134},
        {10, 0.012497909882625974, 0.038738035237423422},
        {30, 0.012497951207625409, 0.040132173906455836},
    };
    for (bool chain : {false, true}) {
        Project project = LoadTransportFixture("level3a.json");
        project.timeSlices = {3.0, 10.0, 30.0};
        project.processes.biodegradationAquifer = true;
        project.solverKernel = SolverKernel::exact;
        // The fixture's contaminant becomes tetrachloroethene; trichloroethene
        // is added beside it, entered at half the concentration.
        Contaminant& pce = project.contaminants[0];
        pce.name = "Tetrachloroethene";
        SetSingle(pce.partitionCoefficient, 0.5);
        SetSingle(pce.halfLife, 2.0);
        pce.halfLifeOption = 0; // in situ
        Contaminant tce = pce;
        tce.name = "Trichloroethene";
        tce.identifier = pce.identifier + 1;
        SetSingle(tce.partitionCoefficient, 0.2);
        SetSingle(tce.halfLife, 1.0);
        tce.halfLifeOption = 1; // aqueous phase
        if (chain) {
            tce.parentIdentifier = pce.identifier;
            SetSingle(tce.yield, molarMass[1] / molarMass[0]);
        }
        project.contaminants.push_back(tce);
        SourceContaminant entry = project.sources[0].inventory[0];
        SetSingle(project.sources[0].inventory[0].concentration, 1.0);
        entry.contaminant = tce.identifier;
        SetSingle(entry.concentration, 0.5);
        project.sources[0].inventory.push_back(entry);
        ASSERT_TRUE(RunProject(project).succeeded);
        // The source point is the centroid, as the reference assumes.
        ASSERT_EQ(project.sources[0].centres.at(0).rotatedX, 10.0);
        const std::size_t borehole = 1;
        for (std::size_t k = 0; k < 3; ++k) {
            const double want = chain ? expected[k].withParent : expected[k].alone;
            const double got = project.receptors[borehole].results[1].totalConcentrations[k].At(0);
            EXPECT_NEAR(got, want, 1e-9 * want) << expected[k].years << " years, chain " << chain;
        }
    }
}

} // namespace
} // namespace varnex
