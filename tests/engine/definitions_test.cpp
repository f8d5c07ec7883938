// Run: ctest --test-dir build -R 'Definitions|PersonLines|PersonBlock'
// Definition tables, language references, person lines and the detection of
// the end of a person block.
#include <gtest/gtest.h>

#include "render/record_renderer.h"
#include "support/box_builder.h"

namespace quorvel {
namespace {

using testing::Bytes;
using testing::Token;

// Renders every token of `stream`; returns the lines joined by '|' and the
// index of each token that raised the end of a person block.
struct Walk {
    std::string lines;
    std::vector<size_t> endedAt;
};

Walk RenderAll(CRecordRenderer& renderer, const Bytes& stream) {
    Walk walk;
    std::span<const unsigned char> cursor(stream);
    for (size_t i = 0; !cursor.empty(); ++i) {
        std::string line;
        bool ended = false;
        renderer.RenderToken(cursor, line, ended);
        if (ended) {
            walk.endedAt.push_back(i);
        }
        if (!line.empty()) {
            walk.lines += (walk.lines.empty() ? "" : "|") + line;
        }
    }
    return walk;
}

TEST(Definitions, DuplicatesIgnoringAsciiCaseKeepTheFirstIdAndStillTakeAnId) {
    CRecordRenderer renderer;
    RenderAll(renderer, testing::Concat({Token(0x59, "abc"), Token(0x59, "ABC"), Token(0x59, "xyz"),
                                         Token(0x59, "\xE4rger"), Token(0x59, "\xC4RGER")}));
    const DefinitionTable& languages = renderer.Table(RecordTable::kLanguage);
    ASSERT_EQ(languages.Size(), 4u);  // non-ASCII letters are not folded
    EXPECT_EQ(languages.FindById(1), "abc");
    EXPECT_EQ(languages.FindById(3), "xyz");
    EXPECT_EQ(languages.FindById(2), std::nullopt);
    EXPECT_EQ(renderer.Table(RecordTable::kLanguage).NextId(), 6);
    // Each table counts on its own.
    EXPECT_EQ(renderer.Table(RecordTable::kLanguageDetail).NextId(), 1);
}

TEST(Definitions, LanguageReferences) {
    const Bytes defs =
        testing::Concat({Token(0x59, "X"), Token(0x59, "A"), Token(0x5A, "B"), Token(0x5A, "")});
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"2#1", "Film-Sprache:\tA in B"},
        {"1#1", "Film-Sprache:\tX in B"},
        {" +2#  1x", "Film-Sprache:\tA in B"},  // atoi: blanks, sign, stops at x
        {"2#7", "Film-Sprache:\t"},             // no detail 7
        {"3#1", "Film-Sprache:\t"},
        {"2#2", "Film-Sprache:\t"},  // detail 2 is empty text
        {"abc", "abc"},              // no '#': the text itself
        {"#3", "#3"},                // '#' first: the text itself
        {"x#1", "Film-Sprache:\t"},  // N reads as 0
    };
    for (const auto& [reference, line] : cases) {
        CRecordRenderer renderer;
        RenderAll(renderer, defs);
        EXPECT_EQ(RenderAll(renderer, Token(0x5B, reference)).lines, line) << reference;
    }
    CRecordRenderer renderer;
    EXPECT_EQ(RenderAll(renderer, Token(0x5B, "")).lines, "");  // no line at all
}

TEST(PersonBlock, EndDetection) {
    struct Case {
        std::vector<unsigned char> codes;
        std::vector<size_t> endedAt;
    };
    const std::vector<Case> cases = {
        {{0x5E, 0x5E, 0x5F, 0x50}, {3}},
        {{0x5E, 0x5F}, {}},
        {{0x5E, 0x5E}, {}},
        {{0x5F, 0x5E}, {1}},
        {{0x5E, 0x50}, {1}},
        {{0x5E, 0x99}, {1}},  // an unknown code ends a block like any other
        {{0x5F, 0x5F, 0x85}, {2}},
        {{0x50, 0x5D, 0x5C}, {}},
    };
    for (const Case& c : cases) {
        Bytes stream;
        for (unsigned char code : c.codes) {
            testing::Append(stream, Token(code, "1#1"));
        }
        CRecordRenderer renderer;
        EXPECT_EQ(RenderAll(renderer, stream).endedAt, c.endedAt);
    }
}

TEST(PersonBlock, RefThatEndsABlockIsStillAdded) {
    CRecordRenderer renderer;
    RenderAll(renderer, testing::Concat({Token(0x5F, "1\tx"), Token(0x5E, "1#1")}));
    ASSERT_EQ(renderer.Table(RecordTable::kPersonRef).Size(), 1u);
    EXPECT_EQ(renderer.Table(RecordTable::kPersonRef).FindById(1), "1#1");
}

// Person lines after a block described by tokens.
std::string PersonLines(std::initializer_list<Bytes> tokens) {
    CRecordRenderer renderer;
    RenderAll(renderer, testing::Concat(tokens));
    std::string text;
    renderer.AppendPersonLines(text);
    return text;
}

