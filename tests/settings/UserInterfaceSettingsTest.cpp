#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "base/Exception.h"
#include "settings/Preferences.h"
#include "settings/Translate.h"
#include "settings/TranslationTable.h"
#include "settings/UserInterfaceSettings.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

using test::WriteFileBytes;

class UserInterfaceSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { test::ResetTranslationTable(); }
    void TearDown() override { test::ResetTranslationTable(); }

    test::TempDirectory folder;
    Preferences preferences{folder.File("preferences.ini")};
    const std::string list = test::ShippedLanguageList();
};

TEST_F(UserInterfaceSettingsTest, FirstStartIsEnglishWithDefaults) {
    UserInterfaceSettings settings;
    settings.languageName = "Deutsch";
    settings.autoComplete = false;
    settings.StartUp(preferences, list);
    EXPECT_EQ(settings.languageName, "English");
    EXPECT_TRUE(settings.autoComplete);
    EXPECT_EQ(settings.invalidTextColour, 0x0000FFu);
    EXPECT_EQ(settings.invalidBackColour, 0xFFFFFFu);
    EXPECT_EQ(ProgramTranslationTable().LanguageName(), "English");
    EXPECT_EQ(Translate("Data missing"), "Data missing");
}

TEST_F(UserInterfaceSettingsTest, KeyWithoutLanguageValueStartsInEnglish) {
    preferences.SetString("Settings", "Window", "maximised");
    UserInterfaceSettings settings;
    settings.StartUp(preferences, list);
    EXPECT_EQ(settings.languageName, "English");
}

TEST_F(UserInterfaceSettingsTest, StoredSettingsAreUsedExceptTheColours) {
    preferences.SetString("Settings", "Language", "Deutsch");
    preferences.SetDWord("PDF editing", "Auto Complete", 0);
    preferences.SetDWord("PDF editing", "Invalid Text Colour", 0x00FF00);
    preferences.SetDWord("PDF editing", "Invalid Back Colour", 0x000000);
    UserInterfaceSettings settings;
    settings.StartUp(preferences, list);
    EXPECT_EQ(settings.languageName, "Deutsch");
    EXPECT_EQ(Translate("Data missing"), "Daten fehlen");
    EXPECT_FALSE(settings.autoComplete);
    EXPECT_EQ(settings.invalidTextColour, 0x0000FFu);
    EXPECT_EQ(settings.invalidBackColour, 0xFFFFFFu);

    // Any non-zero value turns auto completion on.
    preferences.SetDWord("PDF editing", "Auto Complete", 0x100);
    settings.StartUp(preferences, list);
    EXPECT_TRUE(settings.autoComplete);
}

TEST_F(UserInterfaceSettingsTest, UnloadableLanguagesFallBackToEnglish) {
    const std::string ownList = folder.File("langs.txt");
    WriteFileBytes(ownList, "\"English\" \"en.txt\"\n\"Deutsch\" \"missing.txt\"\n");
    WriteFileBytes(folder.File("en.txt"), "\"Mean\" \"Average\"\n");
    UserInterfaceSettings settings;

    for (const char* stored : {"Deutsch", "Unlisted", ""}) {
        preferences.SetString("Settings", "Language", stored);
        settings.StartUp(preferences, ownList);
        EXPECT_EQ(settings.languageName, "English") << stored;
        EXPECT_EQ(Translate("Mean"), "Average") << stored;
    }

    // Not even English loads: the program still starts, in English.
    settings.StartUp(preferences, folder.File("no-such-list.txt"));
    EXPECT_EQ(settings.languageName, "English");
    EXPECT_EQ(Translate("Mean"), "Mean");
}

TEST_F(UserInterfaceSettingsTest, UnreadablePreferencesGiveDefaults) {
    WriteFileBytes(folder.File("preferences.ini"), std::string("\0\xff garbage\n[\n\"", 14));
    UserInterfaceSettings settings;
    settings.StartUp(preferences, list);
    EXPECT_EQ(settings.languageName, "English");
    EXPECT_TRUE(settings.autoComplete);
}

TEST_F(UserInterfaceSettingsTest, ExitWritesWhatTheNextStartReads) {
    UserInterfaceSettings settings;
    settings.languageName = "Deutsch";
    settings.autoComplete = false;
    settings.invalidTextColour = 0x123456;
    settings.invalidBackColour = 0xABCDEF;
    settings.SaveAtExit(preferences);
    EXPECT_EQ(preferences.GetString("Settings", "Language"), "Deutsch");
    EXPECT_EQ(preferences.GetDWord("PDF editing", "Auto Complete"), 0u);
    EXPECT_EQ(preferences.GetDWord("PDF editing", "Invalid Text Colour"), 0x123456u);
    EXPECT_EQ(preferences.GetDWord("PDF editing", "Invalid Back Colour"), 0xABCDEFu);

    UserInterfaceSettings next;
    next.StartUp(preferences, list);
    EXPECT_EQ(next.languageName, "Deutsch");
    EXPECT_FALSE(next.autoComplete);
}

TEST_F(UserInterfaceSettingsTest, ExitIgnoresWriteFailures) {
    WriteFileBytes(folder.File("blocked"), "");
    Preferences unwritable(folder.File("blocked/preferences.ini"));
    UserInterfaceSettings settings;
    EXPECT_NO_THROW(settings.SaveAtExit(unwritable));
}

TEST_F(UserInterfaceSettingsTest, ApplyOptionsLoadsAtOnceAndStores) {
    UserInterfaceSettings settings;
    settings.StartUp(preferences, list);
    settings.ApplyOptions("Deutsch", false, preferences, list);
    EXPECT_EQ(settings.languageName, "Deutsch");
    EXPECT_FALSE(settings.autoComplete);
    EXPECT_EQ(Translate("Syntax Error"), "Syntaxfehler");
    EXPECT_EQ(preferences.GetString("Settings", "Language"), "Deutsch");
    EXPECT_EQ(preferences.GetDWord("PDF editing", "Auto Complete"), 0u);

    // Preference failures are not the dialog's business.
    WriteFileBytes(folder.File("blocked"), "");
    Preferences unwritable(folder.File("blocked/preferences.ini"));
    EXPECT_NO_THROW(settings.ApplyOptions("English", true, unwritable, list));
    EXPECT_EQ(settings.languageName, "English");
    EXPECT_TRUE(settings.autoComplete);
}

TEST_F(UserInterfaceSettingsTest, ApplyOptionsReportsAMissingLanguageFile) {
    const std::string ownList = folder.File("langs.txt");
    WriteFileBytes(ownList, "\"English\" \"en.txt\"\n\"Deutsch\" \"missing.txt\"\n");
    WriteFileBytes(folder.File("en.txt"), "");
    UserInterfaceSettings settings;
    settings.languageName = "Deutsch";
    try {
        settings.ApplyOptions("Deutsch", true, preferences, ownList);
        FAIL() << "no exception";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "Cannot find language file for Deutsch");
        EXPECT_TRUE(error.Display());
    }
    EXPECT_EQ(settings.languageName, "English");
    // The choice that could not be loaded is not stored.
    EXPECT_THROW(preferences.GetString("Settings", "Language"), Exception);
    EXPECT_EQ(preferences.GetDWord("PDF editing", "Auto Complete"), 1u);
}

} // namespace
} // namespace varnex
