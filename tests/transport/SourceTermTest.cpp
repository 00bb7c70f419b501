// The source term against hand calculations: partitioning between soil,
// pore water and soil air, porosities from moisture content, the solubility
// limit, a late start, the leaching decline and user-defined factors, plume
// mode, and the errors it raises instead of producing NaN.

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

#include "base/Exception.h"
#include "model/Project.h"
#include "stochastic/IterationCount.h"
#include "support/Expectations.h"
#include "support/ModelBuilders.h"
#include "support/ScriptedRandomSource.h"
#include "transport/SourceTerm.h"
namespace varnex {
namespace {

constexpr std::size_t iterations = 3;
constexpr std::size_t it = 1; // the iteration computed; 0 and 2 must stay untouched

using test::ExpectError;

// One source "Tank" with the inventory benzene (organic, contaminant 0) and
// lead (inorganic, contaminant 1); nothing active and nothing sampled, so an
// input the source term should not read makes SampleAt throw.
class SourceTerm : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetProgramState();
        SetIterationCount(static_cast<int>(iterations));
        project.contaminants.push_back(test::MakeContaminant(1, "Benzene", true));
        project.contaminants.push_back(test::MakeContaminant(82, "Lead", false));
        std::string error;
        ASSERT_TRUE(project.AddSource(test::SquareSource("Tank"), error, false)) << error;
        ASSERT_EQ(Tank().inventory.size(), 2u);
        ASSERT_EQ(Benzene().contaminant, 1);
        ASSERT_EQ(Lead().contaminant, 82);
        project.timeSlices = {50.0, 100.0, 300.0};
    }

    Source& Tank() { return project.sources[0]; }
    SourceContaminant& Benzene() { return Tank().inventory[0]; }
    SourceContaminant& Lead() { return Tank().inventory[1]; }

    // A single value for every iteration.
    static void Give(StochasticParameter& input, const std::string& text) {
        test::SetInput(input, text);
        input.SampleAll(false);
    }
    // An input the run only sizes: all zeros.
    static void Zeros(StochasticParameter& input) {
        input.FreeSamples();
        input.Resize();
    }

    static void Activate(SourceContaminant& entry, bool inSoil) {
        entry.active = true;
        entry.measuredAs = inSoil ? SourceContaminant::measuredInSoil : 0;
    }

    // Soil with given porosities: rho_b, theta_w, theta_a.
    void GivenSoil(const std::string& bulk, const std::string& water, const std::string& air) {
        Give(Tank().dryBulkDensity, bulk);
        Give(Tank().waterFilledPorosity, water);
        Give(Tank().airFilledPorosity, air);
    }
    // Soil whose porosities come from moisture content: rho_b, rho_s, w;
    // the porosities are only sized.
    void MoistSoil(const std::string& bulk, const std::string& particle,
                   const std::string& moisture) {
        Tank().calculatePorosities = true;
        Give(Tank().dryBulkDensity, bulk);
        Give(Tank().particleDensity, particle);
        Give(Tank().moistureContent, moisture);
        Zeros(Tank().waterFilledPorosity);
        Zeros(Tank().airFilledPorosity);
    }
    // The partitioning inputs of an entry: C, H, Smax, Kd.
    static void Partitioning(SourceContaminant& entry, const std::string& concentration,
                             const std::string& henry, const std::string& solubility,
                             const std::string& kd) {
        Give(entry.concentration, concentration);
        Give(entry.henrysLawConstant, henry);
        Give(entry.maximumSolubility, solubility);
        Give(entry.partitionCoefficient, kd);
    }

    void PrepareResults() {
        for (Source& source : project.sources)
            for (SourceContaminant& entry : source.inventory) {
                entry.sourceConcentrations.assign(project.timeSlices.size(), ResultVector());
                for (ResultVector& v : entry.sourceConcentrations) v.Prepare(iterations, true);
            }
    }
    std::vector<char> Run() {
        PrepareResults();
        std::vector<char> limited{9, 9, 9}; // resized and reset by the call
        ComputeSourceTerm(project, it, limited);
        return limited;
    }
    // Result of iteration `it` at slice k; the other iterations must be 0.
    static double At(const SourceContaminant& entry, std::size_t k) {
        const ResultVector& v = entry.sourceConcentrations.at(k);
        EXPECT_EQ(v.At(0), 0.0) << "slice " << k;
        EXPECT_EQ(v.At(2), 0.0) << "slice " << k;
        return v.At(it);
    }
    double Kp(SourceContaminant& entry) { return PartitionFactor(project, Tank(), entry, it); }

