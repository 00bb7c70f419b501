#include "ProjectFileComparison.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectJson.h"

namespace varnex::test {

namespace {

// Every input of the project in a fixed order, with a name for messages.
void VisitInputs(const Project& project,
                 const std::function<void(const std::string&, const StochasticParameter&)>& visit) {
    auto walk = [&](auto& entity, const std::string& owner) {
        using Entity = std::remove_const_t<std::remove_reference_t<decltype(entity)>>;
        for (const auto& field : Entity::ParameterFields())
            visit(owner + "/" + field.key, entity.*field.member);
    };
    walk(project.aquifer, "aquifer");
    for (std::size_t s = 0; s < project.sources.size(); ++s) {
        const Source& source = project.sources[s];
        const std::string owner = "source " + std::to_string(s);
        walk(source, owner);
        for (std::size_t p = 0; p < source.pathways.size(); ++p)
            walk(source.pathways[p], owner + " pathway " + std::to_string(p));
        for (std::size_t e = 0; e < source.inventory.size(); ++e) {
            walk(source.inventory[e], owner + " entry " + std::to_string(e));
            for (const auto& [index, record] : source.inventory[e].pathwayProperties)
                walk(record,
                     owner + " entry " + std::to_string(e) + " pathway " + std::to_string(index));
        }
    }
    for (std::size_t c = 0; c < project.contaminants.size(); ++c)
        walk(project.contaminants[c], "contaminant " + std::to_string(c));
}

// Every stored result vector in a fixed order.
void VisitVectors(const Project& project,
                  const std::function<void(const std::string&, const ResultVector&)>& visit) {
    auto each = [&](const std::vector<ResultVector>& vectors, const std::string& name) {
        static const ResultVector marker;
        visit(name + " count " + std::to_string(vectors.size()), marker);
        for (std::size_t k = 0; k < vectors.size(); ++k)
            visit(name + " " + std::to_string(k), vectors[k]);
    };
    for (std::size_t s = 0; s < project.sources.size(); ++s) {
        const Source& source = project.sources[s];
        const std::string owner = "source " + std::to_string(s);
        visit(owner + " mixing zone flow", source.mixingZoneFlow);
        for (std::size_t e = 0; e < source.inventory.size(); ++e) {
            const SourceContaminant& entry = source.inventory[e];
            const std::string name = owner + " entry " + std::to_string(e);
            each(entry.sourceConcentrations, name + " source concentration");
            if (project.simulationLevel > 2) {
                each(entry.receptorRetardedTravelTimes, name + " receptor retarded");
                each(entry.receptorUnretardedTravelTimes, name + " receptor unretarded");
                for (std::size_t r = 0; r < entry.receptorConcentrations.size(); ++r)
                    each(entry.receptorConcentrations[r], name + " receptor " + std::to_string(r));
            }
            for (const auto& [index, record] : entry.pathwayProperties) {
                const std::string path = name + " pathway " + std::to_string(index);
                visit(path + " retarded", record.retardedTravelTime);
                visit(path + " matrix retarded", record.matrixRetardedTravelTime);
                visit(path + " unretarded", record.unretardedTravelTime);
                visit(path + " matrix unretarded", record.matrixUnretardedTravelTime);
                each(record.concentrations, path + " concentration");
                each(record.matrixConcentrations, path + " matrix concentration");
                each(record.dilutedConcentrations, path + " diluted concentration");
            }
        }
    }
    for (std::size_t r = 0; r < project.receptors.size(); ++r) {
        const Receptor& receptor = project.receptors[r];
        for (std::size_t c = 0; c < receptor.results.size(); ++c) {
            const std::string name = "receptor " + std::to_string(r) + " record " +
                                     std::to_string(c) + " (" +
                                     std::to_string(receptor.results[c].contaminant) + ")";
            each(receptor.results[c].totalConcentrations, name + " total");
            visit(name + " unretarded", receptor.results[c].totalUnretardedTravelTime);
            visit(name + " retarded", receptor.results[c].totalRetardedTravelTime);
        }
    }
}

// Bit for bit, so that NaN and negative zero compare as stored.
bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool SameValues(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!SameBits(a[i], b[i])) return false;
    return true;
}

} // namespace

