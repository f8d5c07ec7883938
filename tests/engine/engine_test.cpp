// Run: ctest --test-dir build -R 'Engine|Truncation'   (or build/tests/engine_tests)
// From box bytes to record text: the worked example, the loader's block
// ranges, the record walk's ends, a renderer used for several files, and every
// prefix of every example file (run under -DQUORVEL_SANITIZE=ON to have reads
// past a block reported). Labels, tokens and compression are compared with
// the independent model on generated files (ModelAgreement).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "boxfile/box_display.h"
#include "boxfile/box_loader.h"
#include "boxfile/record_builder.h"
#include "support/box_builder.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

using testing::Bytes;
using testing::Concat;
using testing::Token;

// Accepts any cover starting with "PIC" as a picture of 321 x 45.
std::optional<CoverSize> FakeCover(std::span<const unsigned char> bytes) {
    if (bytes.size() >= 3 && bytes[0] == 'P' && bytes[1] == 'I' && bytes[2] == 'C') {
        return CoverSize{321, 45};
    }
    return std::nullopt;
}

// Loads `bytes` (the loader keeps an exact-size copy, so any read past the
// end touches memory the sanitizers watch) and shows it with `renderer`.
BoxDisplay ShowBytes(std::span<const unsigned char> bytes, CRecordRenderer& renderer) {
    return ShowBoxFile(LoadBoxBytes(bytes), renderer, FakeCover);
}

std::string ShowData(const Bytes& data) {
    testing::BoxSpec box;
    box.data = data;
    CRecordRenderer renderer;
    return ShowBytes(testing::BuildBox(box), renderer).text;
}

