// Run: ctest --test-dir build -R Platform
#include "app/platform.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "app_test_support.h"

namespace quorvel {
namespace {

using testing::AppStateGuard;
using testing::ScopedEnv;
using testing::TempDir;

struct SplitCase {
    std::string path;
    std::string dir;
    std::string fname;
    std::string ext;
};

TEST(Platform, SplitPathFollowsRuntimeRules) {
    const SplitCase cases[] = {
        {"", "", "", ""},
        {"mirax.log", "", "mirax", ".log"},
        {"/opt/quorvel/mirax.log", "/opt/quorvel/", "mirax", ".log"},
        {"/opt/quorvel/", "/opt/quorvel/", "", ""},
        {"/", "/", "", ""},
        {"/var/log", "/var/", "log", ""},
        {"rel/sub/x.txt", "rel/sub/", "x", ".txt"},
        {"/a.d/file", "/a.d/", "file", ""},                  // a dot in the folder is no extension
        {"/a/archive.tar.gz", "/a/", "archive.tar", ".gz"},  // the last dot counts
        {"/a/.hidden", "/a/", "", ".hidden"},
        {"/a/name.", "/a/", "name", "."},
        {"C:\\Log.log", "", "C:\\Log", ".log"},  // a backslash is an ordinary character
        {"//double//slash.x", "//double//", "slash", ".x"},
    };
    for (const auto& c : cases) {
        const PathParts parts = SplitPath(c.path);
        EXPECT_EQ(parts.drive, "") << c.path;
        EXPECT_EQ(parts.dir, c.dir) << c.path;
        EXPECT_EQ(parts.fname, c.fname) << c.path;
        EXPECT_EQ(parts.ext, c.ext) << c.path;
    }
}

TEST(Platform, TempAndHomeFoldersEndInSlash) {
    {
        ScopedEnv tmp("TMPDIR", "/var/tmp/q");
        EXPECT_EQ(TempFolder(), "/var/tmp/q/");
    }
    {
        ScopedEnv tmp("TMPDIR", "/var/tmp/q/");
        EXPECT_EQ(TempFolder(), "/var/tmp/q/");
    }
    {
        ScopedEnv tmp("TMPDIR", "");
        EXPECT_EQ(TempFolder(), "/tmp/");
    }
    {
        ScopedEnv home("HOME", "/home/tester");
        EXPECT_EQ(HomeFolder(), "/home/tester/");
    }
    {
        ScopedEnv home("HOME", "");
        const std::string fallback = HomeFolder();
        ASSERT_FALSE(fallback.empty());
        EXPECT_EQ(fallback.back(), '/');
    }
}

TEST(Platform, ProgramFolderAndNameComeFromTheExecutable) {
    AppStateGuard guard;
    // The real executable is this test binary.
    EXPECT_EQ(ApplicationName(), "app_platform_test");
    const std::string real = ExecutablePath();
    ASSERT_FALSE(real.empty());
    EXPECT_EQ(ProgramFolder() + "app_platform_test", real);
    EXPECT_TRUE(std::filesystem::equivalent(real, "/proc/self/exe"));

    SetExecutablePathForTesting("/opt/quorvel-1.0/bin/Quorvel.bin");
    EXPECT_EQ(ProgramFolder(), "/opt/quorvel-1.0/bin/");
    EXPECT_EQ(ApplicationName(), "Quorvel");
    SetExecutablePathForTesting("/usr/bin/quorvel-dump");
    EXPECT_EQ(ApplicationName(), "quorvel-dump");

    SetExecutablePathForTesting({});
    EXPECT_EQ(ExecutablePath(), real);
}

TEST(Platform, DirectoriesAreMadeAndRecognised) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string file = dir.path() + "file";
    testing::WriteWholeFile(file, "x");

    EXPECT_TRUE(IsDirectory(dir.path()));
    EXPECT_FALSE(IsDirectory(file));
    EXPECT_FALSE(IsDirectory(dir.path() + "missing"));
    EXPECT_FALSE(IsDirectory(""));

    EXPECT_EQ(MakeDirectory(dir.path() + "new"), 0);
    EXPECT_TRUE(IsDirectory(dir.path() + "new"));
    EXPECT_EQ(MakeDirectory(dir.path() + "new"), EEXIST);
    EXPECT_EQ(MakeDirectory(dir.path() + "a/b"), ENOENT);
    EXPECT_EQ(MakeDirectory(file + "/sub"), ENOTDIR);
}

TEST(Platform, AppendWritesRegularFilesOnly) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string log = dir.path() + "a.log";
    EXPECT_EQ(AppendToRegularFile(log, "abc"), 3);
    EXPECT_EQ(AppendToRegularFile(log, "de"), 5);
    EXPECT_EQ(testing::ReadWholeFile(log), "abcde");

    // A folder or a missing parent folder is no file to write.
    EXPECT_EQ(AppendToRegularFile(dir.path(), "x"), std::nullopt);
    EXPECT_EQ(AppendToRegularFile(dir.path() + "missing/a.log", "x"), std::nullopt);
    EXPECT_FALSE(testing::Exists(dir.path() + "missing"));
}

TEST(Platform, RenameReplacesTheTarget) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string from = dir.path() + "a";
    const std::string to = dir.path() + "b";
    testing::WriteWholeFile(from, "new");
    testing::WriteWholeFile(to, "old");
    EXPECT_TRUE(RenameReplacing(from, to));
    EXPECT_FALSE(testing::Exists(from));
    EXPECT_EQ(testing::ReadWholeFile(to), "new");
    EXPECT_FALSE(RenameReplacing(from, to));  // nothing left to move
    EXPECT_EQ(testing::ReadWholeFile(to), "new");
}

}  // namespace
}  // namespace quorvel
