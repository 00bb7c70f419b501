#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <random>

#include "SettingsTestSupport.h"
#include "base/Exception.h"
#include "settings/Preferences.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

const std::string settingsKeyPath = "Software\\Kestrane\\Varnex\\2\\Settings";

// The message of the unshown Exception the call raises; fails the test when
// it raises nothing or a shown one.
template <typename Call>
std::string UnshownError(Call call) {
    try {
        call();
    } catch (const Exception& error) {
        EXPECT_FALSE(error.Display()) << error.Message();
        return error.Message();
    }
    ADD_FAILURE() << "no exception";
    return std::string();
}

class PreferencesTest : public ::testing::Test {
protected:
    void SetUp() override { test::ResetTranslationTable(); }

    // Puts a file of the user's (or of a fault) where the preferences live.
    void Plant(const std::string& contents) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        WriteFileBytes(path, contents);
    }

    test::TempDirectory folder;
    // Two folders deep, so that writes must create the folders.
    std::string path = folder.File("config/varnex/preferences.ini");
    Preferences preferences{path};
};

TEST_F(PreferencesTest, KeyPathJoinsTheProgramsRoot) {
    EXPECT_EQ(Preferences::KeyPath("Settings"), settingsKeyPath);
    EXPECT_EQ(Preferences::KeyPath("PDF editing"), "Software\\Kestrane\\Varnex\\2\\PDF editing");
}

TEST_F(PreferencesTest, StringAndDWordRoundTrip) {
    const std::string texts[] = {
        "English",
        "",
        "C:\\Program Files\\Varnex\\",
        "say \"hello\"",
        "\\\"\\\\\"",
        "tab\there\r\nnext line",
        "\x01\x1f\x7f control",
        "Größe [m³] – μg/l",
        "trailing blanks   ",
        "[Software\\Kestrane\\Varnex\\2\\Settings]",
        "\"Language\"=dword:00000001",
        std::string(Preferences::maxStringBytes, 'x'),
    };
    for (const std::string& text : texts) {
        preferences.SetString("Settings", "Language", text);
        EXPECT_EQ(preferences.GetString("Settings", "Language"), text);
    }
    const std::uint32_t numbers[] = {0, 1, 0x0000FF, 0xFFFFFF, 0x80000000u, 0xFFFFFFFFu};
    for (std::uint32_t number : numbers) {
        preferences.SetDWord("PDF editing", "Auto Complete", number);
        EXPECT_EQ(preferences.GetDWord("PDF editing", "Auto Complete"), number);
    }
    // Both values survive each other's writes, and a second object reads them.
    Preferences reader(path);
    EXPECT_EQ(reader.GetString("Settings", "Language"), texts[std::size(texts) - 1]);
    EXPECT_EQ(reader.GetDWord("PDF editing", "Auto Complete"), 0xFFFFFFFFu);
}

TEST_F(PreferencesTest, WrittenFileReadsLikeARegistryExport) {
    preferences.SetString("Settings", "Language", "Deutsch \"neu\"");
    preferences.SetDWord("PDF editing", "Invalid Text Colour", 0x0000FF);
    const std::string contents = ReadFileBytes(path);
    EXPECT_NE(contents.find("[Software\\Kestrane\\Varnex\\2\\Settings]\n"
                            "\"Language\"=\"Deutsch \\\"neu\\\"\"\n"),
              std::string::npos)
        << contents;
    EXPECT_NE(contents.find("[Software\\Kestrane\\Varnex\\2\\PDF editing]\n"
                            "\"Invalid Text Colour\"=dword:000000ff\n"),
              std::string::npos)
        << contents;
}

TEST_F(PreferencesTest, MissingPreferencesRaiseUnshownErrors) {
    // No file at all: the key is missing.
    EXPECT_EQ(UnshownError([&] { preferences.GetString("Settings", "Language"); }),
              "Cannot find user preference for " + settingsKeyPath);
    EXPECT_EQ(UnshownError([&] { preferences.GetDWord("Settings", "Language"); }),
              "Cannot find user preference for " + settingsKeyPath);

    // The key exists: a missing value, or one of the other type, names the value.
    preferences.SetString("Settings", "Language", "English");
    EXPECT_EQ(UnshownError([&] { preferences.GetString("Settings", "Other"); }),
              "Cannot find user preference for Other");
    EXPECT_EQ(UnshownError([&] { preferences.GetDWord("Settings", "Language"); }),
              "Cannot find user preference for Language");
    preferences.SetDWord("Settings", "Number", 5);
    EXPECT_EQ(UnshownError([&] { preferences.GetString("Settings", "Number"); }),
              "Cannot find user preference for Number");
}

