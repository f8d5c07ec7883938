// Run: ctest --test-dir build -R LogFolder
// Where start-up puts the default log: beside the program while its folder
// can be written, else in the user's state folder; "logdatei" still wins.
#include <gtest/gtest.h>

#include <string>

#include "app/app_test_support.h"
#include "app/applikation.h"
#include "app/log.h"
#include "app/platform.h"

namespace quorvel {
namespace {

using testing::AppStateGuard;
using testing::ScopedEnv;
using testing::TempDir;

TEST(LogFolder, InstalledProgramsLogToTheStateFolder) {
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    const std::string t = tmp.path();
    ASSERT_EQ(MakeDirectory(t + "bin"), 0);
    // No '-' in the paths: it would start an option on the command line.
    struct Case {
        const char* what;
        std::string program;
        std::string stateHome;
        std::string commandLine;
        std::string expectedLog;
    };
    const Case cases[] = {
        {"writable program folder", t + "bin/quorvel", t + "state", "", t + "bin/mirax.log"},
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AppStateGuard guard;
        ScopedEnv home("HOME", t + "home");
        ScopedEnv state("XDG_STATE_HOME", c.stateHome);
        SetExecutablePathForTesting(c.program);
        CApplikation app;
        app.SetCommandLineText(c.commandLine);
        app.InitInstance();
        EXPECT_EQ(g_strLogFile, c.expectedLog);
        // The folder is made, parents included, so the first line lands.
        EXPECT_TRUE(IsDirectory(SplitPath(c.expectedLog).dir));
    }
}

}  // namespace
}  // namespace quorvel
