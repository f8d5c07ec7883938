// Run: ctest --test-dir build -R 'Display|OpenBox'
// From loaded box to label texts and record text.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "boxfile/box_display.h"
#include "boxfile/box_loader.h"
#include "support/box_builder.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

using testing::Bytes;
using testing::Token;

// A cover loader that accepts any cover starting with "PIC" and reports a
// fixed size, and counts its calls.
struct FakeCovers {
    int calls = 0;
    CoverLoader Loader() {
        return [this](std::span<const unsigned char> bytes) -> std::optional<CoverSize> {
            ++calls;
            if (bytes.size() >= 3 && bytes[0] == 'P' && bytes[1] == 'I' && bytes[2] == 'C') {
                return CoverSize{321, 45};
            }
            return std::nullopt;
        };
    }
};

BoxDisplay Show(const testing::BoxSpec& box, FakeCovers* covers = nullptr) {
    FakeCovers local;
    FakeCovers& c = covers != nullptr ? *covers : local;
    FreeBoxFile();
    LoadBoxBytes(testing::BuildBox(box));
    CRecordRenderer renderer;
    BoxDisplay display = ShowBoxFile(renderer, c.Loader());
    FreeBoxFile();
    return display;
}

std::string ShowData(const Bytes& data) {
    testing::BoxSpec box;
    box.data = data;
    return Show(box).text;
}

TEST(Display, WorkedExampleByteForByte) {
    const Bytes data = {0x80, 0x00, 0x10, 0x03, 0x41, 0x42, 0x43, 0x81, 0x02, 0x01, 0x00, 0x30,
                        0x01, 0x44, 0x31, 0x01, 0x02, 0x83, 0x02, 0x01, 0x00, 0x50, 0x01, 0x46,
                        0x59, 0x01, 0x4C, 0x5A, 0x01, 0x53, 0x5B, 0x03, 0x31, 0x23, 0x31, 0x5C,
                        0x01, 0x52, 0x5D, 0x05, 0x41, 0x09, 0x42, 0x09, 0x31, 0x5E, 0x03, 0x31,
                        0x23, 0x31, 0x5F, 0x03, 0x31, 0x09, 0x58, 0x85, 0x00};
    ASSERT_EQ(data.size(), 57u);
    EXPECT_EQ(ShowData(data),
              "\r\nBox-Titel:\t\tABC\r\nBox-Dvds:\t1\r\nDvd-Titel:\t\tD\r\nDvd-RC:\t\t2"
              "\r\nDvd-Filme:\t1\r\nFilm-Titel:\t\tF\r\nFilm-Sprache:\tL in S"
              "\r\nFilm-Person:\t[R] A, B {X}");
}

TEST(Display, LastTokensLineIsDroppedButItsContentCounts) {
    EXPECT_EQ(ShowData(testing::Concat({Token(0x10, "A"), Token(0x50, "B")})),
              "\r\nBox-Titel:\t\tA");
    EXPECT_EQ(ShowData(Token(0x10, "nur")), "");
    EXPECT_EQ(ShowData(testing::Concat({Token(0x10, "A"), Token(0x60, "Inhalt")})),
              "\r\nBox-Titel:\t\tA\r\n[Inhalt]\r\nInhalt");
    EXPECT_EQ(ShowData(testing::Concat({Token(0x61, "K"), Token(0x60, "I")})),
              "\r\n[Inhalt]\r\nI\r\n[Kommentar]\r\nK");
}

TEST(Display, FirstTokenFillingTheBlockLeavesOnlyPersonsAndSections) {
    // One 0x60 token that is the whole block.
    EXPECT_EQ(ShowData(Token(0x60, "Alles")), "\r\n[Inhalt]\r\nAlles");
}

