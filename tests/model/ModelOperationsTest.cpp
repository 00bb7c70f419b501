// Adding, duplicating and removing sources, receptors, contaminants and
// pathways, with the references between them kept consistent.

#include <cmath>
#include <gtest/gtest.h>

#include "model/Project.h"
#include "support/ModelBuilders.h"
#include "support/ScriptedRandomSource.h"

namespace varnex {
namespace {

class ModelOperations : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetProgramState();
        project.contaminants.push_back(test::MakeContaminant(1, "Benzene", true));
        project.contaminants.push_back(test::MakeContaminant(1500, "Site species", true));
    }
    Project project;
    std::string error;
};

TEST_F(ModelOperations, ThirtySourcesAtMost) {
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(project.AddSource(test::SquareSource("S" + std::to_string(i)), error, false))
            << error;
    EXPECT_FALSE(project.AddSource(test::SquareSource("S30"), error, false));
    EXPECT_EQ(error, "Maximum number of sources exceeded.");
    EXPECT_EQ(project.sources.size(), 30u);
}

// Receptors multiply every result a run keeps: a hundred at most, and a
// source's own receptor counts among them.
TEST_F(ModelOperations, AHundredReceptorsAtMost) {
    for (int i = 0; i < 100; ++i) {
        Receptor receptor;
        receptor.name = "R" + std::to_string(i);
        ASSERT_TRUE(project.AddReceptor(receptor, error)) << error;
    }
    Receptor another;
    another.name = "R100";
    EXPECT_FALSE(project.AddReceptor(another, error));
    EXPECT_EQ(error, "Maximum number of receptors exceeded.");
    EXPECT_EQ(project.receptors.size(), 100u);
    EXPECT_FALSE(project.AddSource(test::SquareSource("Tank"), error, true));
    EXPECT_EQ(error, "Maximum number of receptors exceeded.");
    EXPECT_TRUE(project.sources.empty());
}

TEST_F(ModelOperations, SourceNamesAreComparedExactly) {
    ASSERT_TRUE(project.AddSource(test::SquareSource("Tank"), error, false));
    EXPECT_TRUE(project.AddSource(test::SquareSource("tank"), error, false));
    EXPECT_FALSE(project.AddSource(test::SquareSource("Tank"), error, true));
    EXPECT_EQ(error, "Duplicate source name: \"Tank\"");
    EXPECT_EQ(project.receptors.size(), 0u);
    // An added source gets its inventory.
    EXPECT_EQ(project.sources[0].inventory.size(), 2u);
}

struct ReceptorCase {
    double flowDirection;
    double x, y; // expected, worked by hand
};

class AttachedReceptor : public ModelOperations,
                         public ::testing::WithParamInterface<ReceptorCase> {};

TEST_P(AttachedReceptor, FiveMetresBeyondTheFurthestVertexAlongTheFlow) {
    // Square (0,0) (10,0) (10,10) (0,10).
    //  90 deg: no rotation; largest x 10, first at (10,0): (15, 0).
    //   0 deg (flow north): rotated by -90, (x,y) -> (y,-x); largest x' is
    //        10 first at (10,10) -> (10,-10); (15,-10) turned back by +90
    //        -> (10, 15).
    // 180 deg (flow south): rotated by 90, (x,y) -> (-y,x); (0,0) and (10,0)
    //        are equally far downstream, but pi to ten decimals makes cos 90
    //        a tiny positive number, so (10,0) is the furthest by 5e-10 m;
    //        its y' is 10, and (5,10) turned back by -90 is (10,-5).
    // 270 deg (flow west): rotated by 180; largest x' is 0 first at (0,0);
    //        (5,0) turned back -> (-5, 0).
    const ReceptorCase c = GetParam();
    project.aquifer.flowDirection = c.flowDirection;
    ASSERT_TRUE(project.AddSource(test::SquareSource("Tank"), error, true)) << error;
    ASSERT_EQ(project.receptors.size(), 1u);
    const Receptor& receptor = project.receptors[0];
    EXPECT_EQ(receptor.name, "Tank Receptor");
    EXPECT_TRUE(receptor.attached);
    EXPECT_NEAR(receptor.x, c.x, 1e-8);
    EXPECT_NEAR(receptor.y, c.y, 1e-8);
    EXPECT_EQ(project.sources[0].attachedReceptor, 0);
}

INSTANTIATE_TEST_SUITE_P(FlowDirections, AttachedReceptor,
                         ::testing::Values(ReceptorCase{90, 15, 0}, ReceptorCase{0, 10, 15},
                                           ReceptorCase{180, 10, -5}, ReceptorCase{270, -5, 0}));

