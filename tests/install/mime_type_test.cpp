// Run: ctest --test-dir build -R 'Install\.|MimeType'
// The box file type as the desktop sees it: Qt's QMimeDatabase reads a
// shared-mime-info database, as file managers do, built from the installed
// package and from one more that claims "*.box" too, as other formats do.
// A name that one type alone claims settles the type without a look at the
// content; where names conflict, the magic decides.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QString>
#include <cstdlib>
#include <string>

#include "support/temp_dir.h"

namespace {

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Its name sorts before ours, so on a name alone it would win; only the
// magic can make a box file ours.
constexpr const char* kRival = R"(<?xml version="1.0" encoding="UTF-8"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="application/vnd.rival-box">
    <comment>another format named *.box</comment>
    <glob pattern="*.box"/>
  </mime-type>
</mime-info>
)";

TEST(MimeType, BoxFilesAreKnownByTheirMagic) {
    // Only this database: no user or system one.
    quorvel::testing::TempDir home;
    ASSERT_TRUE(home.ok());
    const QString dir = QString::fromStdString(home.path());
    const QString packages = dir + "share/mime/packages/";
    ASSERT_TRUE(QDir().mkpath(packages));
    ASSERT_TRUE(QFile::copy(QUORVEL_INSTALL_ROOT "/usr/share/mime/packages/org.example.quorvel.xml",
                            packages + "org.example.quorvel.xml"));
    ASSERT_TRUE(WriteBytes(packages + "rival.xml", kRival));
    ASSERT_EQ(QProcess::execute("update-mime-database", {dir + "share/mime"}), 0);
    ::setenv("XDG_DATA_HOME", (home.path() + "empty").c_str(), 1);
    ::setenv("XDG_DATA_DIRS", (home.path() + "share").c_str(), 1);

    const QByteArray example = ReadBytes(QUORVEL_SOURCE_DIR "/examples/two-dvds.box");
    ASSERT_FALSE(example.isEmpty());

    struct Case {
        const char* name;
        QByteArray bytes;
        QMimeDatabase::MatchMode mode;
        bool isBox;
    };
    const Case cases[] = {
        {"two-dvds.box", example, QMimeDatabase::MatchDefault, true},
        {"export.dat", example, QMimeDatabase::MatchDefault, true},
        {"no-extension", example, QMimeDatabase::MatchDefault, true},
        {"x.box", "just some text\n", QMimeDatabase::MatchDefault, false},
        {"x.box", "just some text\n", QMimeDatabase::MatchContent, false},
        {"magic-late.txt", "text first, then MIRAX4.0", QMimeDatabase::MatchDefault, false},
    };
    QMimeDatabase db;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir + QString::fromLatin1(c.name);
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        const QMimeType type = db.mimeTypeForFile(path, c.mode);
        EXPECT_EQ(type.name() == QLatin1String("application/x-mirax-box"), c.isBox)
            << type.name().toStdString();
    }
}

}  // namespace