TEST(Display, PersonLinesFollowTheLineThatEndsTheirBlock) {
    const Bytes block = testing::Concat(
        {Token(0x5C, "R"), Token(0x5D, "A\tB\t1"), Token(0x5E, "1#1"), Token(0x5F, "1\tn")});
    EXPECT_EQ(
        ShowData(testing::Concat({Token(0x10, "A"), block, Token(0x50, "B"), Token(0x80, "")})),
        "\r\nBox-Titel:\t\tA\r\nFilm-Titel:\t\tB\r\nFilm-Person:\t[R] A, B {n}");
    // A block at the very end is flushed after the walk.
    EXPECT_EQ(ShowData(testing::Concat({Token(0x10, "A"), block})),
              "\r\nBox-Titel:\t\tA\r\nFilm-Person:\t[R] A, B {n}");
    // Each block closes the scope of all definitions before it.
    const Bytes second = testing::Concat({Token(0x5E, "1#1"), Token(0x85, "")});
    EXPECT_EQ(ShowData(testing::Concat({block, Token(0x80, ""), second, Token(0x80, "")})),
              "\r\nFilm-Person:\t[R] A, B {n}\r\nFilm-Person:\t");
}

TEST(Display, TruncatedLastTokenEndsTheWalk) {
    Bytes data = testing::Concat({Token(0x10, "A"), Token(0x50, "B")});
    data.push_back(0x60);  // a long header cut after its code
    EXPECT_EQ(ShowData(data), "\r\nBox-Titel:\t\tA\r\nFilm-Titel:\t\tB");
}

TEST(Display, SummaryTexts) {
    struct Case {
        unsigned char flags;
        const char* type;
        const char* compression;
    };
    const Case cases[] = {{0x41, "Typ: Jpg", "Cover"},
                          {0x87, "Typ: ???", "Daten"},
                          {0x00, "Typ: Bmp", "keine"},
                          {0xC2, "Typ: Gif", "Cover && Daten"},
                          {0x3B, "Typ: ???", "keine"}};
    for (const Case& c : cases) {
        testing::BoxSpec box;
        box.flags = c.flags;
        // Only stored blocks, so the compression bits do not make the
        // (uncompressed) test blocks unreadable: they just stay as stored.
        box.cover = testing::ToBytes("PICture");
        const BoxDisplay d = Show(box);
        EXPECT_EQ(d.type, c.type) << int(c.flags);
        EXPECT_EQ(d.compression, c.compression) << int(c.flags);
        EXPECT_EQ(d.width, "Breite: 321");
        EXPECT_EQ(d.height, "H\xF6he: 45");
    }
}

TEST(Display, Timestamps) {
    struct Case {
        std::string date, time;
        const char* shownDate;
        const char* shownTime;
    };
    const std::vector<Case> cases = {
        {"20060131", "235959", "31.01.2006", "23:59:59"},
        {std::string(8, '\0'), std::string(6, '\0'), "00.00.0000", "00:00:00"},
        {"20061332", "256199", "32.13.2006", "25:61:99"},
        {"2006", "12", "00.00.2006", "12:00:00"},
        {std::string("2006\0"
                     "131",
                     8),
         "1\0"
         "2345",
         "00.00.2006", "01:00:00"},
        {"  7-01-1", " 1-1 +", "-1.01.0007", "01:-1:00"},
    };
    for (const Case& c : cases) {
        testing::BoxSpec box;
        box.date = c.date;
        box.time = c.time;
        const BoxDisplay d = Show(box);
        EXPECT_EQ(d.date, c.shownDate);
        EXPECT_EQ(d.time, c.shownTime);
    }
}

TEST(Display, CoverOutcomes) {
    FakeCovers covers;
    testing::BoxSpec box;
    box.data = testing::Concat({Token(0x10, "A"), Token(0x80, "")});
    BoxDisplay d = Show(box, &covers);
    EXPECT_EQ(covers.calls, 0);  // no cover block: the loader is not asked
    EXPECT_FALSE(d.type || d.width || d.height);
    box.cover = testing::ToBytes("kein Bild");
    d = Show(box, &covers);
    EXPECT_EQ(covers.calls, 1);
    EXPECT_FALSE(d.type || d.width || d.height);  // failed load: labels stay
    EXPECT_EQ(d.text, "\r\nBox-Titel:\t\tA");
}