    Project project;
};

TEST_F(SourceTerm, ConstantLeachateAppliesFromTheTimeOffsetOn) {
    // Declining 0, leachate: Kp = 1 and C = 2 mg/l from t0 = 100 on; the
    // slice at exactly t0 is not before the start. Only C is read.
    Activate(Benzene(), false);
    Give(Benzene().concentration, "2");
    Tank().timeOffset = 100.0;
    EXPECT_EQ(Kp(Benzene()), 1.0);
    const std::vector<char> limited = Run();
    EXPECT_EQ(At(Benzene(), 0), 0.0);
    EXPECT_EQ(At(Benzene(), 1), 2.0);
    EXPECT_EQ(At(Benzene(), 2), 2.0);
    EXPECT_EQ(limited, (std::vector<char>{0, 0}));
    // The inactive lead entry gets nothing.
    EXPECT_EQ(Lead().sourceConcentrations[2].At(it), 0.0);
}

TEST_F(SourceTerm, PartitionFactorWithAndWithoutTheAirPhase) {
    Activate(Benzene(), true);
    Activate(Lead(), true);
    GivenSoil("1.6", "0.2", "0.1");
    Partitioning(Benzene(), "100", "0.25", "1780", "2");
    Partitioning(Lead(), "85", "0", "1000", "2");
    // Benzene: 2 + (0.25 * 0.1 + 0.2) / 1.6 = 2 + 0.225 / 1.6 = 2.140625.
    EXPECT_DOUBLE_EQ(Kp(Benzene()), 2.140625);
    // Lead, H = 0: 2 + 0.2 / 1.6 = 2.125.
    EXPECT_DOUBLE_EQ(Kp(Lead()), 2.125);
    // The porosities sum to 0.3: left alone.
    EXPECT_EQ(Tank().waterFilledPorosity.SampleAt(it), 0.2);
    EXPECT_EQ(Tank().airFilledPorosity.SampleAt(it), 0.1);
}

TEST_F(SourceTerm, PorositiesSummingAboveOneAreScaledToOne) {
    Activate(Benzene(), true);
    GivenSoil("2", "0.6", "0.8");
    Partitioning(Benzene(), "1", "0.5", "1", "0");
    // f = 1 / 1.4: theta_w = 0.6 / 1.4 = 6/14, theta_a = 8/14;
    // Kp = 0 + (0.5 * 8/14 + 6/14) / 2 = (10/14) / 2 = 5/14.
    EXPECT_NEAR(Kp(Benzene()), 5.0 / 14.0, 1e-15);
    EXPECT_NEAR(Tank().waterFilledPorosity.SampleAt(it), 6.0 / 14.0, 1e-15);
    EXPECT_NEAR(Tank().airFilledPorosity.SampleAt(it), 8.0 / 14.0, 1e-15);
    EXPECT_EQ(Tank().waterFilledPorosity.SampleAt(0), 0.6); // other iterations untouched
}

// The transport asks for the partition factor many times an iteration (the
// first layer's inlet at every time and receptor), and how often depends on
// how its solutions are batched. The soil it sizes in place must therefore
// be a fixed point: a second call may change neither the factor nor the
// porosities and densities, or a result would depend on the batching.
TEST_F(SourceTerm, PartitionFactorIsTheSameOnEveryCall) {
    struct Soil {
        bool moist;
        const char *a, *b, *c;
    } soils[] = {
        {false, "2", "0.6", "0.8"},   {false, "1.7", "0.35", "0.7"}, {false, "1.3", "0.9", "0.3"},
        {false, "1.9", "0.2", "0.1"}, {true, "1.5", "2.5", "40"},    {true, "1.45", "2.65", "57"},
        {true, "1.6", "2.7", "10"},   {true, "1.1", "2.3", "85"},
    };
    Activate(Benzene(), true);
    Partitioning(Benzene(), "1", "0.3", "1", "0.7");
    for (const Soil& soil : soils) {
        if (soil.moist)
            MoistSoil(soil.a, soil.b, soil.c);
        else
            GivenSoil(soil.a, soil.b, soil.c);
        const double first = Kp(Benzene());
        const double water = Tank().waterFilledPorosity.SampleAt(it);
        const double air = Tank().airFilledPorosity.SampleAt(it);
        const double bulk = Tank().dryBulkDensity.SampleAt(it);
        const double particle = soil.moist ? Tank().particleDensity.SampleAt(it) : 0.0;
        for (int again = 0; again < 3; ++again) {
            EXPECT_EQ(Kp(Benzene()), first) << soil.a << " " << soil.b << " " << soil.c;
            EXPECT_EQ(Tank().waterFilledPorosity.SampleAt(it), water)
                << soil.a << " " << soil.b << " " << soil.c;
            EXPECT_EQ(Tank().airFilledPorosity.SampleAt(it), air)
                << soil.a << " " << soil.b << " " << soil.c;
            EXPECT_EQ(Tank().dryBulkDensity.SampleAt(it), bulk)
                << soil.a << " " << soil.b << " " << soil.c;
            if (soil.moist) {
                EXPECT_EQ(Tank().particleDensity.SampleAt(it), particle)
                    << soil.a << " " << soil.b << " " << soil.c;
            }
        }
    }
}

