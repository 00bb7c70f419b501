// What a project file carries beyond the layout its predecessors read: the
// trailing block with the checksum of its contents, and texts in the
// predecessors' Windows code page. A changed byte is found, never loaded as
// a project without a warning; a file cut short says so; a predecessor's
// file (no block, Windows-1252 texts) loads with its texts as typed and
// saves them back in the code page they came in.

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "archive/CompFile.h"
#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectJson.h"
#include "stochastic/StochasticParameter.h"
#include "support/ModelBuilders.h"
#include "support/ProgramStateTest.h"
#include "support/ScriptedRandomSource.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

class ProjectFileIntegrity : public test::ProgramStateTest {
protected:
    // A small project saved by this program; its bytes.
    std::string Saved(const std::string& path) {
        Project project = test::ValidLevel1Project();
        project.details.title = "Gasworks";
        ProjectSaveOptions save;
        save.dateSaved = "2026-12-09 10:00:00";
        std::string error;
        EXPECT_TRUE(SaveProject(project, path, save, error)) << error;
        return test::ReadFileBytes(path);
    }

    test::TempDirectory folder_;
};

TEST_F(ProjectFileIntegrity, ASavedFileCarriesAChecksumThatMatches) {
    const std::string path = folder_.File("p.vnx");
    Saved(path);
    Project loaded;
    std::string error;
    ProjectLoadOutcome outcome;
    ASSERT_TRUE(LoadProject(path, loaded, error, ProjectLoadOptions{}, outcome)) << error;
    EXPECT_EQ(outcome.integrity, FileIntegrity::intact);
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(loaded.details.title, "Gasworks");
}

// One byte of the file changed, 200 times over (before the checksum, 57 of
// 200 such files loaded without complaint, 43 of them with other numbers):
// every load now either refuses with a message, or gives exactly the
// project saved (a change the run-length coding undoes, such as a literal
// packet's byte the decoder never reaches). A refusal for the checksum
// names it, and the user may still open the file, warned.
TEST_F(ProjectFileIntegrity, AChangedByteIsNeverTakenForTheProject) {
    const std::string path = folder_.File("sound.vnx");
    const std::string sound = Saved(path);
    std::mt19937 random(20261209);
    int checksumRefusals = 0;
    for (int trial = 0; trial < 200; ++trial) {
        std::string bytes = sound;
        const std::size_t at = random() % bytes.size();
        bytes[at] = static_cast<char>(bytes[at] ^ static_cast<char>(1 + random() % 255));
        SCOPED_TRACE("byte " + std::to_string(at));
        Project loaded;
        std::string error;
        if (!LoadProjectFromBytes(bytes, loaded, error, path)) {
            EXPECT_FALSE(error.empty());
            if (error.find("checksum") != std::string::npos) {
                ++checksumRefusals;
                ProjectLoadOptions accept;
                accept.acceptDamaged = true;
                ProjectLoadOutcome outcome;
                Project opened;
                std::string warning;
                EXPECT_TRUE(LoadProjectFromBytes(bytes, opened, warning, path, accept, outcome));
                EXPECT_EQ(outcome.integrity, FileIntegrity::damaged);
                EXPECT_EQ(warning, error);
            }
            continue;
        }
        // Loaded: it must be the project saved, to the byte once written.
        ProjectSaveOptions save;
        save.dateSaved = "2026-12-09 10:00:00";
        ASSERT_TRUE(SaveProject(loaded, path, save, error)) << error;
        EXPECT_TRUE(test::ReadFileBytes(path) == sound) << "the change went unnoticed";
    }
    EXPECT_GT(checksumRefusals, 20);
}

TEST_F(ProjectFileIntegrity, TheChecksumMessageNamesTheFileAndWhatItMeans) {
    const std::string path = folder_.File("sound.vnx");
    std::string bytes = Saved(path);
    // A byte of the title "Gasworks", whose text the coding keeps literal.
    const std::size_t at = bytes.find("Gasworks");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = 'K';
    Project loaded;
    std::string error;
    EXPECT_FALSE(LoadProjectFromBytes(bytes, loaded, error, "site.vnx"));
    const std::string start =
        "The project file site.vnx is damaged: its contents do not match the checksum stored "
        "when it was saved (";
    EXPECT_EQ(error.substr(0, start.size()), start);
    EXPECT_NE(error.find("), so some of its values may not be those saved"), std::string::npos)
        << error;
}

// A file cut short says so, whatever value the cut fell in (before, a cut
// could read as "the number of sources is out of range (1)"). A cut that
// takes the whole trailing block leaves the file of an older version, whole
// in every record: that loads, unchecked, as the project saved.
TEST_F(ProjectFileIntegrity, AFileCutShortEndsEarly) {
    const std::string path = folder_.File("sound.vnx");
    const std::string sound = Saved(path);
    Project whole;
    std::string error;
    ASSERT_TRUE(LoadProject(path, whole, error)) << error;
    int endsEarly = 0;
    for (std::size_t length = 8; length < sound.size(); ++length) {
        Project loaded;
        ProjectLoadOutcome outcome;
        if (LoadProjectFromBytes(sound.substr(0, length), loaded, error, "cut.vnx",
                                 ProjectLoadOptions{}, outcome)) {
            EXPECT_EQ(outcome.integrity, FileIntegrity::unchecked) << length;
            EXPECT_EQ(WriteProjectJson(loaded), WriteProjectJson(whole)) << length;
            continue;
        }
        EXPECT_EQ(error.find("out of range"), std::string::npos) << length << ": " << error;
        if (error == "The project file cut.vnx ends early: the rest of its data is missing")
            ++endsEarly;
    }
    EXPECT_GT(endsEarly, static_cast<int>(sound.size()) / 2);
}

