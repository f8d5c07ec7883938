// Run: ctest --test-dir build -R 'Log|AppTest|TextUtil'   (or build/tests/app_tests)
// The log file, start-up options, folder creation, file replacing and the
// code page. Number parsing and the code page towards UTF-8 are compared
// with the independent model on generated files (ModelAgreement).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "app/applikation.h"
#include "app/log.h"
#include "app/platform.h"
#include "app/state_dir.h"
#include "app/text_util.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

// Every log line is stamped 05.03.2024 07:08:09.
constexpr const char* kFixedPrefix = "<05.03.2024 07:08:09>: ";
std::tm FixedTime() {
    std::tm t{};
    std::tie(t.tm_mday, t.tm_mon, t.tm_year, t.tm_hour, t.tm_min, t.tm_sec) =
        std::tuple(5, 2, 124, 7, 8, 9);
    return t;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Every test writes into its own folder with the fixed clock and a program
// folder there.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.ok());
        // Every '-' on a command line starts an option.
        ASSERT_EQ(m_dir.path().find('-'), std::string::npos) << "TMPDIR holds a '-'";
        std::filesystem::create_directory(Path("bin"));
        SetExecutablePathForTesting(Path("bin/quorvel"));
        SetLogClockForTesting(FixedTime);
        // A default log outside the program folder stays in the test's folder.
        for (const char* name : {"HOME", "XDG_STATE_HOME"}) {
            const char* value = std::getenv(name);
            m_env.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        ::setenv("HOME", Path("home").c_str(), 1);
        ::setenv("XDG_STATE_HOME", Path("state").c_str(), 1);
        g_strLogFile = Path("q.log");
        g_strLogBackupFile = Path("q.bak");
        g_nLogMask = 0;
    }
    std::string Path(const std::string& name) const { return m_dir.path() + name; }
    static std::string Line(const std::string& message) { return kFixedPrefix + message + "\n"; }
    // Start-up with `text` as the command line, '@' standing for the test folder.
    void Start(CApplikation& app, std::string text) {
        for (std::size_t at; (at = text.find('@')) != std::string::npos;) {
            text.replace(at, 1, m_dir.path());
        }
        app.SetCommandLineText(text);
        EXPECT_TRUE(app.InitInstance());
    }

    void TearDown() override {
        std::filesystem::current_path(m_cwd);
        for (const auto& [name, value] : m_env) {
            value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
        }
    }

    testing::TempDir m_dir;
    std::vector<std::pair<const char*, std::optional<std::string>>> m_env;
    const std::filesystem::path m_cwd = std::filesystem::current_path();
};

