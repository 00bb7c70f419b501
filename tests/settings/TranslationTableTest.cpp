#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "settings/Translate.h"
#include "settings/TranslationTable.h"

namespace varnex {
namespace {

class TranslationTableTest : public ::testing::Test {
protected:
    void SetUp() override { test::ResetTranslationTable(); }
    void TearDown() override { test::ResetTranslationTable(); }
};

TEST_F(TranslationTableTest, UnknownTextTranslatesToItselfAndIsEntered) {
    TranslationTable& table = ProgramTranslationTable();
    EXPECT_FALSE(table.Contains("Thickness [m]"));
    EXPECT_EQ(Translate("Thickness [m]"), "Thickness [m]");
    EXPECT_TRUE(table.Contains("Thickness [m]"));
    EXPECT_EQ(table.Size(), 1u);
    // The second request finds the entry instead of adding another.
    EXPECT_EQ(Translate("Thickness [m]"), "Thickness [m]");
    EXPECT_EQ(table.Size(), 1u);
}

TEST_F(TranslationTableTest, KnownTextGivesItsTranslationAndLaterInsertReplaces) {
    TranslationTable& table = ProgramTranslationTable();
    table.Insert("Data missing", "Daten fehlen");
    EXPECT_EQ(Translate("Data missing"), "Daten fehlen");
    table.Insert("Data missing", "Keine Daten");
    EXPECT_EQ(Translate("Data missing"), "Keine Daten");
    table.Insert("None", "");
    EXPECT_EQ(Translate("None"), "");
}

TEST_F(TranslationTableTest, KeysCompareBytewise) {
    TranslationTable& table = ProgramTranslationTable();
    table.Insert("Mean", "Mittelwert");
    EXPECT_EQ(Translate("mean"), "mean");
    EXPECT_EQ(Translate("Mean "), "Mean ");
    EXPECT_EQ(Translate(std::string("Mean\0x", 6)), std::string("Mean\0x", 6));
}

TEST_F(TranslationTableTest, CStrIsNeverNullAndOutlivesLaterInsertions) {
    EXPECT_STREQ(TranslateCStr(nullptr), "");
    ProgramTranslationTable().Insert("Value", "Wert");
    const char* value = TranslateCStr("Value");
    EXPECT_STREQ(value, "Wert");
    // Many other texts later, the first pointer still reads the same text.
    for (int i = 0; i < 1000; ++i) TranslateCStr(("text " + std::to_string(i)).c_str());
    EXPECT_STREQ(value, "Wert");
    EXPECT_STREQ(TranslateCStr("Unlisted"), "Unlisted");
}

TEST_F(TranslationTableTest, FormatTranslationUsedOnlyWithMatchingConversions) {
    TranslationTable& table = ProgramTranslationTable();
    table.Insert("%d of %d iterations", "%d von %d Iterationen");
    table.Insert("Layer %d: %s", "Schicht %s: %d");
    table.Insert("%s iterations", "%s Iterationen%n");
    table.Insert("%.3g mg/l", "%10.1g mg/l");

    EXPECT_EQ(TranslateFormat("%d of %d iterations"), "%d von %d Iterationen");
    EXPECT_EQ(TranslateFormat("Layer %d: %s"), "Layer %d: %s");
    EXPECT_EQ(TranslateFormat("%s iterations"), "%s iterations");
    EXPECT_EQ(TranslateFormat("%.3g mg/l"), "%10.1g mg/l");
    // An unknown format is entered as identity, like any other text.
    EXPECT_EQ(TranslateFormat("%d new"), "%d new");
    EXPECT_TRUE(table.Contains("%d new"));
}

TEST_F(TranslationTableTest, ReplaceSwapsTheWholeLanguage) {
    TranslationTable& table = ProgramTranslationTable();
    table.Insert("Mean", "Mittelwert");
    table.Replace({{"Mean", "Moyenne"}}, "Français");
    EXPECT_EQ(table.LanguageName(), "Français");
    EXPECT_EQ(table.Size(), 1u);
    EXPECT_EQ(Translate("Mean"), "Moyenne");
    table.Clear();
    EXPECT_EQ(table.Size(), 0u);
    EXPECT_EQ(Translate("Mean"), "Mean");
}

} // namespace
} // namespace varnex