TEST(Display, WrongMagicShowsHeaderLabelsOnly) {
    testing::BoxSpec box;
    box.magic = "MIRAX3.0";
    box.flags = 0xC1;
    box.cover = testing::ToBytes("PICture");
    box.data = Token(0x10, "A");
    FakeCovers covers;
    const BoxDisplay d = Show(box, &covers);
    EXPECT_TRUE(d.shown);
    EXPECT_FALSE(d.magicOk);
    EXPECT_EQ(covers.calls, 0);
    EXPECT_EQ(d.compression, "Cover && Daten");
    EXPECT_EQ(d.date, "31.12.2006");
    EXPECT_EQ(d.text, "");
}

TEST(Display, EachFileStartsFresh) {
    // A file ending inside a person block must not affect the next one.
    CRecordRenderer renderer;
    FakeCovers covers;
    testing::BoxSpec first;
    first.data = testing::Concat({Token(0x10, "A"), Token(0x5E, "1#1")});
    FreeBoxFile();
    LoadBoxBytes(testing::BuildBox(first));
    EXPECT_EQ(ShowBoxFile(renderer, covers.Loader()).text, "\r\nBox-Titel:\t\tA\r\nFilm-Person:\t");
    FreeBoxFile();
    testing::BoxSpec second;
    second.data = testing::Concat(
        {Token(0x59, "Deutsch"), Token(0x5A, "DD 5.1"), Token(0x5B, "1#1"), Token(0x80, "")});
    LoadBoxBytes(testing::BuildBox(second));
    EXPECT_EQ(ShowBoxFile(renderer, covers.Loader()).text, "\r\nFilm-Sprache:\tDeutsch in DD 5.1");
    FreeBoxFile();
}

class OpenBox : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp_.ok()); }
    std::string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = (dir_ / name).string();
        testing::WriteFile(path, bytes);
        return path;
    }
    testing::TempDir temp_;
    const std::filesystem::path dir_ = temp_.path();
};

TEST_F(OpenBox, ExtensionDecidesWhetherAFileIsShown) {
    testing::BoxSpec layout;
    layout.data = testing::Concat({Token(0x10, "A"), Token(0x80, "")});
    const Bytes box = testing::BuildBox(layout);
    CRecordRenderer renderer;
    FakeCovers covers;
    for (const char* name : {"a.box", "b.BOX", "c.BoX", "d.x.box", ".box"}) {
        const BoxDisplay d = OpenBoxFile(Write(name, box), renderer, covers.Loader());
        EXPECT_TRUE(d.shown) << name;
        EXPECT_EQ(d.text, "\r\nBox-Titel:\t\tA") << name;
    }
    for (const char* name : {"e.box.txt", "f", "g.bo", "h.boxx"}) {
        EXPECT_FALSE(OpenBoxFile(Write(name, box), renderer, covers.Loader()).shown) << name;
    }
    // A dot in a folder name is no extension.
    std::filesystem::create_directories(dir_ / "x.box");
    EXPECT_FALSE(OpenBoxFile((dir_ / "x.box" / "plain").string(), renderer, covers.Loader()).shown);
    EXPECT_EQ(g_pBoxHeader, nullptr);
}

TEST_F(OpenBox, UnreadableOrShortFilesAreNotShown) {
    CRecordRenderer renderer;
    FakeCovers covers;
    EXPECT_FALSE(OpenBoxFile((dir_ / "missing.box").string(), renderer, covers.Loader()).shown);
    EXPECT_FALSE(OpenBoxFile(Write("short.box", Bytes(63, 'M')), renderer, covers.Loader()).shown);
    std::filesystem::create_directories(dir_ / "folder.box");
    EXPECT_FALSE(OpenBoxFile((dir_ / "folder.box").string(), renderer, covers.Loader()).shown);
    // A bare header with the magic is shown, with an empty text.
    testing::BoxSpec box;
    const BoxDisplay d =
        OpenBoxFile(Write("bare.box", testing::BuildBox(box)), renderer, covers.Loader());
    EXPECT_TRUE(d.shown);
    EXPECT_TRUE(d.magicOk);
    EXPECT_EQ(d.text, "");
}

TEST_F(OpenBox, FifoIsNotReadAndDoesNotBlock) {
    const std::string path = (dir_ / "pipe.box").string();
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    CRecordRenderer renderer;
    FakeCovers covers;
    EXPECT_FALSE(OpenBoxFile(path, renderer, covers.Loader()).shown);
}

}  // namespace
}  // namespace quorvel