TEST(Engine, WorkedExampleByteForByte) {
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

TEST(Engine, RecordText) {
    const Bytes person =
        Concat({Token(0x5C, "R"), Token(0x5D, "A\tB\t3"), Token(0x5E, "1#1"), Token(0x5F, "1\tn")});
    const Bytes end = Token(0x80, "");
    const std::pair<Bytes, std::string> cases[] = {
        // The last token's line is dropped, its content still counts.
        {Concat({Token(0x10, "A"), Token(0x50, "B")}), "\r\nBox-Titel:\t\tA"},
        {Concat({Token(0x61, "K"), Token(0x60, "I")}), "\r\n[Inhalt]\r\nI\r\n[Kommentar]\r\nK"},
        // Person lines follow the line that ends their block, or the walk.
        {Concat({Token(0x10, "A"), person, Token(0x50, "B"), end}),
         "\r\nBox-Titel:\t\tA\r\nFilm-Titel:\t\tB\r\nFilm-Person:\t[R] A, B [3] {n}"},
        {Concat({person, end, Token(0x5E, "1#1"), Token(0x85, ""), end}),
         "\r\nFilm-Person:\t[R] A, B [3] {n}\r\nFilm-Person:\t"},
        // A token cut by the block's end is not rendered; a header cut too.
        {Concat({Token(0x10, "A"), Token(0x50, "B"), Bytes{0x60}}),
         "\r\nBox-Titel:\t\tA\r\nFilm-Titel:\t\tB"},
        // A token that ends exactly at the block's end is the last one.
        {Concat({Token(0x10, "A"), Token(0x60, "C")}), "\r\nBox-Titel:\t\tA\r\n[Inhalt]\r\nC"},
    };
    for (const auto& [data, text] : cases) {
        SCOPED_TRACE(::testing::PrintToString(data));
        EXPECT_EQ(ShowData(data), text);
    }
}

TEST(Engine, EachFileStartsFresh) {
    // A file ending inside a person block, with content and comment, must
    // leave nothing for the next file shown by the same renderer.
    CRecordRenderer renderer;
    testing::BoxSpec first;
    first.data = Concat({Token(0x10, "A"), Token(0x60, "I"), Token(0x61, "K"), Token(0x5E, "1#1")});
    EXPECT_EQ(ShowBytes(testing::BuildBox(first), renderer).text,
              "\r\nBox-Titel:\t\tA\r\nFilm-Person:\t\r\n[Inhalt]\r\nI\r\n[Kommentar]\r\nK");
    testing::BoxSpec second;
    second.data =
        Concat({Token(0x59, "Deutsch"), Token(0x5A, "DD"), Token(0x5B, "1#1"), Token(0x80, "")});
    EXPECT_EQ(ShowBytes(testing::BuildBox(second), renderer).text,
              "\r\nFilm-Sprache:\tDeutsch in DD");
}

// The record's tree in short: "D<title>[films]" per DVD, "F<title>" per film
// with "+" for tags and its persons as "p" (shown) or "-" (a line that
// shows nothing) in braces.
std::string Shape(const Bytes& data) {
    CRecordRenderer renderer;
    RecordBuilder builder;
    renderer.SetSink(&builder);
    renderer.BeginFile();
    AssembleRecordText(renderer, data);
    std::string shape;
    for (const DvdRecord& dvd : builder.Take().dvds) {
        shape += "D" + dvd.title.value_or("") + (dvd.tags ? "+" : "") + "[";
        for (const FilmRecord& film : dvd.films) {
            shape += "F" + film.title.value_or("") + (film.tags ? "+" : "");
            if (!film.persons.empty()) {
                shape += "{";
                for (const PersonRecord& person : film.persons) {
                    shape += person.name ? "p" : "-";
                }
                shape += "}";
            }
        }
        shape += "]";
    }
    return shape;
}

TEST(Engine, RecordPlacement) {
    const Bytes person = Concat({Token(0x5C, "R"), Token(0x5D, "A\tB\t1"), Token(0x5E, "1#1")});
    const Bytes end = Concat({Token(0x80, ""), Token(0x80, "")});
    const struct {
        const char* what;
        Bytes data;
        std::string shape;
    } cases[] = {
        {"a repeated DVD or film tags token starts a new one",
         Concat({Token(0x30, "A"), Token(0x39, "t"), Token(0x39, "t"), Token(0x50, "F"),
                 Token(0x62, "t"), Token(0x62, "t"), end}),
         "DA+[]D+[FF+F+]"},
        {"a person block opens its film before the token that ended it",
         Concat({person, Token(0x30, "B"), end}), "D[F{p}]DB[]"},
        {"a person block belongs to the film current at its first reference",
         Concat({Token(0x50, "A"), person, Token(0x50, "B"), end}), "D[FA{p}FB]"},
        {"a person line that shows nothing", Concat({Token(0x5E, "1#9"), end}), "D[F{-}]"},
        {"a person block that shows no line opens nothing",
         Concat({Token(0x5E, "ohne Raute"), Token(0x30, "B"), Token(0x5E, "#1"), end}), "DB[]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Shape(c.data), c.shape);
    }
}

TEST(Engine, ExportTimestampOnlyOfARealDateAndTime) {
    const struct {
        std::string date, time;  // NUL-padded
        const char* iso;         // nullptr: none
    } cases[] = {
        {"20070314", "194512", "2007-03-14T19:45:12"},
        {"20240229", "000000", "2024-02-29T00:00:00"},
        {"19000229", "120000", nullptr},  // no leap year
        {"20070314", "", nullptr},        // time unset
        {"", "", nullptr},
        {"2007031", "194512", nullptr},  // seven digits
        {"2007-3-1", "194512", nullptr},
        {"20071314", "194512", nullptr},
        {"20070431", "194512", nullptr},
        {"00000101", "194512", nullptr},
        {"20070314", "240000", nullptr},
        {"20070314", "196012", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date + " " + c.time);
        testing::BoxSpec made;
        made.date = c.date;
        made.time = c.time;
        const LoadedBox box = LoadBoxBytes(testing::BuildBox(made));
        ASSERT_NE(box.Header(), nullptr);
        const std::optional<std::string> iso = ExportTimestamp(*box.Header());
        EXPECT_EQ(iso.value_or("none"), c.iso ? c.iso : "none");
    }
}

TEST(Engine, LoaderBlockRanges) {
    struct Case {
        uint32_t coverOffset, dataOffset;
        bool cover, data;
    };
    // Cover bytes: 10, data bytes: 7, file length 81. A cover of 17 bytes
    // ends at the file's end; one of 18 does not fit. A negative cover moves
    // the data before it; 0xFFFFFFF0 to 0 wraps to a cover of 16.
    const Case cases[] = {{64, 74, true, true},   {64, 200, false, false},
                          {64, 82, false, false}, {64, 81, true, false},
                          {100, 64, false, true}, {0xFFFFFFF0u, 0, true, false}};
    testing::TempDir dir;
    ASSERT_TRUE(dir.ok());
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.coverOffset << " " << c.dataOffset);
        const Bytes file = testing::BuildBox({.cover = testing::ToBytes("COVERBYTES"),
                                              .data = Bytes(7, 'd'),
                                              .coverOffset = c.coverOffset,
                                              .dataOffset = c.dataOffset});
        const LoadedBox box = LoadBoxBytes(file);
        EXPECT_EQ(box.Cover().Present(), c.cover);
        EXPECT_EQ(box.Data().Present(), c.data);
        if (box.Data().Present()) {
            const int64_t start = 64 + static_cast<int32_t>(c.dataOffset - c.coverOffset);
            const std::span<const unsigned char> data = box.Data().Bytes();
            EXPECT_EQ(Bytes(data.begin(), data.end()),
                      Bytes(file.begin() + start, file.begin() + start + data.size()));
        }
        // From a file, the cover alone comes out the same, with no data.
        testing::WriteFile(dir.path() + "ranges.box", file);
        const LoadedBox coverOnly = LoadBox(dir.path() + "ranges.box", BoxParts::kCoverOnly);
        ASSERT_TRUE(coverOnly.Result().Loaded());
        EXPECT_FALSE(coverOnly.Data().Present());
        EXPECT_EQ(coverOnly.Cover().Present(), c.cover);
        if (c.cover) {
            const std::span<const unsigned char> cover = coverOnly.Cover().Bytes();
            EXPECT_EQ(Bytes(cover.begin(), cover.end()),
                      Bytes(file.begin() + 64, file.begin() + 64 + cover.size()));
        }
    }
}

