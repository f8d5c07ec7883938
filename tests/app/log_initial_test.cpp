// Run: ctest --test-dir build -R LogInitial
// Its own executable, so that nothing has moved the log before the check.
#include <gtest/gtest.h>

#include "app/log.h"
#include "app/platform.h"

namespace quorvel {
namespace {

TEST(LogInitial, PathsStartInTheTemporaryFolderAndMaskIsZero) {
    EXPECT_EQ(g_strLogFile, TempFolder() + "Log.log");
    EXPECT_EQ(g_strLogBackupFile, TempFolder() + "Log.bak");
    EXPECT_EQ(g_nLogMask, 0u);
}

}  // namespace
}  // namespace quorvel
