#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "base/Exception.h"
#include "base/ProgramPaths.h"
#include "settings/LanguageList.h"
#include "settings/Translate.h"
#include "settings/TranslationTable.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

using test::WriteFileBytes;

class LanguageListTest : public ::testing::Test {
protected:
    void SetUp() override { test::ResetTranslationTable(); }
    void TearDown() override { test::ResetTranslationTable(); }

    std::string WriteList(const std::string& contents) {
        const std::string path = folder.File("langs.txt");
        WriteFileBytes(path, contents);
        return path;
    }

    test::TempDirectory folder;
};

TEST_F(LanguageListTest, LanguageReadsTheFileItsListLineNames) {
    const std::string list = WriteList("\"English\" \"en.txt\"\n\"Cymraeg\" \"welsh-ui.lng\"\n");
    WriteFileBytes(folder.File("en.txt"), "# identity\n");
    WriteFileBytes(folder.File("welsh-ui.lng"), "\"Mean\" \"Cymedr\"\n");

    EXPECT_EQ(FindLanguageFile("Cymraeg", list), folder.File("welsh-ui.lng"));
    EXPECT_EQ(SetLanguage("Cymraeg", list), "Cymraeg");
    EXPECT_EQ(Translate("Mean"), "Cymedr");
    EXPECT_EQ(ProgramTranslationTable().LanguageName(), "Cymraeg");
}

TEST_F(LanguageListTest, LanguageFileLinesAndTheirFaults) {
    const std::string list = WriteList("\"English\" \"en.txt\"\n\"Test\" \"test.txt\"\n");
    WriteFileBytes(folder.File("test.txt"),
                   "\xEF\xBB\xBF# comment \"Comment\" \"Kommentar\"\r\n"
                   "\"Data missing\" \"Daten fehlen\"\r\n"
                   "\"None\" \"\"\r\n"
                   "\r\n"
                   "  # not a comment: does not start with #, but has no fields\n"
                   "\"Only one field\"\n"
                   "\"Three\" \"quotes\n"
                   "no quotes at all\n"
                   "\"Mean\" \"Mittel\"\n"
                   "\"Mean\" \"Mittelwert\"\n"
                   "\"Trailing blank \" \"Leerzeichen am Ende \" ignored after\n"
                   "\"Last line\" \"Letzte Zeile\"");
    SetLanguage("Test", list);
    TranslationTable& table = ProgramTranslationTable();
    EXPECT_EQ(table.Size(), 5u);
    EXPECT_EQ(Translate("Data missing"), "Daten fehlen");
    EXPECT_EQ(Translate("None"), "");
    EXPECT_EQ(Translate("Mean"), "Mittelwert");
    EXPECT_EQ(Translate("Trailing blank "), "Leerzeichen am Ende ");
    EXPECT_EQ(Translate("Last line"), "Letzte Zeile");
    EXPECT_FALSE(table.Contains("Comment"));
    EXPECT_FALSE(table.Contains("Only one field"));
    EXPECT_FALSE(table.Contains("Three"));
}

TEST_F(LanguageListTest, ListSkipsCommentsAndFaultyLinesInFileOrder) {
    const std::string list = WriteList("# \"Commented\" \"out.txt\"\r\n"
                                       "\"Deutsch\" \"de.txt\"\r\n"
                                       "\"Broken\r\n"
                                       "\r\n"
                                       "\"English\" \"en.txt\"\r\n"
                                       "\"Deutsch\" \"second.txt\"\r\n");
    EXPECT_EQ(ListLanguages(list), (std::vector<std::string>{"Deutsch", "English", "Deutsch"}));
    // The first line naming a language decides its file.
    EXPECT_EQ(FindLanguageFile("Deutsch", list), folder.File("de.txt"));
    EXPECT_EQ(FindLanguageFile("deutsch", list), std::nullopt);
    EXPECT_EQ(FindLanguageFile("Commented", list), std::nullopt);
}

