// Run: ctest --test-dir build -R 'Log|CreateFolderPath'
#include "app/log.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "app/applikation.h"
#include "app_test_support.h"

namespace quorvel {
namespace {

using testing::AppStateGuard;
using testing::Exists;
using testing::kFixedPrefix;
using testing::ReadWholeFile;
using testing::ScopedEnv;
using testing::TempDir;
using testing::WriteWholeFile;

// Every test writes into its own folder with the fixed clock.
class LogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.ok());
        SetLogClockForTesting(testing::FixedTime);
        g_strLogFile = Path("q.log");
        g_strLogBackupFile = Path("q.bak");
        g_nLogMask = 0;
    }
    std::string Path(const std::string& name) const { return m_dir.path() + name; }
    std::string Line(const std::string& message) const {
        return std::string(kFixedPrefix) + message + "\n";
    }

    // Declared first so it is removed last, after the guard has moved the
    // current directory out of it.
    TempDir m_dir;
    AppStateGuard m_guard;
};

struct MaskCase {
    uint32_t mask;
    uint32_t level;
    bool written;
};

TEST_F(LogTest, LevelIsWrittenOnlyWhenAllItsBitsAreInTheMask) {
    const MaskCase cases[] = {
        {0, 0, true},
        {0, 8, false},
        {0, 1, false},
        {0x0C, 0, true},
        {0x0C, 4, true},
        {0x0C, 8, true},
        {0x0C, 12, true},
        {0x0C, 1, false},
        {0x0C, 9, false},
        {0x0C, 0x1C, false},
        {8, 8, true},
        {8, 12, false},
        {0xFFFFFFFF, 0x80000001, true},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(g_strLogFile);
        g_nLogMask = c.mask;
        WriteLog(c.level, "level %u", c.level);
        const auto content = ReadWholeFile(g_strLogFile);
        if (c.written) {
            EXPECT_EQ(content, Line("level " + std::to_string(c.level)))
                << "mask " << c.mask << " level " << c.level;
        } else {
            EXPECT_FALSE(content.has_value()) << "mask " << c.mask << " level " << c.level;
        }
    }
}

TEST_F(LogTest, LineHasTheDatePrefixAndIsAppended) {
    WriteLog(0, "new char[%d] = %08x", 41, 0xABCu);
    std::tm other{};
    other.tm_mday = 31;
    other.tm_mon = 11;
    other.tm_year = 99;
    other.tm_hour = 23;
    other.tm_min = 59;
    other.tm_sec = 0;
    SetLogClockForTesting([other] { return other; });
    WriteLog(0, "delete %08x", 0xABCu);
    EXPECT_EQ(ReadWholeFile(g_strLogFile),
              Line("new char[41] = 00000abc") + "<31.12.1999 23:59:00>: delete 00000abc\n");
}

TEST_F(LogTest, MessageLengthIsLimitedToOneLine) {
    const std::string thousand(1000, 'm');
    WriteLog(0, "%s", thousand.c_str());
    EXPECT_EQ(ReadWholeFile(g_strLogFile), Line(thousand));
    EXPECT_EQ(Line(thousand).size(), 1024u);

    // A longer message is cut, never spread over lines or past 1024 bytes.
    std::filesystem::remove(g_strLogFile);
    const std::string longer(5000, 'z');
    WriteLog(0, "%s", longer.c_str());
    EXPECT_EQ(ReadWholeFile(g_strLogFile), Line(std::string(1000, 'z')));
}

TEST_F(LogTest, RotatesOnlyPastTheLimitAndReplacesTheBackup) {
    const std::string line = Line("x");
    struct Case {
        long long sizeAfterWrite;
        bool rotated;
    };
    const Case cases[] = {
        {kLogRotateBytes - 1, false}, {kLogRotateBytes, false}, {kLogRotateBytes + 1, true}};
    for (const auto& c : cases) {
        const std::string before(static_cast<std::size_t>(c.sizeAfterWrite) - line.size(), '.');
        WriteWholeFile(g_strLogFile, before);
        WriteWholeFile(g_strLogBackupFile, "old backup\n");
        WriteLog(0, "x");
        if (c.rotated) {
            EXPECT_FALSE(Exists(g_strLogFile)) << c.sizeAfterWrite;
            EXPECT_EQ(ReadWholeFile(g_strLogBackupFile), before + line) << c.sizeAfterWrite;
            // The next line starts a new log.
            WriteLog(0, "y");
            EXPECT_EQ(ReadWholeFile(g_strLogFile), Line("y"));
        } else {
            EXPECT_EQ(ReadWholeFile(g_strLogFile), before + line) << c.sizeAfterWrite;
            EXPECT_EQ(ReadWholeFile(g_strLogBackupFile), "old backup\n") << c.sizeAfterWrite;
        }
    }
}

