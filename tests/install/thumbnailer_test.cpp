// Run: ctest --test-dir build -R Thumbnail
// quorvel-thumbnailer as file managers run it: GNOME names an OUTPUT that
// does not exist yet; tumbler makes OUTPUT, keeps it open and reads it
// through that descriptor afterwards. Either way a PNG of the cover with the
// asked longer side, or exit status 1 and nothing written; never through a
// symbolic link or into anything but a plain file; messages safe for a
// terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>

#include "app/unique_fd.h"
#include "cli/thumbnail.h"
#include "support/box_builder.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

using testing::Bytes;

const QString kExamples = QStringLiteral(QUORVEL_SOURCE_DIR "/examples/");

// Exit status, or -1 when it did not end normally within 30 s.
int RunThumbnailer(const QStringList& args, const std::function<void()>& inChild = {}) {
    QProcess process;
    if (inChild) {
        process.setChildProcessModifier(inChild);
    }
    process.start(QStringLiteral(QUORVEL_THUMBNAILER), args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) {
        return -1;
    }
    return process.exitCode();
}

QStringList Files(const std::string& dir) {
    return QDir(QString::fromStdString(dir))
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
}

// What a descriptor reads from its start.
QImage ReadImage(int fd) {
    Bytes bytes(1 << 20);
    const ssize_t got = ::pread(fd, bytes.data(), bytes.size(), 0);
    return QImage::fromData(bytes.data(), static_cast<int>(std::max<ssize_t>(got, 0)), "PNG");
}

TEST(Thumbnailer, ExampleCoversForEitherCaller) {
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
    const std::string png = out.path() + "thumb.png";
    for (const Case& c : cases) {
        const QSize cover = QImageReader(kExamples + "covers/" + c.cover).size();
        ASSERT_TRUE(cover.isValid()) << c.cover;
        for (const bool heldOpen : {false, true}) {
            for (int size : {128, 256}) {
                SCOPED_TRACE(std::string(c.box) + " at " + std::to_string(size) +
                             (heldOpen ? ", OUTPUT made and held open" : ", OUTPUT missing"));
                // tumbler: an empty file of its own, open for reading.
                const UniqueFd held(heldOpen ? ::open(png.c_str(), O_RDWR | O_CREAT | O_EXCL, 0644)
                                             : -1);
                ASSERT_EQ(RunThumbnailer({"-s", QString::number(size), kExamples + c.box,
                                          QString::fromStdString(png)}),
                          0);
                const UniqueFd reader(heldOpen ? -1 : ::open(png.c_str(), O_RDONLY));
                EXPECT_EQ(ReadImage(heldOpen ? held.Get() : reader.Get()).size(),
                          ThumbnailSize(cover, size));
                struct stat info {};
                ASSERT_EQ(::stat(png.c_str(), &info), 0);
                EXPECT_EQ(info.st_mode & 0777, heldOpen ? 0644u : 0600u);
                EXPECT_EQ(Files(out.path()), QStringList{"thumb.png"});  // no temporary file
                ::unlink(png.c_str());
            }
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
        EXPECT_EQ(Files(dir.path()), QStringList{QString::fromLatin1(c.name)});
        ::unlink(input.c_str());
    }
}

// OUTPUT that is no plain file of its own is left as it was, and so is
// whatever it leads to; a write failing part way leaves no half picture.
TEST(Thumbnailer, WritesOnlyIntoAPlainFileOfItsOwn) {
    testing::TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string d = dir.path();
    const std::string out = d + "out";
    const std::string target = d + "target";
    // A terminal of our own is a device nothing may happen to.
    int master = -1;
    int slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const UniqueFd masterFd(master);
    const UniqueFd slaveFd(slave);
    const std::string device = ::ttyname(slave);
    // A write of more than 64 bytes fails (EFBIG rather than a signal).
    const auto smallFiles = [] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    };
    enum Out { kNone, kLink, kDangling, kFolder, kFifo, kHardLink };
    const struct {
        const char* name;
        Out out;             // what is at `out` beforehand
        std::string output;  // OUTPUT
        bool failingWrites;
        const char* targetAfter;  // the content of `target` afterwards
    } cases[] = {
        {"a symbolic link to a file", kLink, out, false, "old"},
        {"a dangling symbolic link", kDangling, out, false, "old"},
        {"a folder", kFolder, out, false, "old"},
        {"a FIFO", kFifo, out, false, "old"},
        {"a second name of a file", kHardLink, out, false, "old"},
        {"a device", kNone, device, false, "old"},
        {"a file, write failing part way", kNone, target, true, ""},
        {"no file, write failing part way", kNone, out, true, "old"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::WriteFile(target, testing::ToBytes("old"));
        const int made = c.out == kLink       ? ::symlink(target.c_str(), out.c_str())
                         : c.out == kDangling ? ::symlink((d + "gone").c_str(), out.c_str())
                         : c.out == kFolder   ? ::mkdir(out.c_str(), 0755)
                         : c.out == kFifo     ? ::mkfifo(out.c_str(), 0644)
                         : c.out == kHardLink ? ::link(target.c_str(), out.c_str())
                                              : 0;
        ASSERT_EQ(made, 0);
        struct stat before {};
        ::lstat(c.output.c_str(), &before);
        EXPECT_EQ(RunThumbnailer(
                      {"-s", "128", kExamples + "two-dvds.box", QString::fromStdString(c.output)},
                      c.failingWrites ? smallFiles : std::function<void()>()),
                  1);
        const QStringList left =
            c.out == kNone ? QStringList{"target"} : QStringList{"out", "target"};
        EXPECT_EQ(Files(d), left);
        EXPECT_EQ(testing::ReadFile(target), testing::ToBytes(c.targetAfter));
        EXPECT_NE(::access((d + "gone").c_str(), F_OK), 0);
        struct stat after {};  // the same kind of thing, the same size
        if (c.out != kNone || c.output == device) {
            ASSERT_EQ(::lstat(c.output.c_str(), &after), 0);
            EXPECT_EQ(after.st_mode, before.st_mode);
            EXPECT_EQ(after.st_size, before.st_size);
        }
        std::filesystem::remove_all(out);
    }
}

// File names in messages: control characters shown visibly on a terminal,
// kept as they are into a pipe.
TEST(Thumbnailer, MessagesAreSafeForATerminal) {
    const QString input = QString::fromUtf8(
        "/nowhere/\x1B]0;owned\x07\xC2\x9B"
        "31m.box");
    for (const bool terminal : {true, false}) {
        SCOPED_TRACE(terminal ? "terminal" : "pipe");
        int master = -1;
        int slave = -1;
        ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        const UniqueFd masterFd(master);
        UniqueFd slaveFd(slave);
        QProcess process;
        if (terminal) {
            process.setChildProcessModifier([slave] { ::dup2(slave, STDERR_FILENO); });
        }
        process.start(QStringLiteral(QUORVEL_THUMBNAILER), {"-s", "64", input, "/nowhere/out.png"});
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 1);
        slaveFd.Reset();
        std::string said;
        if (terminal) {
            char buffer[4096];
            const ssize_t got = ::read(master, buffer, sizeof buffer);
            said.assign(buffer, static_cast<size_t>(std::max<ssize_t>(got, 0)));
        } else {
            said = process.readAllStandardError().toStdString();
        }
        const std::string expected = terminal ? "/nowhere/^[]0;owned^G<U+009B>31m.box"
                                              : "/nowhere/\x1B]0;owned\x07\xC2\x9B"
                                                "31m.box";
        EXPECT_NE(said.find("quorvel-thumbnailer: " + expected + ": "), std::string::npos) << said;
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
