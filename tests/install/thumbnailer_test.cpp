// Run: ctest --test-dir build -R Thumbnail
// quorvel-thumbnailer as a file manager runs it: a PNG of the cover with the
// asked longer side, or exit status 1 and no file at all.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QString>
#include <QStringList>

#include "cli/thumbnail.h"
#include "support/box_builder.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

using testing::Bytes;

int RunThumbnailer(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(QUORVEL_THUMBNAILER), args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) {
        return -1;
    }
    return process.exitCode();
}

TEST(Thumbnailer, ExampleCoversKeepTheirAspectAndReachTheAskedSize) {
    struct Case {
        const char* box;
        const char* cover;  // the picture the example was built from
    };
    const Case cases[] = {
        {"kinderkiste.box", "kinderkiste.bmp"},
        {"krimi-abende.box", "krimi-abende.gif"},
        {"two-dvds.box", "two-dvds.jpg"},
    };
    testing::TempDir out;
    ASSERT_TRUE(out.ok());
    for (const Case& c : cases) {
        const QString examples = QStringLiteral(QUORVEL_SOURCE_DIR "/examples/");
        const QSize cover = QImageReader(examples + "covers/" + c.cover).size();
        ASSERT_TRUE(cover.isValid()) << c.cover;
        for (int size : {128, 256}) {
            SCOPED_TRACE(std::string(c.box) + " at " + std::to_string(size));
            const QString png = QString::fromStdString(out.path()) + "thumb.png";
            ASSERT_EQ(RunThumbnailer({"-s", QString::number(size), examples + c.box, png}), 0);
            EXPECT_EQ(QImage(png).size(), ThumbnailSize(cover, size));
            EXPECT_EQ(QDir(QString::fromStdString(out.path())).entryList(QDir::Files),
                      QStringList{"thumb.png"});
            QFile::remove(png);
        }
    }
}

TEST(Thumbnailer, NoUsableCoverLeavesNoFile) {
    const Bytes example = testing::ReadFile(QUORVEL_SOURCE_DIR "/examples/two-dvds.box");
    ASSERT_GT(example.size(), 200u);
    testing::BoxSpec notAPicture;
    notAPicture.cover = testing::ToBytes("GIF89a but nothing after it");
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {
        {"no-cover.box", testing::BuildBox({})},
        {"truncated.box", Bytes(example.begin(), example.begin() + 200)},
        {"cover-not-a-picture.box", testing::BuildBox(notAPicture)},
        {"text.box", testing::ToBytes("just some text\n")},
    };
    testing::TempDir dir;
    ASSERT_TRUE(dir.ok());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string input = dir.path() + c.name;
        testing::WriteFile(input, c.bytes);
        const QString png = QString::fromStdString(dir.path()) + "thumb.png";
        EXPECT_EQ(RunThumbnailer({"-s", "128", QString::fromStdString(input), png}), 1);
        // Nothing written: neither the output nor a temporary file beside it.
        EXPECT_EQ(QDir(QString::fromStdString(dir.path())).entryList(QDir::Files),
                  QStringList{QString::fromLatin1(c.name)});
        QFile::remove(QString::fromStdString(input));
    }
}

TEST(Thumbnailer, SizeKeepsAspectAndEnlargesAtMostTwice) {
    struct Case {
        QSize picture;
        int size;
        QSize expected;
    };
    const Case cases[] = {
        {{100, 140}, 128, {91, 128}},   // reduced, the shorter side rounded
        {{140, 100}, 128, {128, 91}},   // landscape
        {{100, 100}, 256, {200, 200}},  // enlarged, but only twice
        {{30, 16384}, 128, {1, 128}},   // a sliver keeps one pixel
        {{16384, 16384}, 4096, {4096, 4096}},
        {{0, 100}, 128, {}},  // no picture, no thumbnail
        {{100, 140}, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.picture.width()) + "x" + std::to_string(c.picture.height()) +
                     " at " + std::to_string(c.size));
        EXPECT_EQ(ThumbnailSize(c.picture, c.size), c.expected);
    }
}

}  // namespace
}  // namespace quorvel