TEST_F(SourceTerm, PorositiesFromMoistureContent) {
    Activate(Benzene(), true);
    MoistSoil("1.5", "2.5", "10");
    Partitioning(Benzene(), "1", "0.2", "1", "1");
    // n = 1 - 1.5 / 2.5 = 0.4; s = 2.5 / (2.5 / 1.5 - 1) * 10 = 3.75 * 10
    // = 37.5 %; theta_w = 37.5 * 0.4 * 0.01 = 0.15; theta_a = 62.5 * 0.4 *
    // 0.01 = 0.25; Kp = 1 + (0.2 * 0.25 + 0.15) / 1.5 = 1 + 0.2 / 1.5.
    EXPECT_NEAR(Kp(Benzene()), 1.0 + 0.2 / 1.5, 1e-12);
    EXPECT_NEAR(Tank().waterFilledPorosity.SampleAt(it), 0.15, 1e-12);
    EXPECT_NEAR(Tank().airFilledPorosity.SampleAt(it), 0.25, 1e-12);
    EXPECT_EQ(Tank().waterFilledPorosity.SampleAt(0), 0.0);
    // Not oversaturated: the densities stay as drawn.
    EXPECT_EQ(Tank().dryBulkDensity.SampleAt(it), 1.5);
    EXPECT_EQ(Tank().particleDensity.SampleAt(it), 2.5);
}

TEST_F(SourceTerm, OversaturationScalesBothDensitiesOnce) {
    Activate(Benzene(), true);
    MoistSoil("1.5", "2.5", "40");
    Partitioning(Benzene(), "1", "0.2", "1", "1");
    // s = 3.75 * 40 = 150 %: f = 100 / 150 = 2/3, rho_b = 1.0, rho_s = 5/3,
    // n = 1 - 1 / (5/3) = 0.4 as before, s = 100 exactly: theta_w = 0.4,
    // theta_a = 0; Kp = 1 + 0.4 / 1.0 = 1.4.
    EXPECT_NEAR(Kp(Benzene()), 1.4, 1e-12);
    EXPECT_NEAR(Tank().dryBulkDensity.SampleAt(it), 1.0, 1e-12);
    EXPECT_NEAR(Tank().particleDensity.SampleAt(it), 5.0 / 3.0, 1e-12);
    EXPECT_NEAR(Tank().waterFilledPorosity.SampleAt(it), 0.4, 1e-12);
    EXPECT_EQ(Tank().airFilledPorosity.SampleAt(it), 0.0);
    EXPECT_EQ(Tank().dryBulkDensity.SampleAt(0), 1.5);
}

TEST_F(SourceTerm, EqualDensitiesLeaveNoPoreSpace) {
    Activate(Benzene(), true);
    Partitioning(Benzene(), "1", "0.2", "1", "3");
    // Dry: no water, no air, Kp = Kd = 3; the densities are not driven to 0.
    MoistSoil("2", "2", "0");
    EXPECT_EQ(Kp(Benzene()), 3.0);
    EXPECT_EQ(Tank().waterFilledPorosity.SampleAt(it), 0.0);
    EXPECT_EQ(Tank().airFilledPorosity.SampleAt(it), 0.0);
    EXPECT_EQ(Tank().dryBulkDensity.SampleAt(it), 2.0);
    EXPECT_EQ(Tank().particleDensity.SampleAt(it), 2.0);
    // Any moisture overfills a soil without pores.
    MoistSoil("2", "2", "5");
    ExpectError([&] { Kp(Benzene()); }, "Source Tank Saturation > 100%");
}

