// Run: ctest --test-dir build -R 'Applikation|CommandLine|StartUp'
#include "app/applikation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/log.h"
#include "app_test_support.h"

namespace quorvel {
namespace {

using testing::AppStateGuard;
using testing::ReadWholeFile;
using testing::ScopedEnv;
using testing::TempDir;

TEST(Applikation, ConstructionSetsTheDocumentedDefaults) {
    ScopedEnv home("HOME", "/home/tester");
    const CApplikation app;
    EXPECT_EQ(app.GetCoverFolder(), "/home/tester/Cover/");
    EXPECT_EQ(app.GetDataFolder(), "/home/tester/Daten/");
    EXPECT_EQ(app.GetCommentFolder(), "/home/tester/Kommentare/");
    EXPECT_EQ(app.GetContentFolder(), "/home/tester/Inhalt/");
    EXPECT_EQ(app.GetExtraFolder1(), "");
    EXPECT_EQ(app.GetExtraFolder2(), "");
    EXPECT_EQ(app.GetExtraFolder3(), "");
    EXPECT_TRUE(app.GetCaseSensitive());
    EXPECT_EQ(app.GetCounter(), 0);
    EXPECT_EQ(app.GetLogLevel(), 0);
    EXPECT_TRUE(app.GetOptions().empty());
    EXPECT_EQ(app.GetCommandLineText(), "");
}

TEST(Applikation, FolderSettersStoreTheValueUnchanged) {
    CApplikation app;
    app.SetCoverFolder("no slash");
    app.SetDataFolder("");
    app.SetCommentFolder("/k/");
    app.SetContentFolder("i");
    app.SetExtraFolder2("/x");
    EXPECT_EQ(app.GetCoverFolder(), "no slash");
    EXPECT_EQ(app.GetDataFolder(), "");
    EXPECT_EQ(app.GetCommentFolder(), "/k/");
    EXPECT_EQ(app.GetContentFolder(), "i");
    EXPECT_EQ(app.GetExtraFolder2(), "/x");
}

struct JoinCase {
    std::vector<const char*> args;  // without the program name
    std::string text;
};

TEST(CommandLine, ArgumentsAreJoinedByThePlatformRule) {
    const JoinCase cases[] = {
        {{}, ""},
        {{"film.box"}, "film.box"},
        {{"/data/my film.box"}, "\"/data/my film.box\""},
        {{"a\tb"}, "\"a\tb\""},
        {{"\"/data/my film.box\""}, "\"/data/my film.box\""},  // already quoted: as it is
        {{"-logdatei \"/tmp/q/x.log\""}, "-logdatei \"/tmp/q/x.log\""},
        {{"x.box", "-log", "8"}, "x.box -log 8"},
        {{"", "x"}, "\"\" x"},
        {{"a", ""}, "a \"\""},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"quorvel"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        argv.push_back(nullptr);
        CApplikation app;
        app.SetCommandLine(static_cast<int>(argv.size() - 1), argv.data());
        EXPECT_EQ(app.GetCommandLineText(), c.text);
    }
}

// Start-up against a program folder inside a private temporary folder.
class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.ok());
        // Every '-' on the command line starts an option, so the folder the
        // paths are built from must not hold one.
        ASSERT_EQ(m_dir.path().find('-'), std::string::npos) << "TMPDIR holds a '-'";
        std::filesystem::create_directory(ProgramFolder());
        SetExecutablePathForTesting(ProgramFolder() + "quorvel");
        SetLogClockForTesting(testing::FixedTime);
        g_nLogMask = 0;
    }
    std::string ProgramFolder() const { return m_dir.path() + "bin/"; }
    std::string Path(const std::string& name) const { return m_dir.path() + name; }

    // Runs start-up with `text` as the command-line text.
    void Start(CApplikation& app, const std::string& text) {
        app.SetCommandLineText(text);
        EXPECT_TRUE(app.InitInstance());
    }

    TempDir m_dir;
    AppStateGuard m_guard;
};

struct CutCase {
    std::string text;
    std::vector<std::string> options;  // element 0 is the last on the line
};

TEST_F(StartUpTest, OptionsAreCutAtEveryDashFromTheEnd) {
    const CutCase cases[] = {
        {"", {}},
        {"/data/film.box", {}},
        {"/data/film.box -log 8", {"log 8"}},
        {"-a -b -c", {"c", "b", "a"}},
        {"/data/my-film.box", {"film.box"}},                 // a '-' in the path cuts it
        {"\"/data/a-b.box\" -log 1", {"log 1", "b.box\""}},  // quotes do not protect it
        {"x --  -", {"", "", ""}},                           // empty options are kept
        {"x -\t log 3 \r\n", {"log 3"}},                     // trimmed at both ends
        {"-logdatei \"/q/my-logs/x.log\"", {"logs/x.log\"", "logdatei \"/q/my"}},
    };
    for (const auto& c : cases) {
        CApplikation app;
        Start(app, c.text);
        EXPECT_EQ(app.GetOptions(), c.options) << c.text;
        // The text itself stays whole for the main window.
        EXPECT_EQ(app.GetCommandLineText(), c.text);
    }
}

