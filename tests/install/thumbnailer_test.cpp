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

// Each example's cover at two sizes, and files without a usable cover,
// for either caller: OUTPUT missing beforehand, or made and held open.
TEST(Thumbnailer, ThumbnailOrNothingForEitherCaller) {
    testing::TempDir dir;
    ASSERT_TRUE(dir.ok());
    const Bytes example = testing::ReadFile(QUORVEL_SOURCE_DIR "/examples/two-dvds.box");
    ASSERT_GT(example.size(), 200u);
    testing::BoxSpec notAPicture;
    notAPicture.cover = testing::ToBytes("GIF89a but nothing after it");
    const std::pair<const char*, Bytes> unusable[] = {
        {"no-cover.box", testing::BuildBox({})},
        {"truncated.box", Bytes(example.begin(), example.begin() + 200)},
        {"cover-not-a-picture.box", testing::BuildBox(notAPicture)},
        {"text.box", testing::ToBytes("just some text\n")},
    };
    struct Case {
        QString box;
        QSize cover;  // the picture the box was made from; none: no thumbnail
    };
    std::vector<Case> cases;
    std::filesystem::create_directory(dir.path() + "in");
    for (const char* name : {"kinderkiste.bmp", "krimi-abende.gif", "two-dvds.jpg"}) {
        const QString stem = QString::fromLatin1(name).section('.', 0, 0);
        cases.push_back(
            {kExamples + stem + ".box", QImageReader(kExamples + "covers/" + name).size()});
        ASSERT_TRUE(cases.back().cover.isValid()) << name;
    }
    for (const auto& [name, bytes] : unusable) {
        testing::WriteFile(dir.path() + "in/" + name, bytes);
        cases.push_back({QString::fromStdString(dir.path() + "in/" + name), QSize()});
    }
    const std::string png = dir.path() + "thumb.png";
    for (const Case& c : cases) {
        for (const bool heldOpen : {false, true}) {
            for (int size : {128, 256}) {
                SCOPED_TRACE(c.box.toStdString() + " at " + std::to_string(size) +
                             (heldOpen ? ", OUTPUT made and held open" : ", OUTPUT missing"));
                // tumbler: an empty file of its own, open for reading.
                const UniqueFd held(heldOpen ? ::open(png.c_str(), O_RDWR | O_CREAT | O_EXCL, 0644)
                                             : -1);
                const int status = RunThumbnailer(
                    {"-s", QString::number(size), c.box, QString::fromStdString(png)});
                EXPECT_EQ(status, c.cover.isValid() ? 0 : 1);
                const UniqueFd reader(heldOpen ? -1 : ::open(png.c_str(), O_RDONLY));
                const QImage made = ReadImage(heldOpen ? held.Get() : reader.Get());
                EXPECT_EQ(made.isNull() ? QSize() : made.size(), ThumbnailSize(c.cover, size));
                struct stat info {};
                EXPECT_EQ(::stat(png.c_str(), &info) == 0, heldOpen || status == 0);
                EXPECT_EQ(info.st_mode & 0777, heldOpen ? 0644u : status == 0 ? 0600u : 0u);
                EXPECT_EQ(info.st_size == 0, status != 0);
                // Nothing else is ever written beside it.
                const bool kept = heldOpen || status == 0;
                const QStringList expected =
                    kept ? QStringList{"in", "thumb.png"} : QStringList{"in"};
                EXPECT_EQ(Files(dir.path()), expected);
                ::unlink(png.c_str());
            }
        }
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
    const std::string name =
        "/nowhere/\x1B]0;owned\x07\xC2\x9B"
        "31m.box";
    int master = -1;
    int slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const UniqueFd masterFd(master);
    UniqueFd slaveFd(slave);
    const QStringList args = {"-s", "64", QString::fromStdString(name), "/nowhere/out.png"};
    QProcess onTerminal;  // its standard error the terminal
    onTerminal.setChildProcessModifier([slave] { ::dup2(slave, STDERR_FILENO); });
    onTerminal.start(QStringLiteral(QUORVEL_THUMBNAILER), args);
    QProcess onPipe;
    onPipe.start(QStringLiteral(QUORVEL_THUMBNAILER), args);
    ASSERT_TRUE(onTerminal.waitForFinished(30000) && onPipe.waitForFinished(30000));
    slaveFd.Reset();
    std::string shown(4096, '\0');
    shown.resize(
        static_cast<size_t>(std::max<ssize_t>(::read(master, shown.data(), shown.size()), 0)));
    EXPECT_NE(shown.find("quorvel-thumbnailer: /nowhere/^[]0;owned^G<U+009B>31m.box: "),
              std::string::npos)
        << shown;
    EXPECT_NE(
        onPipe.readAllStandardError().toStdString().find("quorvel-thumbnailer: " + name + ": "),
        std::string::npos);
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