TEST_F(SourceTerm, DensityErrorsOfCalculatedPorosities) {
    Activate(Benzene(), true);
    Partitioning(Benzene(), "1", "0.2", "1", "3");
    MoistSoil("2.7", "2.6", "5");
    ExpectError([&] { Kp(Benzene()); }, "Source Tank Bulk Density > Particle Density");
    MoistSoil("1.6", "0", "5");
    ExpectError([&] { Kp(Benzene()); }, "Source Tank: Particle Density [g/cm³] is 0");
}

TEST_F(SourceTerm, KdFromKocAndFocOnlyWhenPartitioningIsNeeded) {
    Activate(Benzene(), true);
    Benzene().partitionFromKoc = 1;
    Give(project.contaminants[0].koc, "80");
    Give(Tank().foc, "2.5");
    GivenSoil("1.6", "0.2", "0.1");
    Partitioning(Benzene(), "100", "0.25", "1780", "5");
    const std::vector<char> limited = Run();
    // Kd = 2.5 * 0.01 * 80 = 2; Kp = 2 + 0.225 / 1.6 = 2.140625;
    // c = 100 / 2.140625 = 46.71532846715... mg/l, below 1780.
    EXPECT_DOUBLE_EQ(Benzene().partitionCoefficient.SampleAt(it), 2.0);
    EXPECT_EQ(Benzene().partitionCoefficient.SampleAt(0), 5.0);
    EXPECT_NEAR(At(Benzene(), 0), 46.715328467153, 1e-9);
    EXPECT_NEAR(At(Benzene(), 2), 46.715328467153, 1e-9);
    EXPECT_EQ(limited, (std::vector<char>{0, 0}));

    // A constant leachate entry needs no Kd: its sample is not replaced.
    Benzene().measuredAs = 0;
    Give(Benzene().partitionCoefficient, "7");
    Run();
    EXPECT_EQ(Benzene().partitionCoefficient.SampleAt(it), 7.0);
    EXPECT_EQ(At(Benzene(), 1), 100.0);
}

TEST_F(SourceTerm, SolubilityLimitCutsOnlyAboveSmaxAndOnlyInSoil) {
    // Lead: Kp = 2 + 0.2 / 1.6 = 2.125; c = 85 / 2.125 = 40 mg/l.
    Activate(Lead(), true);
    GivenSoil("1.6", "0.2", "0.1");
    Partitioning(Lead(), "85", "0", "39", "2");
    project.solubilityLimitedCount = {5, 5};
    std::vector<char> limited = Run();
    EXPECT_EQ(At(Lead(), 0), 39.0);
    EXPECT_EQ(At(Lead(), 2), 39.0);
    EXPECT_EQ(limited, (std::vector<char>{0, 1}));                       // lead is contaminant 1
    EXPECT_EQ(project.solubilityLimitedCount, (std::vector<int>{5, 5})); // the driver counts

    // Equal to Smax is not cut.
    Give(Lead().maximumSolubility, "40");
    limited = Run();
    EXPECT_EQ(At(Lead(), 1), 40.0);
    EXPECT_EQ(limited, (std::vector<char>{0, 0}));

    // A leachate measurement is never limited, even far above Smax.
    Lead().measuredAs = 0;
    Give(Lead().maximumSolubility, "1");
    limited = Run();
    EXPECT_EQ(At(Lead(), 1), 85.0);
    EXPECT_EQ(limited, (std::vector<char>{0, 0}));
}

TEST_F(SourceTerm, LimitedIsReportedFromAnySource) {
    std::string error;
    ASSERT_TRUE(project.AddSource(test::SquareSource("Pit", 20.0), error, false)) << error;
    Source& pit = project.sources[1];
    // Tank: leachate benzene, not limited. Pit: soil benzene, Kp = 0 + 0.5 /
    // 2 = 0.25, c = 10 / 0.25 = 40 > 30: cut.
    Activate(Benzene(), false);
    Give(Benzene().concentration, "3");
    SourceContaminant& pitBenzene = pit.inventory[0];
    Activate(pitBenzene, true);
    Partitioning(pitBenzene, "10", "0", "30", "0");
    Give(pit.dryBulkDensity, "2");
    Give(pit.waterFilledPorosity, "0.5");
    Give(pit.airFilledPorosity, "0");
    const std::vector<char> limited = Run();
    EXPECT_EQ(At(Benzene(), 1), 3.0);
    EXPECT_EQ(At(pitBenzene, 1), 30.0);
    EXPECT_EQ(limited, (std::vector<char>{1, 0}));
}