TEST_F(PreferencesTest, NamesIgnoreCaseAsInTheRegistry) {
    preferences.SetString("Settings", "Language", "Deutsch");
    EXPECT_EQ(preferences.GetString("SETTINGS", "language"), "Deutsch");
    preferences.SetString("settings", "LANGUAGE", "English");
    EXPECT_EQ(preferences.GetString("Settings", "Language"), "English");
    // Still one line for the value, under the section's first spelling.
    const std::string contents = ReadFileBytes(path);
    EXPECT_EQ(contents.find("Deutsch"), std::string::npos);
    EXPECT_NE(contents.find("[Software\\Kestrane\\Varnex\\2\\Settings]"), std::string::npos);
}

TEST_F(PreferencesTest, OverlongStringsAreRefusedNotCut) {
    preferences.SetString("Settings", "Language", "Deutsch");
    const std::string overlong(Preferences::maxStringBytes + 1, 'y');
    EXPECT_EQ(UnshownError([&] { preferences.SetString("Settings", "Language", overlong); }),
              "Cannot set user preference for Language");
    EXPECT_EQ(preferences.GetString("Settings", "Language"), "Deutsch");

    // One put into the file by hand counts as missing.
    Plant("[" + settingsKeyPath + "]\n\"Language\"=\"" + overlong + "\"\n");
    EXPECT_EQ(UnshownError([&] { preferences.GetString("Settings", "Language"); }),
              "Cannot find user preference for Language");

    // A string ends at its first zero byte, as a registry string does.
    preferences.SetString("Settings", "Language", std::string("Eng\0lish", 8));
    EXPECT_EQ(preferences.GetString("Settings", "Language"), "Eng");
}

TEST_F(PreferencesTest, FaultyFileContentsReadAsMissing) {
    struct Case {
        const char* what;
        std::string contents;
    };
    const Case cases[] = {
        {"empty", ""},
        {"value outside a section", "\"Language\"=\"Deutsch\"\n"},
        {"unterminated string",
         "[" + settingsKeyPath + "]\n\"Language\"=\"Deutsch\n\"Auto Complete\"=dword:1\n"},
        {"bad escape", "[" + settingsKeyPath + "]\n\"Language\"=\"Deu\\qtsch\"\n"},
        {"zero escape", "[" + settingsKeyPath + "]\n\"Language\"=\"Deu\\x00tsch\"\n"},
        {"text after the string", "[" + settingsKeyPath + "]\n\"Language\"=\"Deutsch\" x\n"},
        {"hex value", "[" + settingsKeyPath + "]\n\"Language\"=hex:41,00\n"},
        {"dword too long", "[" + settingsKeyPath + "]\n\"Language\"=dword:000000001\n"},
        {"dword not hex", "[" + settingsKeyPath + "]\n\"Language\"=dword:0000000g\n"},
        {"no equals sign", "[" + settingsKeyPath + "]\n\"Language\" \"Deutsch\"\n"},
        {"unclosed section", "[" + settingsKeyPath + "\n\"Language\"=\"Deutsch\"\n"},
        {"binary", std::string("\0\xff\xfe[\0\n\"\\\x80=\"\r\r\n\x01[]", 17)},
    };
    for (const Case& c : cases) {
        Plant(c.contents);
        EXPECT_THROW(preferences.GetString("Settings", "Language"), Exception) << c.what;
        EXPECT_THROW(preferences.GetDWord("Settings", "Language"), Exception) << c.what;
    }
}

TEST_F(PreferencesTest, ToleratedVariationsStillRead) {
    Plant("\xEF\xBB\xBF; written on Windows\r\n"
          "  [" +
          settingsKeyPath +
          "]  \r\n"
          "  \"Language\"  =  \"Deutsch\"  \r\n"
          "\"Auto Complete\"=DWORD:FF\r\n");
    EXPECT_EQ(preferences.GetString("Settings", "Language"), "Deutsch");
    EXPECT_EQ(preferences.GetDWord("Settings", "Auto Complete"), 0xFFu);
}