// The bytes this process has read so far (the kernel's count, /proc/self/io).
uint64_t BytesReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    uint64_t value = 0;
    while (io >> key >> value) {
        if (key == "rchar:") {
            return value;
        }
    }
    return 0;
}

// A thumbnail reads the header and the cover only, never the data block
// (the whole load reads it, so the count is seen to work).
TEST(Engine, CoverOnlyLeavesTheDataBlockUnread) {
    testing::TempDir dir;
    ASSERT_TRUE(dir.ok());
    testing::BoxSpec made;
    made.cover = Bytes(1000, 'c');
    made.data = Bytes(4 << 20, 'd');
    testing::WriteFile(dir.path() + "big.box", testing::BuildBox(made));
    uint64_t before = BytesReadSoFar();
    EXPECT_EQ(LoadBox(dir.path() + "big.box", BoxParts::kCoverOnly).Cover().Bytes().size(), 1000u);
    EXPECT_LT(BytesReadSoFar() - before, 64u << 10);  // the count's own file included
    before = BytesReadSoFar();
    EXPECT_TRUE(LoadBox(dir.path() + "big.box").Data().Present());
    EXPECT_GE(BytesReadSoFar() - before, 4u << 20);
}

std::vector<std::filesystem::path> Examples() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(QUORVEL_SOURCE_DIR) + "/examples")) {
        if (entry.path().extension() == ".box") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(Truncation, EveryPrefixAndFlippedBytesOfEveryExample) {
    const auto examples = Examples();
    EXPECT_GE(examples.size(), 3u);
    for (const auto& path : examples) {
        SCOPED_TRACE(path.string());
        Bytes file = testing::ReadFile(path.string());
        ASSERT_GT(file.size(), 64u);
        CRecordRenderer renderer;
        const std::string whole = ShowBytes(file, renderer).text;
        EXPECT_NE(whole.find("Box-Titel:"), std::string::npos);
        size_t shownPrefixes = 0;
        for (size_t length = 0; length < file.size(); ++length) {
            const BoxDisplay d = ShowBytes({file.data(), length}, renderer);
            EXPECT_EQ(d.shown, length >= 64) << length;
            shownPrefixes += d.text.empty() ? 0 : 1;
            // A cut file never shows more than the whole one.
            EXPECT_LE(d.text.size(), whole.size() + 64) << length;
        }
        // Stored data blocks render partly from a prefix; compressed ones do
        // not inflate at all.
        if ((file[54] & 0x80) == 0) {
            EXPECT_GT(shownPrefixes, 0u);
        }
        // Every byte of the header and the first block starts, then a spread.
        for (size_t at = 0; at < file.size(); at += (at < 1024 ? 1 : 13)) {
            for (const unsigned char mask : {0x01, 0x80, 0xFF}) {
                file[at] ^= mask;
                ShowBytes(file, renderer);
                file[at] ^= mask;
            }
        }
        EXPECT_EQ(ShowBytes(file, renderer).text, whole);
    }
}

}  // namespace
}  // namespace quorvel