TEST_F(SourceTerm, LeachingDecline) {
    // I = 250 mm/yr = 0.25 m/yr, h = 2.5 m, rho_b = 2, theta_w = 0.25,
    // theta_a = 0, Kd = 4.875: Kp = 4.875 + 0.25 / 2 = 5 (computed for the
    // leachate entry too, as the source declines). t0 = 50.
    Tank().decliningSource = Source::leachingDecline;
    Tank().timeOffset = 50.0;
    project.timeSlices = {20.0, 50.0, 150.0};
    Give(Tank().infiltration, "250");
    ASSERT_DOUBLE_EQ(Tank().infiltration.SampleAt(it), 0.25);
    Give(Tank().thickness, "2.5");
    GivenSoil("2", "0.25", "0");
    Activate(Benzene(), false);
    Partitioning(Benzene(), "10", "0", "1", "4.875");
    Activate(Lead(), true);
    Partitioning(Lead(), "100", "0", "1000", "4.875");
    EXPECT_DOUBLE_EQ(Kp(Benzene()), 5.0);
    Run();
    // t = 20 < t0: 0. t = 50: x = 0, nothing removed.
    // t = 150: x = 0.25 * 1000 * 100 / (2 * 2.5 * 1000) = 25000 / 5000 = 5;
    // x / Kp = 1; removed = (1 - e^-1) * C0.
    // Benzene (leachate, below Smax 1 but never cut): 10 e^-1 = 3.678794411714.
    EXPECT_EQ(At(Benzene(), 0), 0.0);
    EXPECT_EQ(At(Benzene(), 1), 10.0);
    EXPECT_NEAR(At(Benzene(), 2), 3.678794411714423, 1e-12);
    // Lead (soil): at t0 100 / 5 = 20; then 100 e^-1 / 5 = 7.357588823428847.
    EXPECT_EQ(At(Lead(), 0), 0.0);
    EXPECT_DOUBLE_EQ(At(Lead(), 1), 20.0);
    EXPECT_NEAR(At(Lead(), 2), 7.357588823428847, 1e-12);
}

TEST_F(SourceTerm, LeachingDeclineOfASourceWithoutSoilMass) {
    // h = 0: the soil is leached out as soon as water passes (x infinite),
    // nothing while none has (t = t0, or I = 0).
    Tank().decliningSource = Source::leachingDecline;
    Tank().timeOffset = 50.0;
    Give(Tank().infiltration, "250");
    Give(Tank().thickness, "0");
    GivenSoil("2", "0.25", "0");
    Activate(Benzene(), false);
    Partitioning(Benzene(), "10", "0", "1", "4.875");
    Run();
    EXPECT_EQ(At(Benzene(), 0), 10.0); // t = 50 = t0
    EXPECT_EQ(At(Benzene(), 1), 0.0);
    EXPECT_EQ(At(Benzene(), 2), 0.0);
    Give(Tank().infiltration, "0");
    Run();
    EXPECT_EQ(At(Benzene(), 2), 10.0);
}

TEST_F(SourceTerm, UserDeclineTakesTheNearestSliceAndTheEarlierOnATie) {
    project.timeSlices = {10.0, 20.0, 40.0};
    Tank().decliningSource = Source::userDefinedDecline;
    Tank().declineFactors = {1.0, 0.5, 0.25};
    Activate(Benzene(), false);
    Give(Benzene().concentration, "8");
    const auto declined = [&](double t) {
        return UserDeclinedConcentration(project, Tank(), Benzene(), t, it);
    };
    EXPECT_EQ(declined(5.0), 8.0);   // nearest 10
    EXPECT_EQ(declined(15.0), 8.0);  // 5 from 10 and from 20: the earlier
    EXPECT_EQ(declined(16.0), 4.0);  // nearest 20
    EXPECT_EQ(declined(30.0), 4.0);  // 10 from 20 and from 40: the earlier
    EXPECT_EQ(declined(31.0), 2.0);  // nearest 40
    EXPECT_EQ(declined(400.0), 2.0); // beyond the last slice
    Tank().timeOffset = 12.0;
    EXPECT_EQ(declined(10.0), 0.0); // before the start

    // Through the whole step: Kp is computed (decline not 0), the leachate
    // entry gets C times the factor of its own slice: 8, 4, 2 -- and a soil
    // entry that divided by Kp = 0 + 0.5 / 2 = 0.25: 32, 16, 8 (Smax 20 cuts
    // the first).
    Tank().timeOffset = 0.0;
    GivenSoil("2", "0.5", "0");
    Partitioning(Benzene(), "8", "0", "1", "0");
    Activate(Lead(), true);
    Partitioning(Lead(), "8", "0", "20", "0");
    const std::vector<char> limited = Run();
    EXPECT_EQ(At(Benzene(), 0), 8.0);
    EXPECT_EQ(At(Benzene(), 1), 4.0);
    EXPECT_EQ(At(Benzene(), 2), 2.0);
    EXPECT_EQ(At(Lead(), 0), 20.0);
    EXPECT_EQ(At(Lead(), 1), 16.0);
    EXPECT_EQ(At(Lead(), 2), 8.0);
    EXPECT_EQ(limited, (std::vector<char>{0, 1}));

    // Fewer factors than slices: a clear error, not a read past the end.
    Tank().declineFactors = {1.0, 0.5};
    ExpectError([&] { declined(35.0); },
                "Source Tank has fewer declining factors than time slices");
    EXPECT_EQ(declined(14.0), 8.0);
}