TEST_F(LogTest, RotationNeverLosesLines) {
    const std::string big(static_cast<std::size_t>(kLogRotateBytes), '.');

    // The backup path is taken by a folder: the log keeps everything.
    std::filesystem::create_directory(g_strLogBackupFile);
    WriteWholeFile(g_strLogBackupFile + "/keep", "k");
    WriteWholeFile(g_strLogFile, big);
    WriteLog(0, "one");
    WriteLog(0, "two");
    EXPECT_EQ(ReadWholeFile(g_strLogFile), big + Line("one") + Line("two"));
    EXPECT_EQ(ReadWholeFile(g_strLogBackupFile + "/keep"), "k");

    // A log whose own extension is ".bak" is its own backup: still kept whole.
    g_strLogFile = Path("self.bak");
    g_strLogBackupFile = Path("self.bak");
    WriteWholeFile(g_strLogFile, big);
    WriteLog(0, "three");
    EXPECT_EQ(ReadWholeFile(g_strLogFile), big + Line("three"));
}

TEST_F(LogTest, WritesNothingThroughLinksFifosOrFolders) {
    // A symbolic link at the log path is not followed.
    const std::string target = Path("target");
    WriteWholeFile(target, "precious\n");
    std::filesystem::create_symlink(target, g_strLogFile);
    WriteLog(0, "via link");
    EXPECT_EQ(ReadWholeFile(target), "precious\n");
    EXPECT_TRUE(std::filesystem::is_symlink(g_strLogFile));

    // A FIFO without a reader must not stall the writer; with a reader it
    // must receive nothing.
    g_strLogFile = Path("fifo");
    ASSERT_EQ(::mkfifo(g_strLogFile.c_str(), 0600), 0);
    WriteLog(0, "no reader");
    const int reader = ::open(g_strLogFile.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    WriteLog(0, "with reader");
    char buffer[64];
    EXPECT_LE(::read(reader, buffer, sizeof buffer), 0);
    ::close(reader);

    // A folder at the log path gets no file inside.
    g_strLogFile = Path("folder");
    std::filesystem::create_directory(g_strLogFile);
    WriteLog(0, "into folder");
    EXPECT_TRUE(std::filesystem::is_empty(g_strLogFile));

    // A missing folder is not created by writing.
    g_strLogFile = Path("missing/q.log");
    WriteLog(0, "lost");
    EXPECT_FALSE(Exists(Path("missing")));
}

struct SetLogFileCase {
    std::string path;  // relative to the test folder
    std::string log;
    std::string backup;
};

TEST_F(LogTest, SetLogFilePlacesLogAndBackupSideBySide) {
    std::filesystem::create_directory(Path("sub"));
    const SetLogFileCase cases[] = {
        {"sub/x.txt", "sub/x.txt", "sub/x.bak"},
        {"sub/x", "sub/x.log", "sub/x.bak"},
        {"sub/mirax.log", "sub/mirax.log", "sub/mirax.bak"},
        {"sub/a.b.c", "sub/a.b.c", "sub/a.b.bak"},
        {"sub/.hidden", "sub/.hidden", "sub/.bak"},
        {"new/deeper/still/x.log", "new/deeper/still/x.log", "new/deeper/still/x.bak"},
    };
    for (const auto& c : cases) {
        SetLogFile(Path(c.path));
        EXPECT_EQ(g_strLogFile, Path(c.log)) << c.path;
        EXPECT_EQ(g_strLogBackupFile, Path(c.backup)) << c.path;
    }
    // The missing chain was created and the log can be written there.
    EXPECT_TRUE(std::filesystem::is_directory(Path("new/deeper/still")));
    WriteLog(0, "here");
    EXPECT_EQ(ReadWholeFile(Path("new/deeper/still/x.log")), Line("here"));
}

TEST_F(LogTest, SetLogFileFallsBackToTheTemporaryFolder) {
    std::filesystem::create_directory(Path("tmp"));
    ScopedEnv tmp("TMPDIR", Path("tmp"));
    WriteWholeFile(Path("plain"), "a file, not a folder");

    // The folder cannot be created below a regular file.
    SetLogFile(Path("plain/sub/x.txt"));
    EXPECT_EQ(g_strLogFile, Path("tmp/x.txt"));
    EXPECT_EQ(g_strLogBackupFile, Path("tmp/x.bak"));

    // A bare file name has no folder at all.
    SetLogFile("bare.log");
    EXPECT_EQ(g_strLogFile, Path("tmp/bare.log"));
    EXPECT_EQ(g_strLogBackupFile, Path("tmp/bare.bak"));
}

TEST_F(LogTest, SetLogFileKeepsRelativeFoldersRelativeAndTheCurrentDirectory) {
    std::filesystem::current_path(m_dir.path());
    const std::string before = CurrentDirectory();

    SetLogFile("rel/sub/x.log");
    EXPECT_EQ(g_strLogFile, "rel/sub/x.log");
    EXPECT_EQ(g_strLogBackupFile, "rel/sub/x.bak");
    EXPECT_TRUE(std::filesystem::is_directory(Path("rel/sub")));
    EXPECT_EQ(CurrentDirectory(), before);

    std::filesystem::create_directory(Path("there"));
    SetLogFile(Path("there/y.log"));
    EXPECT_EQ(CurrentDirectory(), before);
}

class CreateFolderPathTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.ok()); }
    std::string Path(const std::string& name) const { return m_dir.path() + name; }

    // Declared first so it is removed last, after the guard has moved the
    // current directory out of it.
    TempDir m_dir;
    AppStateGuard m_guard;
};