TEST_F(LanguageListTest, UnknownLanguageFallsBackToEnglish) {
    const std::string list = WriteList("\"English\" \"en.txt\"\n\"Deutsch\" \"de.txt\"\n");
    WriteFileBytes(folder.File("en.txt"), "\"Mean\" \"Average\"\n");
    WriteFileBytes(folder.File("de.txt"), "\"Mean\" \"Mittelwert\"\n");
    SetLanguage("Deutsch", list);
    EXPECT_EQ(SetLanguage("Klingon", list), "English");
    EXPECT_EQ(ProgramTranslationTable().LanguageName(), "English");
    // The German entries are gone, the English file's are in.
    EXPECT_EQ(Translate("Mean"), "Average");
}

TEST_F(LanguageListTest, MissingLanguageFileRaisesAndLeavesEnglish) {
    const std::string list = WriteList("\"English\" \"en.txt\"\n\"Deutsch\" \"absent.txt\"\n");
    ProgramTranslationTable().Replace({{"Mean", "Mittelwert"}}, "Deutsch");
    try {
        SetLanguage("Deutsch", list);
        FAIL() << "no exception";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "Cannot find language file for Deutsch");
        EXPECT_TRUE(error.Display());
    }
    // The old language is gone; the only entry is the message's own text.
    EXPECT_EQ(Translate("Mean"), "Mean");
    EXPECT_EQ(ProgramTranslationTable().LanguageName(), "English");

    // Neither the language nor English listed: the requested name is reported.
    const std::string empty = WriteList("# nothing\n");
    try {
        SetLanguage("Français", empty);
        FAIL() << "no exception";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "Cannot find language file for Français");
    }
}

TEST_F(LanguageListTest, LanguageFileThatIsAFolderCannotBeOpened) {
    const std::string list = WriteList("\"English\" \"sub\"\n");
    std::filesystem::create_directory(folder.File("sub"));
    EXPECT_THROW(SetLanguage("English", list), Exception);
}

TEST_F(LanguageListTest, MissingListRaisesTheDisplayedMessage) {
    const std::string list = folder.File("langs.txt");
    try {
        ListLanguages(list);
        FAIL() << "no exception";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(),
                  "Error reading file " + list + ". Cannot display available languages");
        EXPECT_TRUE(error.Display());
    }
    EXPECT_EQ(FindLanguageFile("English", list), std::nullopt);
}

TEST_F(LanguageListTest, ShippedGermanTranslatesDistributionMessages) {
    const std::string list = test::ShippedLanguageList();
    EXPECT_EQ(ListLanguages(list), (std::vector<std::string>{"English", "Deutsch"}));

    EXPECT_EQ(SetLanguage("Deutsch", list), "Deutsch");
    EXPECT_EQ(Translate("Minimum greater than maximum"), "Minimum größer als Maximum");
    EXPECT_EQ(Translate("Standard deviation less than or equal to zero"),
              "Standardabweichung kleiner oder gleich null");
    // Texts the program appends to keep their trailing blank.
    EXPECT_EQ(Translate("Cannot find language file for ").back(), ' ');
    EXPECT_EQ(Translate("Failed to read from file ").back(), ' ');

    // English is the identity table.
    EXPECT_EQ(SetLanguage("English", list), "English");
    EXPECT_EQ(ProgramTranslationTable().Size(), 0u);
    EXPECT_EQ(Translate("Minimum greater than maximum"), "Minimum greater than maximum");
}

TEST(ProgramPathsTest, InfoFolderLiesBesideTheProgram) {
    EXPECT_EQ(ProgramDirectory(), VARNEX_BIN_DIR);
    EXPECT_EQ(InfoFilePath("langs.txt"), VARNEX_BIN_DIR "/Info/langs.txt");
    EXPECT_EQ(LanguageListPath(), InfoFilePath("langs.txt"));
    // The build copies the shipped files there, so the default list works.
    EXPECT_FALSE(ListLanguages().empty());
}

} // namespace
} // namespace varnex
