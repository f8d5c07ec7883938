// Run: ctest --test-dir build -R RecordTextBound   (or build/tests/bounds_test)
// The record text stops at its bound after the last whole line within it and
// ends with the line that says the rest is not shown; nothing follows it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/limits.h"
#include "boxfile/box_display.h"
#include "render/record_renderer.h"
#include "support/box_builder.h"

namespace quorvel {
namespace {

using testing::Append;
using testing::Bytes;
using testing::Token;

// A block whose text is `line` `count` times: unknown tokens, or references
// of one person block (distinct texts, all naming person 1 in role 1).
Bytes UnknownTokens(size_t count) {
    Bytes block = Token(0x60, "Inhalt");  // a content text, which a cut text must not show
    block.resize(block.size() + 2 * (count + 1), 0);  // the last token's line is dropped
    return block;
}

Bytes PersonBlock(size_t count) {
    Bytes block = testing::Concat(
        {Token(0x60, "Inhalt"), Token(0x5C, std::string(200, 'R')),
         Token(0x5D, std::string(120, 'A') + "\t" + std::string(120, 'B') + "\t1")});
    for (size_t i = 0; i < count; ++i) {
        Append(block, Token(0x5E, "1#1 " + std::to_string(i)));
    }
    Append(block, Token(0x80, ""));
    Append(block, Token(0x80, ""));
    return block;
}

TEST(RecordTextBound, CutAfterTheLastWholeLineWithinTheBound) {
    const std::string unknown = "\r\nunbekanntes Token...";
    const std::string person = "\r\nFilm-Person:\t[" + std::string(200, 'R') + "] " +
                               std::string(120, 'A') + ", " + std::string(120, 'B');
    const size_t fitUnknown = kMaxRecordTextBytes / unknown.size();
    const size_t fitPerson = kMaxRecordTextBytes / person.size();
    const std::string cut = std::string("\r\n") + kRecordTextCutLine;
    const struct {
        const char* name;
        Bytes block;
        std::string line;
        size_t lines;  // whole lines expected before the cut line, if cut
        bool cut;
    } cases[] = {
        {"record lines within the bound", UnknownTokens(fitUnknown), unknown, fitUnknown, false},
        {"one record line more", UnknownTokens(fitUnknown + 1), unknown, fitUnknown, true},
        {"far more record lines", UnknownTokens(3 * fitUnknown), unknown, fitUnknown, true},
        {"person lines of one block", PersonBlock(fitPerson + 1000), person, fitPerson, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordRenderer renderer;
        renderer.BeginFile();
        const std::string text = AssembleRecordText(renderer, c.block);
        std::string expected;
        for (size_t i = 0; i < c.lines; ++i) {
            expected += c.line;
        }
        expected += c.cut ? cut : "\r\n[Inhalt]\r\nInhalt";
        EXPECT_EQ(text.size(), expected.size());
        EXPECT_TRUE(text == expected);  // not EXPECT_EQ: 16 MiB in a failure message
    }
}

}  // namespace
}  // namespace quorvel