TEST_F(SourceTerm, ZeroBulkDensityGivesPartitionFactorZero) {
    // No soil: Kp = 0 without looking at the porosities (rho_s 0 is no
    // error then); soil entries take their solubility and count as limited,
    // leachate entries keep C0 even while declining by leaching.
    Tank().decliningSource = Source::leachingDecline;
    Tank().calculatePorosities = true;
    Give(Tank().dryBulkDensity, "0");
    Give(Tank().particleDensity, "0");
    Give(Tank().infiltration, "250");
    Give(Tank().thickness, "2");
    Activate(Benzene(), false);
    Partitioning(Benzene(), "10", "0.2", "1", "4");
    Activate(Lead(), true);
    Partitioning(Lead(), "100", "0", "12", "4");
    EXPECT_EQ(Kp(Benzene()), 0.0);
    const std::vector<char> limited = Run();
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(At(Benzene(), k), 10.0);
        EXPECT_EQ(At(Lead(), k), 12.0);
    }
    EXPECT_EQ(limited, (std::vector<char>{0, 1}));
}

TEST_F(SourceTerm, PlumeModeComputesOnlyThePlumeContaminantAtThePlumeTime) {
    // Lead at t = 75 (not a slice) into slice 0; t0 = 60 lies after slice
    // 0's 50 years, so reading slice 0's time would give 0. Benzene is
    // active but not sampled: computing it would throw.
    project.plume.active = true;
    project.plume.contaminantIndex = 1;
    project.plume.timeYears = 75.0;
    Tank().timeOffset = 60.0;
    Activate(Benzene(), true);
    Activate(Lead(), true);
    GivenSoil("1.6", "0.2", "0.1");
    Partitioning(Lead(), "85", "0", "39", "2"); // 85 / 2.125 = 40 > 39
    const std::vector<char> limited = Run();
    EXPECT_EQ(At(Lead(), 0), 39.0);
    EXPECT_EQ(At(Lead(), 1), 0.0);
    EXPECT_EQ(At(Lead(), 2), 0.0);
    EXPECT_EQ(At(Benzene(), 0), 0.0);
    EXPECT_EQ(limited, (std::vector<char>{0, 1}));
}

TEST_F(SourceTerm, NonFiniteConcentrationIsAnError) {
    Activate(Lead(), false);
    Give(Lead().concentration, "2");
    Lead().concentration.SampleAt(it) = std::numeric_limits<double>::quiet_NaN();
    ExpectError([&] { Run(); },
                "Source Tank: the leachate concentration of Lead is not a finite number");
    Lead().concentration.SampleAt(it) = std::numeric_limits<double>::infinity();
    ExpectError([&] { Run(); },
                "Source Tank: the leachate concentration of Lead is not a finite number");
}

TEST(DecliningFactors, Warnings) {
    test::ResetProgramState();
    EXPECT_EQ(CheckDecliningFactors({}), "");
    EXPECT_EQ(CheckDecliningFactors({1.0, 1.0, 0.5, 0.0}), ""); // equal is not increasing
    EXPECT_EQ(CheckDecliningFactors({1.0, 0.8, 0.9}),
              "You have defined an increasing source term; 0.9 is greater then 0.8\n");
    // Two factors above 1 give the first line once; each rise its own line.
    EXPECT_EQ(CheckDecliningFactors({1.2, 1.5, 0.5, 0.75}),
              "One or more of the declining factors was greater than 1\n"
              "You have defined an increasing source term; 1.5 is greater then 1.2\n"
              "You have defined an increasing source term; 0.75 is greater then 0.5\n");
}

} // namespace
} // namespace varnex
