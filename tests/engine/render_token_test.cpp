// Run: ctest --test-dir build -R RenderToken   (or build/tests/engine_tests)
// One token at a time: header forms, every code's line, payload edge values.
#include <gtest/gtest.h>

#include "render/record_renderer.h"
#include "support/box_builder.h"

namespace quorvel {
namespace {

using testing::Bytes;
using testing::Token;

struct Rendered {
    std::string line;
    uint32_t size;
    size_t left;  // bytes left behind the cursor
    bool ended;
};

Rendered RenderOne(CRecordRenderer& renderer, const Bytes& bytes) {
    std::span<const unsigned char> cursor(bytes);
    Rendered r{};
    r.size = renderer.RenderToken(cursor, r.line, r.ended);
    r.left = cursor.size();
    return r;
}

struct LineCase {
    Bytes token;
    std::string line;
};

TEST(RenderToken, EveryCodeGivesItsLine) {
    const Bytes u32max{0xFF, 0xFF, 0xFF, 0xFF};
    const std::vector<LineCase> cases = {
        {Token(0x10, "Kiste"), "Box-Titel:\t\tKiste"},
        {Token(0x11, "4006680012345"), "Box-EAN:\t\t4006680012345"},
        {Token(0x12, "Amaray"), "Box-Verpackung:\tAmaray"},
        {Token(0x13, "Booklet"), "Box-Extra:\tBooklet"},
        {Token(0x14, "abc"), "Box-Tags:\t<vorhanden>"},
        {Token(0x30, "Disc 1"), "Dvd-Titel:\t\tDisc 1"},
        {Token(0x31, Bytes{0x05}), "Dvd-RC:\t\t1, 3"},
        {Token(0x32, Bytes{0x80}), "Dvd-OPT:\t{128}"},
        {Token(0x33, u32max), "Dvd-SN:\t\t4294967295"},
        {Token(0x34, Bytes{0x01, 0x02, 0x03, 0x04}), "Dvd-Low:\t\t67305985"},
        {Token(0x35, Bytes{0x00, 0x00, 0x00, 0x80}), "Dvd-High:\t2147483648"},
        {Token(0x36, "PAL 16:9"), "Dvd-Format:\tPAL 16:9"},
        {Token(0x37, "Bonus"), "Dvd-Extra:\tBonus"},
        {testing::TokenU16(0x38, 2004), "Dvd-Jahr:\t\t2004"},
        {Token(0x39, ""), "Dvd-Tags:\t<vorhanden>"},
        {Token(0x50, "Titel"), "Film-Titel:\t\tTitel"},
        {Token(0x51, "Original"), "Film-Original-Titel:\tOriginal"},
        {Token(0x52, "Noch einer"), "Weiterer Film-Titel:\tNoch einer"},
        {Token(0x53, Bytes{0xFF}), "Film-FSK:\t\t255"},
        {testing::TokenU16(0x54, 65535), "Film-Jahr:\t\t65535"},
        {testing::TokenU16(0x55, 0x8000), "Film-L\xE4nge:\t32768"},
        {Token(0x56, "2.35:1"), "Film-Bildformat:\t2.35:1"},
        {Token(0x57, "Krimi"), "Film-Genre:\tKrimi"},
        {Token(0x58, "Deutsch"), "Film-Untertitel:\tDeutsch"},
        {Token(0x62, "x"), "Film-Tags:\t<vorhanden>"},
        {testing::TokenU16(0x81, 2), "Box-Dvds:\t2"},
        {testing::TokenU16(0x83, 3), "Dvd-Filme:\t3"},
        {Token(0x00, "abc"), "unbekanntes Token..."},
        {Token(0x82, "abc"), "unbekanntes Token..."},
        {Token(0xC0, "abc"), "unbekanntes Token..."},
        {Token(0x0F, ""), "unbekanntes Token..."},
        {Token(0x3A, ""), "unbekanntes Token..."},
        {Token(0x63, ""), "unbekanntes Token..."},
        {Token(0x84, ""), "unbekanntes Token..."},
        {Token(0xFF, ""), "unbekanntes Token..."},
    };
    for (const LineCase& c : cases) {
        CRecordRenderer renderer;
        const Rendered r = RenderOne(renderer, c.token);
        EXPECT_EQ(r.line, c.line) << "code 0x" << std::hex << int(c.token[0]);
        EXPECT_EQ(r.size, c.token.size()) << "code 0x" << std::hex << int(c.token[0]);
        EXPECT_EQ(r.left, 0u);
        EXPECT_EQ(renderer.LastToken(), c.token[0]);
    }
}

TEST(RenderToken, TokensWithoutLine) {
    for (const unsigned char code : {0x59, 0x5A, 0x5C, 0x5D, 0x5E, 0x5F, 0x60, 0x61, 0x80, 0x85}) {
        CRecordRenderer renderer;
        const Rendered r = RenderOne(renderer, Token(code, "1#1"));
        EXPECT_TRUE(r.line.empty()) << "code 0x" << std::hex << int(code);
    }
}

TEST(RenderToken, LongHeaderTakesSixteenBitLength) {
    Bytes tags{0x14, 0x02, 0x01};
    tags.resize(3 + 258, 0xAB);
    tags.push_back(0x10);  // the next token must stay untouched
    CRecordRenderer renderer;
    const Rendered r = RenderOne(renderer, tags);
    EXPECT_EQ(r.size, 261u);
    EXPECT_EQ(r.left, 1u);
    EXPECT_EQ(r.line, "Box-Tags:\t<vorhanden>");
}

TEST(RenderToken, UnknownCodeIsSkippedByItsShortHeader) {
    const Bytes bytes{0x82, 0x03, 0x14, 0x02, 0x01, 0x10, 0x00};
    CRecordRenderer renderer;
    std::span<const unsigned char> cursor(bytes);
    std::string line;
    bool ended = false;
    EXPECT_EQ(renderer.RenderToken(cursor, line, ended), 5u);
    EXPECT_EQ(line, "unbekanntes Token...");
    EXPECT_EQ(renderer.RenderToken(cursor, line, ended), 2u);
    EXPECT_EQ(line, "Box-Titel:\t\t");
    EXPECT_TRUE(cursor.empty());
}

TEST(RenderToken, TextStopsAtNulAndEmptyTextKeepsLabel) {
    CRecordRenderer renderer;
    EXPECT_EQ(RenderOne(renderer, Token(0x10, Bytes{'A', 'B', 0, 'C', 'D'})).line,
              "Box-Titel:\t\tAB");
    EXPECT_EQ(RenderOne(renderer, Token(0x10, "")).line, "Box-Titel:\t\t");
    EXPECT_EQ(RenderOne(renderer, Token(0x50, Bytes{0})).line, "Film-Titel:\t\t");
}

TEST(RenderToken, ShortNumericPayloadReadsMissingBytesAsZero) {
    CRecordRenderer renderer;
    EXPECT_EQ(RenderOne(renderer, Token(0x33, Bytes{0x01, 0x01})).line, "Dvd-SN:\t\t257");
    EXPECT_EQ(RenderOne(renderer, Token(0x54, Bytes{0xD4})).line, "Film-Jahr:\t\t212");
    EXPECT_EQ(RenderOne(renderer, Token(0x53, Bytes{})).line, "Film-FSK:\t\t0");
    EXPECT_EQ(RenderOne(renderer, Token(0x31, Bytes{})).line, "Dvd-RC:\t\tRegionalcode frei");
    // Extra payload bytes are ignored.
    EXPECT_EQ(RenderOne(renderer, Token(0x81, Bytes{0x02, 0x00, 0x77})).line, "Box-Dvds:\t2");
}

TEST(RenderToken, RegionTexts) {
    const std::vector<std::pair<unsigned char, std::string>> cases = {
        {0x00, "Regionalcode frei"},
        {0xFF, "Regionalcode frei"},
        {0x01, "1"},
        {0x05, "1, 3"},
        {0x80, "8"},
        {0x7E, "2, 3, 4, 5, 6, 7"},
        {0x81, "1, 8"},
    };
    for (const auto& [mask, text] : cases) {
        EXPECT_EQ(CRecordRenderer::FormatRegionCode(mask), text) << int(mask);
    }
}

TEST(RenderToken, TruncatedTokenIsNotRenderedAndReadsNothingPastTheEnd) {
    struct Case {
        Bytes bytes;
        uint32_t claimed;
    };
    const std::vector<Case> cases = {
        {{0x10}, 2},                  // short header cut
        {{0x60, 0x05}, 3},            // long header cut
        {{0x10, 0x05, 'A', 'B'}, 7},  // payload cut
        {{0x60, 0x00, 0x01, 'x'}, 259},
    };
    for (const Case& c : cases) {
        CRecordRenderer renderer;
        // Copy into an exact-size heap block so a read past it is caught by
        // the sanitizers.
        auto block = std::make_unique<unsigned char[]>(c.bytes.size());
        std::copy(c.bytes.begin(), c.bytes.end(), block.get());
        std::span<const unsigned char> cursor(block.get(), c.bytes.size());
        std::string line = "stale";
        bool ended = false;
        EXPECT_EQ(renderer.RenderToken(cursor, line, ended), c.claimed);
        EXPECT_GT(c.claimed, c.bytes.size());
        EXPECT_TRUE(cursor.empty());
        EXPECT_TRUE(line.empty());
        EXPECT_TRUE(renderer.ContentText().empty());
        EXPECT_EQ(renderer.LastToken(), 0);
    }
}

TEST(RenderToken, ContentAndCommentKeepTheLastOfEach) {
    CRecordRenderer renderer;
    RenderOne(renderer, Token(0x60, "erster Inhalt"));
    RenderOne(renderer, Token(0x61, "Kommentar"));
    RenderOne(renderer, Token(0x60, Bytes{'z', 'w', 0, 'x'}));
    EXPECT_EQ(renderer.ContentText(), "zw");
    EXPECT_EQ(renderer.CommentText(), "Kommentar");
    renderer.BeginFile();
    EXPECT_TRUE(renderer.ContentText().empty());
    EXPECT_TRUE(renderer.CommentText().empty());
}

}  // namespace
}  // namespace quorvel