// Found by fuzzing: a file converted to UTF-8 twice starts with two marks.
// Reading used to drop only the first, so the section header on the first
// line went unrecognised, a write appended a second copy of the section, and
// the rewritten file (one mark fewer) then read the first copy's value.
TEST_F(PreferencesTest, EveryLeadingByteOrderMarkIsDropped) {
    const std::string bom = "\xEF\xBB\xBF";
    for (const std::string& marks : {bom, bom + bom, bom + bom + bom}) {
        Plant(marks + "[" + settingsKeyPath + "]\n\"Language\"=\"Deutsch\"\n");
        EXPECT_EQ(preferences.GetString("Settings", "Language"), "Deutsch") << marks.size();
        preferences.SetString("Settings", "Language", "Italiano");
        EXPECT_EQ(preferences.GetString("Settings", "Language"), "Italiano") << marks.size();

        Plant(marks + "[" + settingsKeyPath + "]\n\"Language\"=\"unclosed\n");
        preferences.SetString("Settings", "Language", "Deutsch");
        EXPECT_EQ(preferences.GetString("Settings", "Language"), "Deutsch") << marks.size();
    }
}

TEST_F(PreferencesTest, RandomGarbageNeverCrashes) {
    std::mt19937 random(12345);
    const std::string alphabet = "[]\"\\=:dwordx0f\n\r \t;#Language Settings";
    for (int round = 0; round < 100; ++round) {
        std::string contents = "[" + settingsKeyPath + "]\n";
        const int length = static_cast<int>(random() % 200);
        for (int i = 0; i < length; ++i)
            contents += random() % 4 == 0 ? static_cast<char>(random() % 256)
                                          : alphabet[random() % alphabet.size()];
        Plant(contents);
        try {
            preferences.GetString("Settings", "Language");
        } catch (const Exception&) {}
        // A write keeps the garbage and still makes the value readable.
        preferences.SetDWord("Settings", "Auto Complete", 7);
        EXPECT_EQ(preferences.GetDWord("Settings", "Auto Complete"), 7u);
    }
}

TEST_F(PreferencesTest, WriteKeepsLinesItDoesNotUnderstand) {
    const std::string original = "; my notes\n"
                                 "[Software\\Kestrane\\Varnex\\2\\Settings]\n"
                                 "\"Language\"=\"English\"\n"
                                 "\"Window\"=hex:01,02,03\n"
                                 "garbage line\n"
                                 "\n"
                                 "[Software\\Other\\Program]\n"
                                 "\"Language\"=\"Français\"\n"
                                 "\"Binary\"=\"\\x01\"\n";
    Plant(original);
    preferences.SetString("Settings", "Language", "Deutsch");
    preferences.SetDWord("Settings", "Auto Complete", 0);
    preferences.SetDWord("PDF editing", "Auto Complete", 1);
    EXPECT_EQ(ReadFileBytes(path), "; my notes\n"
                                   "[Software\\Kestrane\\Varnex\\2\\Settings]\n"
                                   "\"Language\"=\"Deutsch\"\n"
                                   "\"Window\"=hex:01,02,03\n"
                                   "\"Auto Complete\"=dword:00000000\n"
                                   "garbage line\n"
                                   "\n"
                                   "[Software\\Other\\Program]\n"
                                   "\"Language\"=\"Français\"\n"
                                   "\"Binary\"=\"\\x01\"\n"
                                   "\n"
                                   "[Software\\Kestrane\\Varnex\\2\\PDF editing]\n"
                                   "\"Auto Complete\"=dword:00000001\n");
    // No temporary file is left behind.
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
        ++files;
    EXPECT_EQ(files, 1u);
}