TEST_F(ModelOperations, ReceptorOfAnObliqueFlow) {
    // Flow direction 135: the frame is the plan turned by 45 degrees. A
    // vertex's downstream coordinate is x' = (x - y) / sqrt 2: largest for
    // (10,0), x' = 7.0711, y' = 7.0711. The point (12.0711, 7.0711) turned
    // back by -45 degrees is ((x'+y')/sqrt2, (y'-x')/sqrt2) = (13.5355,
    // -3.5355): 5 m from (10,0) in the direction (1,-1)/sqrt2.
    project.aquifer.flowDirection = 135;
    ASSERT_TRUE(project.AddSource(test::SquareSource("Tank"), error, true));
    EXPECT_NEAR(project.receptors[0].x, 10 + 5 / std::sqrt(2.0), 1e-8);
    EXPECT_NEAR(project.receptors[0].y, -5 / std::sqrt(2.0), 1e-8);
}

TEST_F(ModelOperations, SourceWithoutVerticesGetsItsReceptorAtTheOrigin) {
    Source source;
    source.name = "Empty";
    project.aquifer.flowDirection = 30;
    ASSERT_TRUE(project.AddSource(source, error, true));
    EXPECT_EQ(project.receptors[0].x, 0.0);
    EXPECT_EQ(project.receptors[0].y, 0.0);
}

TEST_F(ModelOperations, ReceptorNamesMustBeUnique) {
    Receptor receptor;
    receptor.name = "Well";
    ASSERT_TRUE(project.AddReceptor(receptor, error));
    EXPECT_FALSE(project.AddReceptor(receptor, error));
    EXPECT_EQ(error, "Duplicate receptor name: \"Well\"");
    receptor.name = "Tank Receptor";
    ASSERT_TRUE(project.AddReceptor(receptor, error));
    // A source whose receptor's name is taken is refused as a whole.
    EXPECT_FALSE(project.AddSource(test::SquareSource("Tank"), error, true));
    EXPECT_EQ(error, "Duplicate receptor name: \"Tank Receptor\"");
    EXPECT_TRUE(project.sources.empty());
    EXPECT_EQ(project.receptors.size(), 2u);
}

TEST_F(ModelOperations, NewContaminantIdentifiers) {
    Project fresh;
    fresh.contaminants.push_back(test::MakeContaminant(5, "Toluene", true));
    EXPECT_EQ(fresh.contaminants[fresh.AddContaminant()].identifier, 1002);
    EXPECT_EQ(fresh.contaminants.back().name, "New species");
    EXPECT_EQ(fresh.contaminants[fresh.AddContaminant()].identifier, 1003);
    // Here the largest is 1500.
    const std::size_t index = project.AddContaminant();
    EXPECT_EQ(project.contaminants[index].identifier, 1501);
    ASSERT_TRUE(project.AddSource(test::SquareSource("A"), error, false));
    project.AddContaminant();
    EXPECT_EQ(project.sources[0].inventory.size(), 4u);
    EXPECT_FALSE(project.sources[0].inventory.back().active);
}

TEST_F(ModelOperations, DuplicateSourceCopiesEverythingUnderNewIdentities) {
    ASSERT_TRUE(project.AddSource(test::SquareSource("Tank"), error, true));
    Source& original = project.sources[0];
    test::SetInput(original.thickness, "UNIFORM(1,2)");
    original.inventory[0].active = true;
    original.timeOffset = 7;
    ASSERT_TRUE(project.DuplicateSource(0, error)) << error;
    ASSERT_EQ(project.sources.size(), 2u);
    const Source& copy = project.sources[1];
    EXPECT_EQ(copy.name, "Tank - duplicate");
    EXPECT_EQ(copy.thickness.Format(), "UNIFORM(1,2)");
    EXPECT_TRUE(copy.inventory[0].active);
    EXPECT_EQ(copy.timeOffset, 7);
    EXPECT_EQ(copy.vertices.size(), 4u);
    // No input of the copy shares an identity with any input of the original.
    std::set<int> ids;
    for (StochasticParameter* p : project.sources[0].AllParameters()) ids.insert(p->id);
    for (StochasticParameter* p : project.sources[1].AllParameters())
        EXPECT_EQ(ids.count(p->id), 0u);
    // The original had a receptor, so the copy gets one of its own.
    ASSERT_EQ(project.receptors.size(), 2u);
    EXPECT_EQ(project.receptors[1].name, "Tank - duplicate Receptor");
    EXPECT_EQ(copy.attachedReceptor, 1);

    ASSERT_TRUE(project.AddSource(test::SquareSource("Pit"), error, false));
    ASSERT_TRUE(project.DuplicateSource(2, error));
    EXPECT_EQ(project.receptors.size(), 2u);
    EXPECT_EQ(project.sources[3].attachedReceptor, -1);
    // A second duplicate of "Tank" would take a name already in use.
    EXPECT_FALSE(project.DuplicateSource(0, error));
    EXPECT_EQ(error, "Duplicate source name: \"Tank - duplicate\"");
}