void ExpectSameStoredProject(const Project& expected, const Project& actual, bool results) {
    EXPECT_EQ(WriteProjectJson(expected), WriteProjectJson(actual));
    EXPECT_EQ(expected.standardSelection, actual.standardSelection);

    std::vector<std::pair<std::string, const StochasticParameter*>> a, b;
    VisitInputs(expected, [&](const std::string& name, const StochasticParameter& p) {
        a.emplace_back(name, &p);
    });
    VisitInputs(actual, [&](const std::string& name, const StochasticParameter& p) {
        b.emplace_back(name, &p);
    });
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        const StochasticParameter& x = *a[i].second;
        const StochasticParameter& y = *b[i].second;
        const Distribution& dx = x.distribution;
        const Distribution& dy = y.distribution;
        SCOPED_TRACE(a[i].first);
        EXPECT_EQ(a[i].first, b[i].first);
        EXPECT_EQ(x.id, y.id);
        EXPECT_EQ(x.auxFlag, y.auxFlag);
        EXPECT_EQ(x.auxValue, y.auxValue);
        EXPECT_EQ(dx.type, dy.type);
        EXPECT_EQ(dx.label, dy.label);
        EXPECT_EQ(dx.trials, dy.trials);
        EXPECT_EQ(dx.errorFlags, dy.errorFlags);
        for (auto member :
             {&Distribution::singleValue, &Distribution::minimum, &Distribution::likely,
              &Distribution::maximum, &Distribution::mean, &Distribution::standardDeviation,
              &Distribution::bias, &Distribution::probability, &Distribution::rate,
              &Distribution::minLimit, &Distribution::maxLimit, &Distribution::unitFactor})
            EXPECT_TRUE(SameBits(dx.*member, dy.*member));
        if (results)
            EXPECT_TRUE(SameValues(x.Samples(), y.Samples()));
        else
            EXPECT_EQ(y.SampleCount(), 0u);
    }

    std::vector<Correlation> ca, cb;
    for (const auto& [key, record] : expected.correlations) ca.push_back(record);
    for (const auto& [key, record] : actual.correlations) cb.push_back(record);
    ASSERT_EQ(ca.size(), cb.size());
    for (std::size_t i = 0; i < ca.size(); ++i) {
        EXPECT_EQ(ca[i].name, cb[i].name);
        EXPECT_EQ(ca[i].referenceParameter, cb[i].referenceParameter);
        EXPECT_EQ(ca[i].correlatedParameter, cb[i].correlatedParameter);
        EXPECT_TRUE(SameBits(ca[i].value, cb[i].value));
    }

    if (!results) {
        EXPECT_EQ(StoredResultValues(actual), 0u);
        return;
    }
    std::vector<std::pair<std::string, const ResultVector*>> va, vb;
    VisitVectors(expected, [&](const std::string& name, const ResultVector& v) {
        va.emplace_back(name, &v);
    });
    VisitVectors(
        actual, [&](const std::string& name, const ResultVector& v) { vb.emplace_back(name, &v); });
    ASSERT_EQ(va.size(), vb.size());
    for (std::size_t i = 0; i < va.size(); ++i) {
        SCOPED_TRACE(va[i].first);
        ASSERT_EQ(va[i].first, vb[i].first);
        EXPECT_TRUE(SameValues(va[i].second->Values(), vb[i].second->Values()));
        if (va[i].second->Size() == 0) continue;
        EXPECT_EQ(va[i].second->Label(), vb[i].second->Label());
        // Every vector read has its statistics computed from its values.
        ResultVector computed = *va[i].second;
        computed.ComputeStatistics();
        EXPECT_TRUE(SameBits(computed.Mean(), vb[i].second->Mean()));
        EXPECT_TRUE(SameBits(computed.Maximum(), vb[i].second->Maximum()));
        EXPECT_TRUE(SameBits(computed.PercentileValue(3), vb[i].second->PercentileValue(3)));
    }
}

std::size_t StoredResultValues(const Project& project) {
    std::size_t total = 0;
    VisitInputs(project, [&](const std::string&, const StochasticParameter& p) {
        total += p.SampleCount();
    });
    VisitVectors(project, [&](const std::string&, const ResultVector& v) { total += v.Size(); });
    return total;
}

} // namespace varnex::test