// The file of a predecessor: the layout without the trailing block, its
// texts in Windows-1252, made here value by value.
void WritePredecessorFile(const std::string& path, const std::string& title,
                          const std::string& sourceName) {
    CompFile a;
    ASSERT_TRUE(a.Open(path, "wb"));
    a.WriteInt(2).WriteInt(5).WriteInt(4).WriteInt(0).WriteBool(false);
    a.WriteString("2009-03-04 05:06:07").WriteString("C:\\Projekte\\alt.vnx");
    for (const std::string& text :
         {title, std::string("Client"), std::string("7"), std::string("Me"),
          std::string("Bemerkung: gepr\xFC"
                      "ft")})
        a.WriteString(text);
    a.WriteInt(100).WriteInt(1).WriteDouble(100.0).WriteInt(1);
    a.WriteString("")
        .WriteDouble(0)
        .WriteDouble(0)
        .WriteDouble(1)
        .WriteBool(true)
        .WriteBool(false)
        .WriteInt(10);
    for (int i = 0; i < 4; ++i) a.WriteBool(false);
    a.WriteInt(1);
    StochasticParameter().Write(a);
    a.WriteInt(0);
    for (int i = 0; i < 9; ++i) StochasticParameter().Write(a);
    a.WriteBool(false).WriteBool(false).WriteDouble(0);
    // One source with its name, nothing else in it.
    a.WriteInt(1);
    a.WriteString(sourceName);
    for (int i = 0; i < 4; ++i) StochasticParameter().Write(a);
    a.WriteInt(0).WriteInt(0);      // vertices, inventory
    a.WriteShort(5).WriteShort(7);  // fill colour, hatch style
    a.WriteDouble(0.0).WriteInt(0); // time offset; no pathways
    StochasticParameter().Write(a);
    a.WriteInt(0);
    for (int i = 0; i < 4; ++i) StochasticParameter().Write(a);
    a.WriteInt(0);
    StochasticParameter().Write(a);
    a.WriteInt(0).WriteInt(2);
    a.WriteBool(false);
    StochasticParameter().Write(a);
    StochasticParameter().Write(a);
    a.WriteInt(-1).WriteDouble(0).WriteDouble(0);
    StochasticParameter().Write(a);
    a.WriteInt(0).WriteInt(0).WriteInt(0); // receptors, contaminants, correlations
    a.WriteInt(0);                         // standard selection
    a.Close();
}

TEST_F(ProjectFileIntegrity, APredecessorsTextsAreReadInItsCodePageAndWrittenBackInIt) {
    const std::string path = folder_.File("old.vnx");
    // "Tankstelle Müller – Café", "Ölabscheider", as the predecessors stored them.
    WritePredecessorFile(path, "Tankstelle M\xFCller \x96 Caf\xE9", "\xD6labscheider");
    Project loaded;
    std::string error;
    ProjectLoadOutcome outcome;
    ASSERT_TRUE(LoadProject(path, loaded, error, ProjectLoadOptions{}, outcome)) << error;
    EXPECT_EQ(outcome.integrity, FileIntegrity::unchecked); // an older file loads as it always did
    EXPECT_EQ(loaded.details.title, "Tankstelle M\u00fcller \u2013 Caf\u00e9");
    EXPECT_EQ(loaded.details.comment, "Bemerkung: gepr\u00fcft");
    ASSERT_EQ(loaded.sources.size(), 1u);
    EXPECT_EQ(loaded.sources[0].name, "\u00d6labscheider");
    // The JSON form, which needs UTF-8, carries them.
    EXPECT_NE(WriteProjectJson(loaded).find("\"Tankstelle M\u00fcller \u2013 Caf\u00e9\""),
              std::string::npos);

    // Saved again: the texts in the code page they came in, so the
    // predecessors read them as typed, and read back here unchanged.
    const std::string again = folder_.File("again.vnx");
    ASSERT_TRUE(SaveProject(loaded, again, false, error)) << error;
    CompFile a;
    ASSERT_TRUE(a.Open(again, "rb"));
    for (int i = 0; i < 4; ++i) a.ReadInt();
    a.ReadBool();
    a.ReadString();
    a.ReadString();
    EXPECT_EQ(a.ReadString(), "Tankstelle M\xFCller \x96 Caf\xE9");
    a.Close();
    Project back;
    ASSERT_TRUE(LoadProject(again, back, error)) << error;
    EXPECT_EQ(back.details.title, loaded.details.title);
    EXPECT_EQ(back.sources[0].name, loaded.sources[0].name);
}

// Texts the code page cannot hold, or whose code-page bytes would read as
// other UTF-8 text, are stored in UTF-8 and come back unchanged.
TEST_F(ProjectFileIntegrity, TextsBeyondTheCodePageRoundTripInUtf8) {
    const std::string path = folder_.File("p.vnx");
    Project project = test::ValidLevel1Project();
    const std::vector<std::string> titles = {"\u6c34\u4e95 (well)", "\u00c3\u00a9",
                                             "Ma\u0142opolska", "plain"};
    for (const std::string& title : titles) {
        project.details.title = title;
        std::string error;
        ASSERT_TRUE(SaveProject(project, path, false, error)) << error;
        Project back;
        ASSERT_TRUE(LoadProject(path, back, error)) << error;
        EXPECT_EQ(back.details.title, title);
    }
}

} // namespace
} // namespace varnex
