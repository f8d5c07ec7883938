// Run: ctest --test-dir build -R 'VersionInfo|ElfSection|AboutBox'   (or build/tests/about_tests)
// The version block as built into the program, the same block and program
// damaged here, and the about and dedication dialogs offscreen. That F1 opens
// one about box and the memory lines reach the log is checked in a real X
// server by xvfb-about.sh.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QFontMetricsF>
#include <QImageReader>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "app/applikation.h"
#include "app/elf_section.h"
#include "app/platform.h"
#include "app/text_util.h"
#include "app/version_info.h"
#include "support/box_builder.h"
#include "support/temp_dir.h"
#include "ui/about_dlg.h"
#include "ui/dedication_dlg.h"
#include "ui/dialog_animation.h"
#include "ui/dialog_template.h"

namespace quorvel {
namespace {

using testing::Bytes;

const std::string kProgram = std::string(QUORVEL_BINARY_DIR) + "/viewer/quorvel";
const std::string kStrings = "\\StringFileInfo\\040704b0\\";
// The block as the build wrote it: root header and key (40 bytes), the
// fixed part (52), then "StringFileInfo" (header and key 36) and its table.
const Bytes kBlock = testing::ReadFile(QUORVEL_VERSION_BLOCK_FILE);
constexpr size_t kStringInfoAt = 40 + 52;

Bytes With(Bytes bytes, size_t at, uint64_t value, size_t width) {
    for (size_t i = 0; i < width; ++i) {
        bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
    }
    return bytes;
}

// The application object the dialogs are handed; what they read of it
// follows the executable path set per test.
const CApplikation& TestApp() {
    static const CApplikation app;
    return app;
}

QString Text(const QWidget& dialog, int id) {
    const auto* label = qobject_cast<const QLabel*>(FindControl(&dialog, id));
    return label ? label->text() : QStringLiteral("<no label %1>").arg(id);
}

TEST(VersionInfo, TheBuiltBlock) {
    const auto read = ReadElfSection(kProgram, kVersionSectionName, kMaxVersionBlockSize);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, kBlock);
    const auto fixed = QueryFixedFileInfo(kBlock);
    ASSERT_TRUE(fixed.has_value());
    EXPECT_EQ(FormatVersionNumber(fixed->fileVersionMS, fixed->fileVersionLS), QUORVEL_VERSION);
    // Keys match without regard to case; texts come as Windows-1252.
    EXPECT_EQ(QueryVersionString(kBlock, "\\STRINGFILEINFO\\040704B0\\privatebuild"),
              "Schnell-Betrachter f\xFCr MIRAX-Box-Dateien");
    EXPECT_FALSE(QueryVersionString(kBlock, kStrings + "Comment").has_value());
    EXPECT_FALSE(QueryVersionString(kBlock, "\\StringFileInfo\\040904b0\\Comments").has_value());
}

TEST(VersionInfo, DamagedAndTruncatedBlocksAreRefused) {
    const std::tuple<const char*, Bytes, bool, bool> cases[] = {
        {"root length 4", With(kBlock, 0, 4, 2), false, false},
        {"root longer than the data", With(kBlock, 0, kBlock.size() + 1, 2), false, false},
        {"short fixed part", With(kBlock, 2, 40, 2), false, false},
        {"fixed part unsigned", With(kBlock, 40, 0x12345678, 4), false, true},
        {"other root key", With(kBlock, 6 + 2 * 14, 'F', 1), false, false},
        {"child length 0", With(kBlock, kStringInfoAt, 0, 2), true, false},
        {"child past its parent", With(kBlock, kStringInfoAt + 36, 0x7FFF, 2), true, false},
    };
    for (const auto& [what, block, fixedFound, stringFound] : cases) {
        SCOPED_TRACE(what);
        EXPECT_EQ(QueryFixedFileInfo(block).has_value(), fixedFound);
        EXPECT_EQ(QueryVersionString(block, kStrings + "Comments").has_value(), stringFound);
    }
    ASSERT_TRUE(QueryVersionString(kBlock, kStrings + "SpecialBuild").has_value());
    for (size_t length = 0; length < kBlock.size(); ++length) {
        const std::span<const unsigned char> prefix(kBlock.data(), length);
        ASSERT_FALSE(QueryFixedFileInfo(prefix).has_value()) << length;
        ASSERT_FALSE(QueryVersionString(prefix, kStrings + "SpecialBuild")) << length;
    }
}

// The program cut short anywhere before its last section header hides the
// section, never reads from outside the file.
TEST(ElfSection, TruncatedProgramsHideTheSection) {
    const Bytes program = testing::ReadFile(kProgram);
    ASSERT_TRUE(FindElfSection(program, kVersionSectionName).has_value());
    for (size_t length = 0; length < program.size(); length += length < 128 ? 1 : 4093) {
        ASSERT_FALSE(FindElfSection({program.data(), length}, kVersionSectionName)) << length;
    }
    ASSERT_FALSE(FindElfSection({program.data(), program.size() - 1}, kVersionSectionName));
}

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.ok()); }
    void TearDown() override { SetExecutablePathForTesting(""); }
    testing::TempDir m_dir;
};

