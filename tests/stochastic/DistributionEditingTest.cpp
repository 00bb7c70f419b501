// Keyword completion, the dialog's entry rule and its type list.

#include <gtest/gtest.h>

#include "stochastic/DistributionEditing.h"
#include "stochastic/DistributionType.h"
#include "support/ScriptedRandomSource.h"

namespace varnex {
namespace {

TEST(AutoComplete, PrefixesBecomeTemplatesWithTheCaretAfterTheParenthesis) {
    const struct {
        const char* typed;
        const char* text;
        int caret;
    } cases[] = {
        {"TR", "TRIANGULAR()", 11},      {"tr", "TRIANGULAR()", 11},  {"SI", "SINGLE()", 7},
        {"LOGT", "LOGTRIANGULAR()", 14}, {"LogN", "LOGNORMAL()", 10}, {"EX", "EXPONENTIAL()", 12},
        {"BI", "BINOMIAL()", 9},         {"UN", "UNIFORM()", 8},      {"LOGU", "LOGUNIFORM()", 11},
        {"PO", "POISSON()", 8},          {"no", "NORMAL()", 7},
    };
    for (const auto& c : cases) {
        const auto completion = AutoCompleteDistributionText(c.typed);
        ASSERT_TRUE(completion.has_value()) << c.typed;
        EXPECT_EQ(completion->text, c.text);
        EXPECT_EQ(completion->caretPosition, c.caret);
        // The caret sits just after "(" of the template.
        EXPECT_EQ(completion->text[static_cast<std::size_t>(c.caret) - 1], '(');
    }
    for (const char* typed : {"", "T", "TRI", "LOG", "BO", "BOOLEAN", "TR ", " TR", "5"})
        EXPECT_FALSE(AutoCompleteDistributionText(typed).has_value()) << typed;
}

TEST(DialogEntry, BlanksRemovedAndOnlyAWholeNumberCounts) {
    EXPECT_EQ(DialogEntryValue("2.5"), 2.5);
    EXPECT_EQ(DialogEntryValue(" 1 000 "), 1000.0);
    EXPECT_EQ(DialogEntryValue("\t-3e2"), -300.0);
    EXPECT_EQ(DialogEntryValue("2.5 m"), 0.0);
    EXPECT_EQ(DialogEntryValue("abc"), 0.0);
    EXPECT_EQ(DialogEntryValue(""), 0.0);
    EXPECT_EQ(DialogEntryValue("1,5"), 0.0);
}

TEST(DialogTypes, ListOrderAndMatchingBack) {
    test::ResetProgramState();
    const auto& choices = DialogTypeChoices();
    ASSERT_EQ(choices.size(), 10u);
    for (std::size_t i = 0; i < choices.size(); ++i) {
        EXPECT_EQ(choices[i].type, static_cast<int>(i) + 1);
        EXPECT_EQ(DialogTypeFromText(choices[i].name), choices[i].type);
    }
    EXPECT_EQ(std::string(choices[2].name), "Log Uniform");
    EXPECT_EQ(DialogTypeFromText("Boolean"), 0);
    EXPECT_EQ(DialogArgumentLabels(DistributionType::binomial),
              (std::vector<std::string>{"Trials", "P"}));
    EXPECT_EQ(DialogArgumentLabels(DistributionType::boolean), (std::vector<std::string>{"Value"}));
    EXPECT_EQ(DialogArgumentLabels(DistributionType::logTriangular),
              (std::vector<std::string>{"Minimum", "Likely", "Maximum"}));
}

} // namespace
} // namespace varnex