TEST(PersonLines, NameRoleAndCount) {
    EXPECT_EQ(PersonLines({Token(0x5C, "R0"), Token(0x5C, "R1"), Token(0x5D, "A1\tB1\t1"),
                           Token(0x5E, "1#2")}),
              "\r\nFilm-Person:\t[R1] A1, B1");
    EXPECT_EQ(PersonLines({Token(0x5C, "R0"), Token(0x5C, "R1"), Token(0x5D, "A1\tB1\t3"),
                           Token(0x5E, "1#2")}),
              "\r\nFilm-Person:\t[R1] A1, B1 [3]");
    EXPECT_EQ(PersonLines({Token(0x5C, "R"), Token(0x5D, "A1\tB1\t"), Token(0x5E, "1#1")}),
              "\r\nFilm-Person:\t[R] A1, B1 [0]");
    EXPECT_EQ(PersonLines({Token(0x5C, "R"), Token(0x5D, "A\tB\t-2"), Token(0x5E, "1#1")}),
              "\r\nFilm-Person:\t[R] A, B [-2]");
}

TEST(PersonLines, NotesJoinInTableOrder) {
    const Bytes head =
        testing::Concat({Token(0x5C, "R"), Token(0x5D, "A\tB\t1"), Token(0x5E, "1#1")});
    EXPECT_EQ(PersonLines(
                  {head, Token(0x5F, "1\tX1"), Token(0x5F, "2\tZ"), Token(0x5F, "1\tY1\tmit Tab")}),
              "\r\nFilm-Person:\t[R] A, B {X1, Y1\tmit Tab}");
    // A tabless note counts as an empty one.
    EXPECT_EQ(PersonLines({head, Token(0x5F, "1\tX1"), Token(0x5F, "1"), Token(0x5F, "1\tY1")}),
              "\r\nFilm-Person:\t[R] A, B {X1, , Y1}");
    EXPECT_EQ(PersonLines({head, Token(0x5F, "1")}), "\r\nFilm-Person:\t[R] A, B {}");
}

TEST(PersonLines, UnresolvedPartsGiveAnEmptyText) {
    // Missing role id, missing person, a person without its second tab, an
    // empty role: the line is there, with nothing after the tab.
    EXPECT_EQ(PersonLines({Token(0x5D, "A\tB\t1"), Token(0x5E, "1#4"), Token(0x5F, "1\tn")}),
              "\r\nFilm-Person:\t");
    EXPECT_EQ(PersonLines({Token(0x5C, "R"), Token(0x5E, "9#1")}), "\r\nFilm-Person:\t");
    EXPECT_EQ(PersonLines({Token(0x5C, "R"), Token(0x5D, "A\tB"), Token(0x5E, "1#1")}),
              "\r\nFilm-Person:\t");
    EXPECT_EQ(PersonLines({Token(0x5C, ""), Token(0x5D, "A\tB\t1"), Token(0x5E, "1#1")}),
              "\r\nFilm-Person:\t");
}

TEST(PersonLines, ReferencesWithoutUsableHashAndDuplicates) {
    const Bytes defs = testing::Concat({Token(0x5C, "R"), Token(0x5D, "A\tB\t1")});
    EXPECT_EQ(PersonLines({defs, Token(0x5E, "11"), Token(0x5E, "#1"), Token(0x5E, "1#1")}),
              "\r\nFilm-Person:\t[R] A, B");
    // The duplicate took id 2, which no stored reference has: its note is lost.
    EXPECT_EQ(PersonLines({defs, Token(0x5E, "1#1"), Token(0x5E, "1#1"), Token(0x5F, "2\tweg"),
                           Token(0x5F, "1\tda")}),
              "\r\nFilm-Person:\t[R] A, B {da}");
}

TEST(PersonLines, OrderOfFirstAppearanceAndReset) {
    CRecordRenderer renderer;
    RenderAll(renderer,
              testing::Concat({Token(0x5C, "Regie"), Token(0x5C, "Kamera"),
                               Token(0x5D, "Zeta\tZ\t1"), Token(0x5D, "Alpha\tA\t1"),
                               Token(0x5E, "2#2"), Token(0x5E, "1#1"), Token(0x59, "Deutsch")}));
    std::string text = "vorher";
    renderer.AppendPersonLines(text);
    EXPECT_EQ(text, "vorher\r\nFilm-Person:\t[Kamera] Alpha, A\r\nFilm-Person:\t[Regie] Zeta, Z");
    for (size_t t = 0; t < kRecordTableCount; ++t) {
        EXPECT_TRUE(renderer.Table(RecordTable(t)).Empty());
        EXPECT_EQ(renderer.Table(RecordTable(t)).NextId(), 1);
    }
    // An empty reference table appends nothing and still resets.
    RenderAll(renderer, Token(0x5C, "Ton"));
    ASSERT_EQ(renderer.Table(RecordTable::kRole).NextId(), 2);
    text.clear();
    renderer.AppendPersonLines(text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(renderer.Table(RecordTable::kRole).NextId(), 1);
}

TEST(PersonLines, FormatPersonEntryMatchesTheLine) {
    CRecordRenderer renderer;
    RenderAll(renderer, testing::Concat({Token(0x5C, "Buch"), Token(0x5D, "M\xFCller\tJens\t2"),
                                         Token(0x5E, "1#1"), Token(0x5F, "1\tVorlage")}));
    EXPECT_EQ(renderer.FormatPersonEntry(1, 1, 1), "[Buch] M\xFCller, Jens [2] {Vorlage}");
    EXPECT_EQ(renderer.FormatPersonEntry(1, 1, 2), "[Buch] M\xFCller, Jens [2]");
    EXPECT_EQ(renderer.FormatPersonEntry(2, 1, 1), "");
}

}  // namespace
}  // namespace quorvel