TEST_F(AppTest, LogLevelIsWrittenOnlyWhenAllItsBitsAreInTheMask) {
    struct Case {
        uint32_t mask, level;
        bool written;
    };
    const Case cases[] = {
        {0, 0, true},     {0, 8, false},       {0x0C, 4, true}, {0x0C, 12, true},
        {0x0C, 9, false}, {0x0C, 0x1C, false}, {8, 12, false},  {0xFFFFFFFF, 0x80000001, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mask " << c.mask << " level " << c.level);
        std::filesystem::remove(g_strLogFile);
        g_nLogMask = c.mask;
        WriteLog(c.level, "level %u", c.level);
        EXPECT_EQ(
            ReadWholeFile(g_strLogFile),
            c.written ? std::optional(Line("level " + std::to_string(c.level))) : std::nullopt);
    }
}

TEST_F(AppTest, LogLinesHaveTheDatePrefixAndAtMost1024Bytes) {
    WriteLog(0, "new char[%d] = %08x", 41, 0xABCu);
    WriteLog(0, "%s", std::string(1000, 'm').c_str());
    WriteLog(0, "%s", std::string(5000, 'z').c_str());  // cut, never spread over lines
    EXPECT_EQ(ReadWholeFile(g_strLogFile), Line("new char[41] = 00000abc") +
                                               Line(std::string(1000, 'm')) +
                                               Line(std::string(1000, 'z')));
}

TEST_F(AppTest, LogRotatesOnlyWhenLargerThanFiveMebibytes) {
    // The documented threshold, written out: a wrong constant must not move it.
    constexpr long long kDocumented = 5'242'880;
    const std::string line = Line("x");
    const std::pair<long long, bool> cases[] = {
        {kDocumented - 1, false}, {kDocumented, false}, {kDocumented + 1, true}};
    for (const auto& [sizeAfterWrite, rotated] : cases) {
        SCOPED_TRACE(sizeAfterWrite);
        const std::string before(static_cast<std::size_t>(sizeAfterWrite) - line.size(), '.');
        WriteWholeFile(g_strLogFile, before);
        WriteWholeFile(g_strLogBackupFile, "old backup\n");
        WriteLog(0, "x");
        EXPECT_EQ(ReadWholeFile(rotated ? g_strLogBackupFile : g_strLogFile), before + line);
        EXPECT_EQ(std::filesystem::exists(g_strLogFile), !rotated);
        if (!rotated) {
            EXPECT_EQ(ReadWholeFile(g_strLogBackupFile), "old backup\n");
        }
    }
    // When the backup path is taken by a folder, the log keeps every line.
    const std::string big(static_cast<std::size_t>(kDocumented), '.');
    std::filesystem::remove(g_strLogBackupFile);
    std::filesystem::create_directory(g_strLogBackupFile);
    WriteWholeFile(g_strLogFile, big);
    WriteLog(0, "one");
    WriteLog(0, "two");
    EXPECT_EQ(ReadWholeFile(g_strLogFile), big + Line("one") + Line("two"));
}

TEST_F(AppTest, LogWritesNothingThroughLinksFifosOrFolders) {
    const std::string target = Path("target");
    WriteWholeFile(target, "precious\n");
    std::filesystem::create_symlink(target, g_strLogFile);
    WriteLog(0, "via link");
    EXPECT_EQ(ReadWholeFile(target), "precious\n");

    // A FIFO without a reader must not stall the writer.
    g_strLogFile = Path("fifo");
    ASSERT_EQ(::mkfifo(g_strLogFile.c_str(), 0600), 0);
    WriteLog(0, "no reader");

    g_strLogFile = Path("folder");
    std::filesystem::create_directory(g_strLogFile);
    WriteLog(0, "into folder");
    EXPECT_TRUE(std::filesystem::is_empty(g_strLogFile));
}

// The one writer both programs save covers with.
TEST_F(AppTest, FileReplacingNeverFollowsALinkAndLeavesNoPartBehind) {
    const std::string target = Path("target");
    WriteWholeFile(target, "precious\n");
    std::filesystem::create_symlink(target, Path("link.jpg"));
    std::filesystem::create_directory(Path("folder"));
    WriteWholeFile(Path("old.jpg"), "a longer old cover\n");
    const std::pair<const char*, int> cases[] = {{"new.jpg", 0},
                                                 {"old.jpg", 0},
                                                 {"link.jpg", ELOOP},
                                                 {"folder", EISDIR},
                                                 {"no/new.jpg", ENOENT}};
    const std::string bytes = "cover";
    for (const auto& [name, error] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(
            WriteFileReplacing(
                Path(name), {reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()}),
            error);
        if (error == 0) {
            EXPECT_EQ(ReadWholeFile(Path(name)), bytes);
        }
    }
    EXPECT_EQ(ReadWholeFile(target), "precious\n");
    EXPECT_TRUE(std::filesystem::is_symlink(Path("link.jpg")));
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.path())) {
        EXPECT_EQ(entry.path().filename().string().find(".part"), std::string::npos);
    }
}

// The folder chain is created where missing; where it cannot be, the log
// goes to the temporary folder.
TEST_F(AppTest, SetLogFilePlacesLogAndBackupSideBySide) {
    std::filesystem::create_directory(Path("sub"));
    std::filesystem::create_directory(Path("tmp"));
    WriteWholeFile(Path("plain"), "a file, not a folder");
    const char* oldTmp = std::getenv("TMPDIR");
    const std::optional<std::string> restore =
        oldTmp ? std::optional<std::string>(oldTmp) : std::nullopt;
    ::setenv("TMPDIR", Path("tmp").c_str(), 1);
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"sub/x.txt", "sub/x.txt", "sub/x.bak"},
        {"sub/x", "sub/x.log", "sub/x.bak"},
        {"sub/a.b.c", "sub/a.b.c", "sub/a.b.bak"},
        {"new/deeper/x.log", "new/deeper/x.log", "new/deeper/x.bak"},
        {"plain/sub/x.txt", "tmp/x.txt", "tmp/x.bak"},  // no folder below a file
    };
    for (const auto& [path, log, backup] : cases) {
        SCOPED_TRACE(path);
        SetLogFile(Path(path));
        EXPECT_EQ(g_strLogFile, Path(log));
        EXPECT_EQ(g_strLogBackupFile, Path(backup));
    }
    SetLogFile("bare.log");  // no folder at all
    EXPECT_EQ(g_strLogFile, Path("tmp/bare.log"));
    restore ? ::setenv("TMPDIR", restore->c_str(), 1) : ::unsetenv("TMPDIR");
}