TEST_F(StartUpTest, FindOptionMatchesPrefixesWithoutCase) {
    CApplikation app;
    Start(app, "file.box -Log 1 -lo -LOGDATEI x -log 2 -other");
    // Options in array order: "other", "log 2", "LOGDATEI x", "lo", "Log 1".
    EXPECT_EQ(app.FindOption("log "), 1);  // the last one on the line
    EXPECT_EQ(app.FindOption("LOG "), 1);
    EXPECT_EQ(app.FindOption("logdatei"), 2);
    EXPECT_EQ(app.FindOption("lo"), 1);
    EXPECT_EQ(app.FindOption("log 1"), 4);
    EXPECT_EQ(app.FindOption("otherwise"), -1);  // the option is shorter than the name
    EXPECT_EQ(app.FindOption("x"), -1);
    EXPECT_EQ(app.GetOption(2), "LOGDATEI x");
    EXPECT_EQ(app.GetOption(5), "");
    EXPECT_EQ(app.GetOption(-1), "");
}

struct LevelCase {
    std::string text;
    int32_t level;
};

TEST_F(StartUpTest, LogOptionSetsLevelAndMask) {
    const LevelCase cases[] = {
        {"", 0},
        {"-log 8", 8},
        {"-LOG 8", 8},
        {"file.box -lOg 12", 12},
        {"-log8", 0},  // the blank belongs to the name
        {"-log", 0},   // trimmed to "log", shorter than the name
        {"-log abc", 0},
        {"-log   12abc", 12},
        {"-log 3 -log 5", 5},  // the last one counts
        {"-log 5 -logdatei \"x\"", 5},
        {"-log 99999999999", INT32_MAX},
        {"-log +4", 4},
    };
    for (const auto& c : cases) {
        g_nLogMask = 0;
        CApplikation app;
        Start(app, c.text);
        EXPECT_EQ(app.GetLogLevel(), c.level) << c.text;
        EXPECT_EQ(g_nLogMask, static_cast<uint32_t>(c.level)) << c.text;
    }
}

TEST_F(StartUpTest, EmptyCommandLineLogsToTheProgramFolder) {
    CApplikation app;
    Start(app, "");
    EXPECT_TRUE(app.GetOptions().empty());
    EXPECT_EQ(app.GetLogLevel(), 0);
    EXPECT_EQ(g_strLogFile, ProgramFolder() + "mirax.log");
    EXPECT_EQ(g_strLogBackupFile, ProgramFolder() + "mirax.bak");
    EXPECT_EQ(app.GetProgramFolder(), ProgramFolder());
    EXPECT_EQ(app.GetApplicationName(), "quorvel");
}

struct LogFileCase {
    std::string text;     // "@" stands for the test folder
    std::string logFile;  // "" means the default in the program folder
};

TEST_F(StartUpTest, LogdateiTakesThePathBetweenTheLastTwoQuotes) {
    const LogFileCase cases[] = {
        {"-logdatei \"@q/x.log\"", "q/x.log"},
        {"-LogDatei \"@q/y.txt\"", "q/y.txt"},
        {"-logdatei\"@q/z\"", "q/z.log"},
        {"-logdatei \"@ignored.log\" \"@q/last.log\"", "q/last.log"},
        {"-logdatei \"@q/a.log\" -logdatei \"@q/b.log\"", "q/b.log"},  // last counts
        {"-logdatei @q/unquoted.log", ""},
        {"-logdatei \"@q/one-quote.log", ""},
        {"-logdatei \"@q/one.log", ""},
        {"-logdatei \"@my-logs/x.log\"", ""},  // cut at the '-', one quote left
        {"-logdat \"@q/short.log\"", ""},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        for (std::size_t at; (at = text.find('@')) != std::string::npos;) {
            text.replace(at, 1, m_dir.path());
        }
        CApplikation app;
        Start(app, text);
        const std::string expected =
            c.logFile.empty() ? ProgramFolder() + "mirax.log" : Path(c.logFile);
        EXPECT_EQ(g_strLogFile, expected) << text;
    }
    EXPECT_TRUE(std::filesystem::is_directory(Path("q")));
    EXPECT_FALSE(testing::Exists(Path("my")));
}

TEST_F(StartUpTest, ShellArgumentsReachTheOptions) {
    // quorvel -log 8 -logdatei "<dir>/logs/x.log"  (as a shell passes it)
    const std::string logPath = Path("my logs/x.log");
    const std::string quoted = "\"" + logPath + "\"";
    const char* argv[] = {"quorvel", "-log", "8", "-logdatei", quoted.c_str(), nullptr};
    CApplikation app;
    app.SetCommandLine(5, argv);
    EXPECT_TRUE(app.InitInstance());
    EXPECT_EQ(app.GetLogLevel(), 8);
    EXPECT_EQ(g_strLogFile, logPath);

    // A path with a blank, unquoted in argv, gets quoted by the joining rule.
    const std::string other = Path("other dir/y.log");
    const char* argv2[] = {"quorvel", "-logdatei", other.c_str(), nullptr};
    CApplikation app2;
    app2.SetCommandLine(3, argv2);
    app2.InitInstance();
    EXPECT_EQ(g_strLogFile, other);

    // With the level as mask, the program's level-8 lines now reach the log.
    WriteLog(8, "delete %08x", 0x10u);
    EXPECT_EQ(ReadWholeFile(other), std::string(testing::kFixedPrefix) + "delete 00000010\n");
}

TEST_F(StartUpTest, StartUpLeavesTheCurrentDirectoryAlone) {
    std::filesystem::create_directory(Path("start"));
    std::filesystem::create_directory(Path("logs"));
    std::filesystem::current_path(Path("start"));
    const std::string before = CurrentDirectory();
    CApplikation app;
    Start(app, "film.box -logdatei \"" + Path("logs/x.log") + "\"");
    EXPECT_EQ(g_strLogFile, Path("logs/x.log"));
    EXPECT_EQ(CurrentDirectory(), before);
}

}  // namespace
}  // namespace quorvel
