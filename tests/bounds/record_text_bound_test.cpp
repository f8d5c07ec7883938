// Run: ctest --test-dir build -R RecordTextBound   (or build/tests/bounds_test)
// The record text keeps its lines, sections included, while they end within
// its bound, then ends with the line that says the rest is not shown; the
// typed record holds exactly the lines the text shows, and stops at its own
// bound too.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/limits.h"
#include "boxfile/box_display.h"
#include "boxfile/record_builder.h"
#include "render/record_renderer.h"
#include "support/box_builder.h"

namespace quorvel {
namespace {

using testing::Append;
using testing::Bytes;
using testing::Concat;
using testing::Token;

const std::string kUnknown = "\r\nunbekanntes Token...";
const std::string kPerson = "\r\nFilm-Person:\t[" + std::string(200, 'R') + "] " +
                            std::string(120, 'A') + ", " + std::string(120, 'B');
const size_t kFitUnknown = kMaxRecordTextBytes / kUnknown.size();

// A content text, then `count` unknown tokens (the last token's line is
// dropped), then a person block of `persons` references (distinct texts, all
// naming person 1 in role 1).
Bytes Block(size_t unknown, size_t persons) {
    Bytes block = Token(0x60, "Inhalt");
    block.resize(block.size() + 2 * unknown, 0);
    Append(block, Token(0x5C, std::string(200, 'R')));
    Append(block, Token(0x5D, std::string(120, 'A') + "\t" + std::string(120, 'B') + "\t1"));
    for (size_t i = 0; i < persons; ++i) {
        Append(block, Token(0x5E, "1#1 " + std::to_string(i)));
    }
    Append(block, Token(0x80, ""));
    Append(block, Token(0x80, ""));
    return block;
}

size_t Count(const std::string& text, const std::string& line) {
    size_t count = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) {
        ++count;
    }
    return count;
}

TEST(RecordTextBound, TextAndRecordStopAfterTheLastWholeLineWithinTheBound) {
    const std::string cut = std::string("\r\n") + kRecordTextCutLine;
    const std::string content = "\r\n[Inhalt]\r\nInhalt";
    const struct {
        const char* name;
        Bytes block;
        std::string line;
        size_t lines;      // whole lines before the cut line or the content
        std::string tail;  // after them
        bool cut;
    } cases[] = {
        {"lines and content within the bound", Block(kFitUnknown - 1, 0), kUnknown, kFitUnknown - 1,
         "", false},
        {"no room left for the content", Block(kFitUnknown, 0), kUnknown, kFitUnknown, "", true},
        {"far more lines", Block(3 * kFitUnknown, 0), kUnknown, kFitUnknown, "", true},
        {"room for one person line of a block", Block(kFitUnknown - 40, 50), kUnknown,
         kFitUnknown - 40, kPerson, true},
        {"a person line that does not fit", Block(kFitUnknown - 2, 1), kUnknown, kFitUnknown - 2,
         "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordRenderer renderer;
        RecordBuilder builder;
        renderer.SetSink(&builder);
        renderer.BeginFile();
        const std::string text = AssembleRecordText(renderer, c.block);
        const Record record = builder.Take();
        std::string expected;
        for (size_t i = 0; i < c.lines; ++i) {
            expected += c.line;
        }
        expected += c.tail + (c.cut ? cut : content);
        EXPECT_EQ(text.size(), expected.size());
        EXPECT_TRUE(text == expected);  // not EXPECT_EQ: 16 MiB in a failure message
        // The record: what the text shows, no more.
        size_t persons = 0;
        for (const DvdRecord& dvd : record.dvds) {
            for (const FilmRecord& film : dvd.films) {
                persons += film.persons.size();
            }
        }
        EXPECT_EQ(record.unknownTokens, Count(text, kUnknown));
        EXPECT_EQ(persons, Count(text, "\r\nFilm-Person:\t"));
        EXPECT_EQ(record.dvds.empty(), persons == 0);  // no film for a person never shown
        EXPECT_EQ(record.content.has_value(), !c.cut);
        EXPECT_EQ(record.cut, c.cut);
    }
}

TEST(RecordTextBound, RecordStopsBeforeALineThatCouldPassItsOwnBound) {
    // Empty film titles: 15 bytes of text open a film of some 300.
    Bytes films;
    for (int i = 0; i < 500'000; ++i) {
        Append(films, Token(0x50, ""));
    }
    // One person line of 9 MiB of notes.
    Bytes person = Concat({Token(0x5C, "R"), Token(0x5D, "A\tB\t1"), Token(0x5E, "1#1")});
    for (int i = 0; i < 38'000; ++i) {
        Append(person, Token(0x5F, "1\t" + std::to_string(i) + std::string(240, 'n')));
    }
    for (Bytes* block : {&films, &person}) {
        Append(*block, Concat({Token(0x80, ""), Token(0x80, "")}));
        CRecordRenderer renderer;
        RecordBuilder builder;
        renderer.SetSink(&builder);
        renderer.BeginFile();
        const std::string text = AssembleRecordText(renderer, *block);
        const Record record = builder.Take();
        EXPECT_FALSE(text.ends_with(kRecordTextCutLine));
        EXPECT_TRUE(record.cut);
        const size_t shown = block == &films ? Count(text, "\r\nFilm-Titel:") : 1;
        const size_t kept = block == &films ? record.dvds.at(0).films.size() : record.dvds.size();
        EXPECT_LT(kept * sizeof(FilmRecord), kMaxRecordBytes);
        EXPECT_LT(kept, shown);
    }
}

}  // namespace
}  // namespace quorvel