TEST_F(PreferencesTest, RewriteKeepsTheFilesPermissions) {
    namespace fs = std::filesystem;
    Plant("; private\n");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    preferences.SetDWord("PDF editing", "Auto Complete", 1);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(PreferencesTest, DuplicateValuesCollapseOnWrite) {
    Plant("[" + settingsKeyPath +
          "]\n\"Language\"=\"A\"\n"
          "[" +
          settingsKeyPath + "]\n\"Language\"=\"B\"\n");
    EXPECT_EQ(preferences.GetString("Settings", "Language"), "A");
    preferences.SetString("Settings", "Language", "C");
    EXPECT_EQ(preferences.GetString("Settings", "Language"), "C");
    EXPECT_EQ(ReadFileBytes(path).find("\"B\""), std::string::npos);
}

TEST_F(PreferencesTest, UnreadableFileIsNeitherReadNorOverwritten) {
    // A folder in the file's place: it exists but cannot be read as a file.
    std::filesystem::create_directories(path);
    WriteFileBytes(path + "/keep", "user data");
    EXPECT_EQ(UnshownError([&] { preferences.GetString("Settings", "Language"); }),
              "Cannot find user preference for " + settingsKeyPath);
    EXPECT_EQ(UnshownError([&] { preferences.SetString("Settings", "Language", "Deutsch"); }),
              "Cannot set user preference for " + settingsKeyPath);
    EXPECT_EQ(ReadFileBytes(path + "/keep"), "user data");
}

TEST_F(PreferencesTest, UnwritableFolderRaisesSetError) {
    // A file where the preference folder should be.
    const std::string blocked = folder.File("blocked");
    WriteFileBytes(blocked, "");
    Preferences unwritable(blocked + "/varnex/preferences.ini");
    EXPECT_EQ(UnshownError([&] { unwritable.SetDWord("PDF editing", "Auto Complete", 1); }),
              "Cannot set user preference for Software\\Kestrane\\Varnex\\2\\PDF editing");
    Preferences nowhere("");
    EXPECT_THROW(nowhere.SetDWord("PDF editing", "Auto Complete", 1), Exception);
    EXPECT_THROW(nowhere.GetDWord("PDF editing", "Auto Complete"), Exception);
}

TEST_F(PreferencesTest, SymbolicLinkToThePreferencesStaysALink) {
    const std::string real = folder.File("dotfiles/preferences.ini");
    std::filesystem::create_directories(folder.File("dotfiles"));
    WriteFileBytes(real, "; kept elsewhere\n");
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::filesystem::create_symlink("../../dotfiles/preferences.ini", path);
    preferences.SetString("Settings", "Language", "Deutsch");
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_NE(ReadFileBytes(real).find("\"Language\"=\"Deutsch\""), std::string::npos);
    EXPECT_NE(ReadFileBytes(real).find("; kept elsewhere"), std::string::npos);
}

TEST_F(PreferencesTest, MessagesAreTranslated) {
    ProgramTranslationTable().Insert("Cannot find user preference for ",
                                     "Benutzereinstellung nicht gefunden: ");
    EXPECT_EQ(UnshownError([&] { preferences.GetString("Settings", "Language"); }),
              "Benutzereinstellung nicht gefunden: " + settingsKeyPath);
    test::ResetTranslationTable();
}

// Sets or unsets an environment variable for one test and restores it.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnvironment() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(PreferencesLocationTest, XdgConfigHomeThenHome) {
    {
        ScopedEnvironment config("XDG_CONFIG_HOME", "/tmp/xdg");
        ScopedEnvironment home("HOME", "/home/user");
        EXPECT_EQ(DefaultPreferencesFilePath(), "/tmp/xdg/varnex/preferences.ini");
    }
    {
        ScopedEnvironment config("XDG_CONFIG_HOME", nullptr);
        ScopedEnvironment home("HOME", "/home/user");
        EXPECT_EQ(DefaultPreferencesFilePath(), "/home/user/.config/varnex/preferences.ini");
    }
    {
        // Empty and relative values are invalid by the XDG rules.
        ScopedEnvironment home("HOME", "/home/user");
        for (const char* invalid : {"", "relative/config"}) {
            ScopedEnvironment config("XDG_CONFIG_HOME", invalid);
            EXPECT_EQ(DefaultPreferencesFilePath(), "/home/user/.config/varnex/preferences.ini");
        }
    }
    {
        ScopedEnvironment config("XDG_CONFIG_HOME", nullptr);
        ScopedEnvironment home("HOME", nullptr);
        EXPECT_EQ(DefaultPreferencesFilePath(), "");
    }
}

TEST(PreferencesLocationTest, ProgramPreferencesFollowTheEnvironmentAndTestFiles) {
    test::TempDirectory folder;
    ScopedEnvironment config("XDG_CONFIG_HOME", folder.Path().c_str());
    ResetUserPreferencesFile();
    EXPECT_EQ(UserPreferences().FilePath(), folder.File("varnex/preferences.ini"));
    SetStringPreference("Settings", "Language", "Deutsch");
    EXPECT_EQ(GetStringPreference("Settings", "Language"), "Deutsch");
    EXPECT_NE(ReadFileBytes(folder.File("varnex/preferences.ini")).find("Deutsch"),
              std::string::npos);

    UseUserPreferencesFile(folder.File("other.ini"));
    SetDWordPreference("PDF editing", "Auto Complete", 0);
    EXPECT_EQ(GetDWordPreference("PDF editing", "Auto Complete"), 0u);
    EXPECT_THROW(GetStringPreference("Settings", "Language"), Exception);
    ResetUserPreferencesFile();
}

} // namespace
} // namespace varnex
