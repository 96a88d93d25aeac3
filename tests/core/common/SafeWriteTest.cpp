#include "common/SafeWrite.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace amx {
namespace {

namespace fs = std::filesystem;

class SafeWriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("amx-safewrite-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
        return Path(name);
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    int FilesIn(const fs::path& d) const {
        int n = 0;
        for (const auto& e : fs::directory_iterator(d)) n += fs::is_regular_file(e.symlink_status());
        return n;
    }

    fs::path dir_;
};

TEST_F(SafeWriteTest, WritesANewFileWithTheUsualPermissions) {
    ASSERT_EQ(SafeWriteFile(Path("new.txt"), "hello"), SafeWriteResult::Written);
    EXPECT_EQ(Read(Path("new.txt")), "hello");
    mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(fs::status(Path("new.txt")).permissions(), static_cast<fs::perms>(0666 & ~mask));
    EXPECT_EQ(FilesIn(dir_), 1);  // no temporary file left

    // In chunks, and a producer that gives up leaves the old file.
    auto chunks = [](const ChunkSink& sink) { return sink("a") && sink("b") && sink("c"); };
    ASSERT_EQ(SafeWriteFile(Path("new.txt"), chunks), SafeWriteResult::Written);
    EXPECT_EQ(Read(Path("new.txt")), "abc");
    auto failing = [](const ChunkSink& sink) { return sink("partial") && false; };
    EXPECT_EQ(SafeWriteFile(Path("new.txt"), failing), SafeWriteResult::Failed);
    EXPECT_EQ(Read(Path("new.txt")), "abc");
    EXPECT_EQ(FilesIn(dir_), 1);
}

TEST_F(SafeWriteTest, ASymlinkStaysALinkAndItsTargetIsReplaced) {
    fs::create_directories(dir_ / "real");
    const std::string target = Write("real/data.amx", "old");
    fs::permissions(target, static_cast<fs::perms>(0640));
    fs::create_symlink("real/data.amx", dir_ / "link.amx");          // relative
    fs::create_symlink(dir_ / "link.amx", dir_ / "link2.amx");        // a chain
    ASSERT_EQ(SafeWriteFile(Path("link2.amx"), "new"), SafeWriteResult::Written);
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.amx"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "link2.amx"));
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(fs::status(target).permissions(), static_cast<fs::perms>(0640));
    EXPECT_EQ(FilesIn(dir_ / "real"), 1);

    // A dangling link creates the file it names.
    fs::create_symlink("real/fresh.amx", dir_ / "dangling.amx");
    ASSERT_EQ(SafeWriteFile(Path("dangling.amx"), "x"), SafeWriteResult::Written);
    EXPECT_EQ(Read(Path("real/fresh.amx")), "x");
    EXPECT_TRUE(fs::is_symlink(dir_ / "dangling.amx"));
}

TEST_F(SafeWriteTest, RefusesWhatIsNotAWritableRegularFile) {
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0644), 0);
    fs::create_directories(dir_ / "folder");
    fs::create_symlink("loop2", dir_ / "loop1");
    fs::create_symlink("loop1", dir_ / "loop2");
    fs::create_symlink("fifo", dir_ / "to-fifo");
    const std::string locked = Write("locked.amx", "keep");
    fs::permissions(locked, static_cast<fs::perms>(0444));
    struct Case {
        const char* label;
        std::string path;
        SafeWriteResult result;
    };
    const Case cases[] = {
        {"FIFO", Path("fifo"), SafeWriteResult::NotRegularFile},
        {"link to a FIFO", Path("to-fifo"), SafeWriteResult::NotRegularFile},
        {"folder", Path("folder"), SafeWriteResult::NotRegularFile},
        {"character device", "/dev/null", SafeWriteResult::NotRegularFile},
        {"loop of links", Path("loop1"), SafeWriteResult::NotRegularFile},
        // Refused even for root, who may write any file.
        {"read-only file", locked, SafeWriteResult::ReadOnly},
        {"missing folder", Path("none/x.amx"), SafeWriteResult::Failed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(SafeWriteFile(c.path, "data"), c.result);
    }
    struct stat st {};
    ASSERT_EQ(::lstat(Path("fifo").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    EXPECT_EQ(Read(locked), "keep");
    EXPECT_EQ(FilesIn(dir_), 1);
}

TEST_F(SafeWriteTest, TemporaryNamesAreRecognisable) {
    EXPECT_TRUE(IsSafeWriteTempName(".data.amx.amx-tmp-1234-aB3xYz"));
    EXPECT_FALSE(IsSafeWriteTempName("data.amx.amx-tmp-1234-aB3xYz"));   // no leading dot
    EXPECT_FALSE(IsSafeWriteTempName(".data.amx.amx-tmp-12x4-aB3xYz"));
    EXPECT_FALSE(IsSafeWriteTempName(".data.amx.amx-tmp-1234-aB3xY"));
    EXPECT_FALSE(IsSafeWriteTempName(".data.amx.saving"));
    // The temporary file really carries the pattern: catch it while writing.
    std::string seen;
    SafeWriteFileVia(Path("p.png"), [&](const std::string& temp) {
        seen = fs::path(temp).filename().string();
        std::ofstream(temp) << "png";
        return true;
    });
    EXPECT_TRUE(IsSafeWriteTempName(seen)) << seen;
    EXPECT_EQ(seen.rfind(".p.png.amx-tmp-" + std::to_string(::getpid()) + "-", 0), 0u) << seen;
    EXPECT_EQ(Read(Path("p.png")), "png");
}

TEST_F(SafeWriteTest, ALaterSaveRemovesStaleTemporaryFiles) {
    // A process id that no longer runs.
    pid_t gone = ::fork();
    ASSERT_GE(gone, 0);
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string dead = std::to_string(gone);
    const std::string alive = std::to_string(::getpid());
    auto backdate = [&](const std::string& name, long long seconds) {
        std::string p = Write(name, "stale");
        timeval times[2];
        times[0].tv_sec = times[1].tv_sec = ::time(nullptr) - seconds;
        times[0].tv_usec = times[1].tv_usec = 0;
        ::utimes(p.c_str(), times);
    };
    backdate(".big.amx.amx-tmp-" + dead + "-Ab12Cd", 2 * 86400);      // removed
    backdate(".big.amx.amx-tmp-" + alive + "-Ab12Cd", 2 * 86400);     // its process runs
    backdate(".big.amx.amx-tmp-" + dead + "-Ef34Gh", 3600);           // not a day old
    backdate("big.amx.amx-tmp-" + dead + "-Ab12Cd", 2 * 86400);       // not our pattern
    ASSERT_EQ(SafeWriteFile(Path("other.amx"), "x"), SafeWriteResult::Written);
    EXPECT_FALSE(fs::exists(Path(".big.amx.amx-tmp-" + dead + "-Ab12Cd")));
    EXPECT_TRUE(fs::exists(Path(".big.amx.amx-tmp-" + alive + "-Ab12Cd")));
    EXPECT_TRUE(fs::exists(Path(".big.amx.amx-tmp-" + dead + "-Ef34Gh")));
    EXPECT_TRUE(fs::exists(Path("big.amx.amx-tmp-" + dead + "-Ab12Cd")));
}

}  // namespace
}  // namespace amx
