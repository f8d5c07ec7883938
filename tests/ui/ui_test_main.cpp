// Run: ctest --test-dir build -R 'Viewer|DropEdit|ViewerText'
// One QApplication for every window test, on Qt's offscreen platform, with
// HOME and the XDG folders in a fresh temporary folder so nothing the window
// might write can reach the real home folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>

#include "ui_test_support.h"

namespace quorvel::testing {

QString g_testHome;

}  // namespace quorvel::testing

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/quorvel-ui-test-XXXXXX"));
    if (!home.isValid()) {
        return 1;
    }
    quorvel::testing::g_testHome = home.path();
    const QByteArray path = QFile::encodeName(home.path());
    setenv("HOME", path.constData(), 1);
    setenv("XDG_CONFIG_HOME", (path + "/config").constData(), 1);
    setenv("XDG_DATA_HOME", (path + "/data").constData(), 1);
    setenv("XDG_CACHE_HOME", (path + "/cache").constData(), 1);
    setenv("XDG_RUNTIME_DIR", path.constData(), 1);  // 0700, as Qt wants
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