TEST_F(ModelOperations, RemovingReceptorsRenumbersAttachedIndices) {
    Receptor well;
    well.name = "Well";
    ASSERT_TRUE(project.AddReceptor(well, error));                        // 0
    ASSERT_TRUE(project.AddSource(test::SquareSource("A"), error, true)); // receptor 1
    ASSERT_TRUE(project.AddSource(test::SquareSource("B"), error, true)); // receptor 2
    EXPECT_FALSE(project.RemoveReceptor(1, error));
    EXPECT_EQ(error, "Cannot remove receptor attached to source");
    ASSERT_TRUE(project.RemoveReceptor(0, error));
    EXPECT_EQ(project.sources[0].attachedReceptor, 0);
    EXPECT_EQ(project.sources[1].attachedReceptor, 1);
    EXPECT_EQ(project.receptors[project.sources[1].attachedReceptor].name, "B Receptor");
    // Once its source is gone a receptor can be removed.
    project.RemoveSource(0);
    EXPECT_FALSE(project.receptors[0].attached);
    EXPECT_TRUE(project.RemoveReceptor(0, error));
    EXPECT_EQ(project.sources[0].attachedReceptor, 0);
}

TEST_F(ModelOperations, DefaultContaminantsCannotBeRemoved) {
    ASSERT_TRUE(project.AddSource(test::SquareSource("A"), error, false));
    EXPECT_FALSE(project.RemoveContaminant(0, error));
    EXPECT_EQ(error, "You cannot remove a default contaminant");
    ASSERT_TRUE(project.RemoveContaminant(1, error));
    ASSERT_EQ(project.contaminants.size(), 1u);
    ASSERT_EQ(project.sources[0].inventory.size(), 1u);
    EXPECT_EQ(project.sources[0].inventory[0].contaminant, 1);
}

TEST_F(ModelOperations, RemovingAPathwayRenumbersTheKeysBelowIt) {
    ASSERT_TRUE(project.AddSource(test::SquareSource("A"), error, false));
    project.AddPathway(0);
    project.AddPathway(0);
    Source& source = project.sources[0];
    SourceContaminant& entry = source.inventory[0];
    test::SetInput(entry.pathwayProperties.at(2).uzHalfLife, "30");
    EXPECT_TRUE(project.RemovePathway(0, 1, error));
    ASSERT_EQ(source.pathways.size(), 2u);
    EXPECT_EQ(source.pathways[1].name, "Unsaturated Pathway 3");
    ASSERT_EQ(entry.pathwayProperties.size(), 2u);
    EXPECT_EQ(entry.pathwayProperties.at(1).uzHalfLife.Format(), "SINGLE(30)");
    EXPECT_TRUE(project.RemovePathway(0, 0, error));
    EXPECT_FALSE(project.RemovePathway(0, 0, error));
    EXPECT_EQ(error, "A source needs at least one unsaturated pathway.");
    EXPECT_EQ(source.pathways.size(), 1u);
    EXPECT_EQ(entry.pathwayProperties.count(0), 1u);
}

TEST_F(ModelOperations, RemovalsRemoveTheCorrelationsOfTheirInputs) {
    ASSERT_TRUE(project.AddSource(test::SquareSource("A"), error, false));
    ASSERT_TRUE(project.AddSource(test::SquareSource("B"), error, false));
    project.AddPathway(1);
    auto correlate = [this](StochasticParameter& x, StochasticParameter& y) {
        Correlation record;
        record.referenceParameter = x.id;
        record.correlatedParameter = y.id;
        record.value = 0.5;
        ASSERT_TRUE(project.correlations.Add(record));
    };
    Source& a = project.sources[0];
    Source& b = project.sources[1];
    correlate(a.thickness, a.dryBulkDensity);                   // stays
    correlate(b.pathways[1].thickness, a.foc);                  // pathway removed
    correlate(a.infiltration, project.contaminants[1].koc);     // contaminant removed
    correlate(b.inventory[0].concentration, a.particleDensity); // source removed
    ASSERT_EQ(project.correlations.Count(), 4u);
    ASSERT_TRUE(project.RemovePathway(1, 1, error));
    EXPECT_EQ(project.correlations.Count(), 3u);
    ASSERT_TRUE(project.RemoveContaminant(1, error));
    EXPECT_EQ(project.correlations.Count(), 2u);
    project.RemoveSource(1);
    ASSERT_EQ(project.correlations.Count(), 1u);
    EXPECT_EQ(project.correlations.begin()->second.referenceParameter,
              project.sources[0].thickness.id);
}

TEST(CorrelationListTest, OneRecordPerReferenceInKeyOrder) {
    CorrelationList list;
    Correlation r;
    r.referenceParameter = 9;
    r.correlatedParameter = 1;
    r.value = 0.3;
    EXPECT_TRUE(list.Add(r));
    r.value = -0.8;
    EXPECT_TRUE(list.Add(r)); // replaces
    r.referenceParameter = 4;
    EXPECT_TRUE(list.Add(r));
    for (double bad : {1.01, -1.5, std::nan("")}) {
        r.value = bad;
        EXPECT_FALSE(list.Add(r));
    }
    r.value = 0.5;
    r.correlatedParameter = r.referenceParameter;
    EXPECT_FALSE(list.Add(r));
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.begin()->first, 4);
    EXPECT_EQ(list.Entries().at(9).value, -0.8);
    EXPECT_EQ(Correlation().name, "New Correlation");
    list.Remove(4);
    EXPECT_EQ(list.Count(), 1u);
}

} // namespace
} // namespace varnex