TEST_F(AppTest, StartUpCutsOptionsAtEveryDashAndSetsTheLog) {
    struct Case {
        std::string text;
        std::vector<std::string> options;  // element 0 is the last on the line
        int32_t level;
        std::string logFile;  // relative to the test folder; "" for the default
    };
    const Case cases[] = {
        {"", {}, 0, ""},
        {"/data/my-film.box", {"film.box"}, 0, ""},  // a '-' in the path cuts it
        {"x -\t LOG 3 \r\n", {"LOG 3"}, 3, ""},      // trimmed, any case
        {"x --  -", {"", "", ""}, 0, ""},
        {"-log8 -log", {"log", "log8"}, 0, ""},  // the blank belongs to the name
        {"-log 3 -log 99999999999", {"log 99999999999", "log 3"}, INT32_MAX, ""},
        {"-logdatei \"@q/x.txt\"", {"logdatei \"@q/x.txt\""}, 0, "q/x.txt"},
        {"-logdatei\"@q/z\"", {"logdatei\"@q/z\""}, 0, "q/z.log"},
        // clang-format off
        {"-logdatei \"@a.log\" \"@q/last.log\"", {"logdatei \"@a.log\" \"@q/last.log\""}, 0,
         "q/last.log"},
        // clang-format on
        {"-logdatei @q/unquoted.log", {"logdatei @q/unquoted.log"}, 0, ""},
        {"-logdatei \"@my-logs/x.log\"", {"logs/x.log\"", "logdatei \"@my"}, 0, ""},
        {"-logdat \"@q/short.log\"", {"logdat \"@q/short.log\""}, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        g_nLogMask = 0;
        CApplikation app;
        Start(app, c.text);
        std::vector<std::string> options = c.options;
        for (std::string& o : options) {
            for (std::size_t at; (at = o.find('@')) != std::string::npos;) {
                o.replace(at, 1, m_dir.path());
            }
        }
        EXPECT_EQ(app.GetOptions(), options);
        EXPECT_EQ(app.GetLogLevel(), c.level);
        EXPECT_EQ(g_nLogMask, static_cast<uint32_t>(c.level));
        EXPECT_EQ(g_strLogFile,
                  c.logFile.empty() ? DefaultLogFolder() + "mirax.log" : Path(c.logFile));
    }
}

// Where start-up puts the default log: beside the program while its folder
// is the user's own, else in the user's state folder; "logdatei" still wins.
// Run as root, every folder counts as installed (see IsOwnProgramFolder).
TEST_F(AppTest, DefaultLogBesideTheProgramElseInTheStateFolder) {
    const std::string t = m_dir.path();
    const std::string own = ::geteuid() != 0 ? t + "bin/mirax.log" : t + "state/quorvel/mirax.log";
    // No '-' in the paths: it would start an option on the command line.
    const struct {
        const char* what;
        std::string program, stateHome, commandLine, expectedLog;
    } cases[] = {
        {"program folder of the user's own", t + "bin/quorvel", t + "state", "", own},
        {"program folder not writable", t + "usr/bin/quorvel", t + "state", "",
         t + "state/quorvel/mirax.log"},
        {"state home with slash", t + "usr/bin/quorvel", t + "state/", "",
         t + "state/quorvel/mirax.log"},
        {"relative state home ignored", t + "usr/bin/quorvel", "state", "",
         t + "home/.local/state/quorvel/mirax.log"},
        {"no state home", t + "usr/bin/quorvel", "", "", t + "home/.local/state/quorvel/mirax.log"},
        {"logdatei wins", t + "usr/bin/quorvel", t + "state", "-logdatei \"" + t + "own/q.log\"",
         t + "own/q.log"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ::setenv("XDG_STATE_HOME", c.stateHome.c_str(), 1);
        SetExecutablePathForTesting(c.program);
        CApplikation app;
        app.SetCommandLineText(c.commandLine);
        app.InitInstance();
        EXPECT_EQ(g_strLogFile, c.expectedLog);
        // The folder is made, parents included, so the first line lands.
        EXPECT_TRUE(IsDirectory(SplitPath(c.expectedLog).dir));
    }
}

// A program keeps its log beside itself only in a folder its user owns and
// may write, and never for root; an installed program's folder is root's.
TEST_F(AppTest, OwnProgramFolderOnlyForItsOwnerAndNeverForRoot) {
    // The test's folder as a user's own: ours, or, run as root, another's.
    const uid_t user = ::geteuid() != 0 ? ::geteuid() : 4242;
    const std::string own = Path("own/");
    const std::string readOnly = Path("readonly/");
    std::filesystem::create_directory(own);
    std::filesystem::create_directory(readOnly);
    ::chmod(readOnly.c_str(), 0555);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(own.c_str(), user, static_cast<gid_t>(-1)), 0);
        ASSERT_EQ(::chown(readOnly.c_str(), user, static_cast<gid_t>(-1)), 0);
    }
    const struct {
        const char* what;
        std::string folder;
        uid_t user;
        bool own;
    } cases[] = {
        {"the user's own folder", own, user, true},
        {"not writable", readOnly, user, false},
        {"root's own folder, run by root", "/usr/bin/", 0, false},
        {"another user's folder", own, user + 1, false},
        {"an installed program's folder", "/usr/bin/", user, false},
        {"no folder at all", "", user, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(IsOwnProgramFolder(c.folder, c.user), c.own);
    }
}

TEST(TextUtil, CodePageRoundTripAndReplacement) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    // Each malformed byte or unmapped character becomes one '?'.
    EXPECT_EQ(Utf8ToCp1252("\u0100\U0001F600\xC2\x80\xC0\xAF\xED\xA0\x80"
                           "a\xC3"),
              "????????a?");
}

}  // namespace
}  // namespace quorvel