TEST_F(CreateFolderPathTest, ReturnCodes) {
    WriteWholeFile(Path("plain"), "x");
    const std::string tooLong(300, 'n');
    struct Case {
        std::string path;  // "" stays empty, else relative to the test folder
        int result;
        std::string mustExist;  // folder created (or kept), relative to the test folder
    };
    const Case cases[] = {
        {"", ENOENT, ""},
        {"new", 0, "new"},
        {"new", EEXIST, "new"},
        {"new/", EEXIST, "new"},
        {"a/b/c", 0, "a/b/c"},
        {"a/b/c/d/", 0, "a/b/c/d"},
        {"f/file.txt", 0, "f"},  // a last part with a dot is a file name
        {"x.d/y", 0, "x.d/y"},
        {"plain/sub", ENOTDIR, ""},
        {"plain/sub/deeper", ENOTDIR, ""},
        {tooLong, ENAMETOOLONG, ""},
        {"m/" + tooLong + "/z", ENAMETOOLONG, "m"},  // fails part-way down the chain
    };
    const std::string cwd = CurrentDirectory();
    for (const auto& c : cases) {
        const std::string path = c.path.empty() ? "" : Path(c.path);
        EXPECT_EQ(CApplikation::CreateFolderPath(path), c.result) << c.path;
        if (!c.mustExist.empty()) {
            EXPECT_TRUE(std::filesystem::is_directory(Path(c.mustExist))) << c.path;
        }
    }
    EXPECT_TRUE(std::filesystem::is_empty(Path("f")));  // only the folder, nothing for the file
    EXPECT_EQ(CurrentDirectory(), cwd);
}

TEST_F(CreateFolderPathTest, RelativeChainIsBuiltFromTheCurrentDirectory) {
    std::filesystem::current_path(m_dir.path());
    EXPECT_EQ(CApplikation::CreateFolderPath("r1/r2/r3"), 0);
    EXPECT_TRUE(std::filesystem::is_directory(Path("r1/r2/r3")));
    EXPECT_EQ(CApplikation::CreateFolderPath("s1//s2///s3/"), 0);
    EXPECT_TRUE(std::filesystem::is_directory(Path("s1/s2/s3")));
    EXPECT_EQ(CApplikation::CreateFolderPath("r1/r2/r3"), EEXIST);
}

TEST(AppendBackslash, AddsOneSlashToNonEmptyPaths) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"/", "/"}, {"a", "a/"}, {"/a/b", "/a/b/"}, {"/a/b/", "/a/b/"}, {"a\\", "a\\/"}};
    for (const auto& [in, out] : cases) {
        std::string path = in;
        CApplikation::AppendBackslash(path);
        EXPECT_EQ(path, out) << in;
    }
}

}  // namespace
}  // namespace quorvel
