#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "session/Session.h"
#include "shell/CommandLine.h"
#include "shell/MRUFiles.h"
#include "shell/ShellDefaults.h"

namespace amx {
namespace {

std::vector<std::string> Listed(const TMRUFiles& m) {
    std::vector<std::string> out;
    for (const auto& f : m.Flist)
        if (!f.empty()) out.push_back(f);
    return out;
}

struct MRUFixture : ::testing::Test {
    Session s;
    TMRUFiles mru;
    void SetUp() override { mru.KeyStr = MRUKey; }
};

TEST_F(MRUFixture, MostRecentFirstAndRepeatsMoveUp) {
    for (const char* f : {"/d/A.amx", "/d/B.amx", "/d/C.amx"}) mru.UpdateList(s, f);
    EXPECT_EQ(Listed(mru), (std::vector<std::string>{"/d/C.amx", "/d/B.amx", "/d/A.amx"}));
    mru.UpdateList(s, "/d/B.amx");
    EXPECT_EQ(Listed(mru), (std::vector<std::string>{"/d/B.amx", "/d/C.amx", "/d/A.amx"}));

    // Linux paths are case-sensitive: a path differing in letter case is a
    // different file and goes on top.
    mru.UpdateList(s, "/d/b.amx");
    EXPECT_EQ(Listed(mru), (std::vector<std::string>{"/d/b.amx", "/d/B.amx", "/d/C.amx", "/d/A.amx"}));

    // A second reader (another running copy) sees the same list.
    TMRUFiles other;
    other.KeyStr = MRUKey;
    ASSERT_TRUE(other.ReadList(s));
    EXPECT_EQ(Listed(other), Listed(mru));
    EXPECT_EQ(*s.settings->ReadString(MRUKey, "File1"), "/d/b.amx");
    EXPECT_EQ(*s.settings->ReadString(MRUKey, "File9"), "");
    EXPECT_EQ(mru.LastPath(), "/d");
}

TEST_F(MRUFixture, TenFilesKeepTheLastNine) {
    for (int i = 1; i <= 10; ++i) mru.UpdateList(s, "/f" + std::to_string(i));
    auto l = Listed(mru);
    ASSERT_EQ(l.size(), 9u);
    EXPECT_EQ(l.front(), "/f10");
    EXPECT_EQ(l.back(), "/f2");
    // A name found only at position 9 is treated as new and comes out the same.
    mru.UpdateList(s, "/f2");
    l = Listed(mru);
    EXPECT_EQ(l.front(), "/f2");
    EXPECT_EQ(l.back(), "/f3");
}

TEST_F(MRUFixture, UnavailableStoreLeavesListEmptyAndWritesNothing) {
    MemorySettingsStore broken;
    broken.available = false;
    s.settings = &broken;
    mru.UpdateList(s, "/d/A.amx");
    EXPECT_TRUE(Listed(mru).empty());
    EXPECT_EQ(s.StatErrorCode, 1);
    EXPECT_EQ(mru.LastPath(), "");
}

TEST(RecentFiles, CaptionKeepsAmpersandsAndChecksTheFile) {
    EXPECT_EQ(RecentFileCaption(3, "/data/R&D/a.amx"), "&3  /data/R&&D/a.amx");

    Session s;
    RecordingMessages rec;
    s.messages = &rec;
    const auto dir = std::filesystem::temp_directory_path() / "amx_mru_test";
    std::filesystem::create_directories(dir);
    const auto per = (dir / "old.PeR").string();
    const auto amx = (dir / "ok.amx").string();
    std::ofstream(per) << "x";
    std::ofstream(amx) << "x";

    EXPECT_EQ(CheckRecentFile(s, amx), RecentFileAction::Load);
    EXPECT_EQ(CheckRecentFile(s, per), RecentFileAction::Ignore);
    EXPECT_EQ(rec.beeps, 1);
    EXPECT_TRUE(rec.entries.empty());
    EXPECT_EQ(CheckRecentFile(s, (dir / "gone.amx").string()), RecentFileAction::Ignore);
    EXPECT_EQ(rec.Errors(), std::vector<std::string>{"File Not Found!\n\n" + (dir / "gone.amx").string()});
    std::filesystem::remove_all(dir);
}

TEST(CommandLine, ArgumentCases) {
    Session s;
    TMRUFiles mru;
    mru.KeyStr = MRUKey;
    EXPECT_EQ(CommandLineFile({"@last"}, mru), "");  // empty list: nothing to load
    mru.UpdateList(s, "/home/u/recent file.amx");

    const std::string longPath = "/" + std::string(300, 'x') + "/data.amx";
    struct Case {
        std::vector<std::string> args;
        std::string expected;
    } cases[] = {
        {{}, ""},
        {{"/tmp/a.amx"}, "/tmp/a.amx"},
        {{"\"/tmp/with space.amx\""}, "/tmp/with space.amx"},
        {{"/tmp/with", "space.amx"}, "/tmp/with space.amx"},
        {{"  /tmp/a.amx  "}, "/tmp/a.amx"},
        {{"@LAST"}, "/home/u/recent file.amx"},
        {{"@Last"}, "/home/u/recent file.amx"},
        {{"\"@last\""}, "/home/u/recent file.amx"},
        {{longPath}, longPath},
    };
    for (const auto& c : cases) EXPECT_EQ(CommandLineFile(c.args, mru), c.expected);
}

}  // namespace
}  // namespace amx