// The texts come from the version block of the program file as it is named
// now; a file that is no program, or is none at all, leaves them empty. The
// caption is the program's proper name, whatever the file is called.
TEST_F(AboutBox, TextsFollowTheProgramFile) {
    std::filesystem::copy_file(kProgram, m_dir.path() + "\u00dcbersicht");
    testing::WriteFile(m_dir.path() + "kein-elf", Bytes(100, 'x'));
    ASSERT_EQ(::mkfifo((m_dir.path() + "fifo").c_str(), 0600), 0);
    const struct {
        std::string path;
        const char *version, *comment;
        bool notice;
    } cases[] = {
        {kProgram, "Version (" QUORVEL_VERSION ")", "Quorvel", true},
        {m_dir.path() + "\u00dcbersicht", "Version (" QUORVEL_VERSION ")", "Quorvel", true},
        {m_dir.path() + "kein-elf", "Version ()", "", false},
        {m_dir.path() + "fifo", "Version ()", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        SetExecutablePathForTesting(c.path);
        CAboutDlg dlg(TestApp());
        EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("Info \u00fcber Quorvel"));
        EXPECT_EQ(Text(dlg, CAboutDlg::IDC_VERSION), c.version);
        EXPECT_EQ(Text(dlg, CAboutDlg::IDC_COMMENT), c.comment);
        EXPECT_EQ(Text(dlg, CAboutDlg::IDC_LEGAL_NOTICE),
                  c.notice ? QString::fromStdString(Cp1252ToUtf8(
                                 *QueryVersionString(kBlock, kStrings + "LegalCopyright")))
                           : QString());
        EXPECT_EQ(Text(dlg, CAboutDlg::IDC_FEEDBACK), "quorvel@example.org");
        for (int id :
             {CAboutDlg::IDC_VERSION, CAboutDlg::IDC_COMMENT, CAboutDlg::IDC_LEGAL_NOTICE}) {
            EXPECT_EQ(qobject_cast<QLabel*>(FindControl(&dlg, id))->textFormat(), Qt::PlainText);
        }
        // The notice fits its label whole.
        const auto* notice = qobject_cast<QLabel*>(FindControl(&dlg, CAboutDlg::IDC_LEGAL_NOTICE));
        EXPECT_LE(QFontMetricsF(notice->font()).horizontalAdvance(notice->text()), notice->width());
    }
}

TEST_F(AboutBox, GeometryTable) {
    SetExecutablePathForTesting(kProgram);
    CAboutDlg about(TestApp());
    CDedicationDlg dedication;
    EXPECT_EQ(about.size(), QSize(267, 141));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_EQ(dedication.size(), QSize(137, 309));
    const struct {
        QDialog* dialog;
        int id;
        QRect rect;
    } controls[] = {
        {&about, CAboutDlg::IDC_ICON, QRect(159, 76, 32, 32)},
        {&about, 1, QRect(132, 115, 75, 23)},
        {&about, CAboutDlg::IDC_VERSION, QRect(110, 7, 153, 13)},
        {&about, CAboutDlg::IDC_LEGAL_NOTICE, QRect(110, 23, 153, 13)},
        {&about, CAboutDlg::IDC_COMMENT, QRect(110, 39, 153, 13)},
        {&about, CAboutDlg::IDC_FEEDBACK, QRect(110, 55, 152, 13)},
        {&about, CAboutDlg::IDC_ANIMATION_PLACE, QRect(5, 7, 99, 128)},
        {&dedication, 1, QRect(30, 286, 75, 23)},
        {&dedication, CDedicationDlg::IDC_ANIMATION_PLACE, QRect(2, 23, 134, 258)},
        {&dedication, -1, QRect(2, 7, 134, 13)},
    };
    for (const auto& c : controls) {
        const QWidget* control = FindControl(c.dialog, c.id);
        ASSERT_NE(control, nullptr) << c.id;
        EXPECT_EQ(control->geometry(), c.rect) << c.id;
    }
    EXPECT_EQ(dedication.windowTitle(), "Widmung");
    EXPECT_EQ(Text(dedication, -1), QString::fromUtf8("F\u00fcr alle MIRAX-User"));
    const auto* ok = qobject_cast<QPushButton*>(FindControl(&about, 1));
    EXPECT_TRUE(ok->isDefault() && ok->text() == "&OK");
    // The clips play forever, centred in their places.
    const std::tuple<QDialog*, QLabel*, int, int, QSize, int> clips[] = {
        {&about, about.Animation(), CAboutDlg::IDC_ANIMATION_PLACE, 15, QSize(60, 60), 100},
        {&dedication, dedication.Animation(), CDedicationDlg::IDC_ANIMATION_PLACE, 5,
         QSize(131, 273), 300},
    };
    for (const auto& [dialog, animation, place, frames, size, delay] : clips) {
        ASSERT_NE(animation, nullptr);
        EXPECT_EQ(animation->parentWidget(), FindControl(dialog, place));
        EXPECT_EQ(animation->geometry(), FindControl(dialog, place)->rect());
        EXPECT_EQ(animation->alignment(), Qt::AlignCenter);
        QMovie* movie = animation->movie();
        ASSERT_NE(movie, nullptr);
        EXPECT_EQ(movie->state(), QMovie::Running);
        EXPECT_EQ(movie->frameCount(), frames);
        EXPECT_EQ(movie->currentImage().size(), size);
        // The clip's own delay: the movie's running timer only tells what is left.
        QImageReader clip(movie->fileName());
        ASSERT_TRUE(clip.read().size() == size);
        EXPECT_EQ(clip.nextImageDelay(), delay);
        EXPECT_EQ(movie->loopCount(), -1);
    }
}

}  // namespace
}  // namespace quorvel

// Widgets need the application object for the whole run, and it must end
// before the program's static objects do.
int main(int argc, char** argv) {
    // Test discovery runs the program without the test environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
