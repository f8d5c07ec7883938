// Run: ctest --test-dir build -R Record   (or build/tests/records_tests)
// Where the record tree puts what the display walk renders, the one-pass JSON
// text, terminal-safe text and the export time stamp.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "boxfile/box_display.h"
#include "cli/json_text.h"
#include "cli/records.h"
#include "cli/records_json.h"
#include "cli/safe_text.h"
#include "support/box_builder.h"

namespace quorvel {
namespace {

using testing::Bytes;
using testing::Token;

// The tree's shape: DVDs with their titles, films with title, persons and
// languages; "-" for a field that is not set.
std::string Shape(const Record& record) {
    const auto text = [](const std::optional<std::string>& value) {
        return value ? *value : std::string("-");
    };
    std::string out = "box=" + text(record.box.title);
    for (const DvdRecord& dvd : record.dvds) {
        out += " D(" + text(dvd.title) + ")[";
        for (const FilmRecord& film : dvd.films) {
            out += "F(" + text(film.title);
            for (const PersonRecord& p : film.persons) {
                out += " p:" + text(p.role) + "/" + text(p.name) + "/" + text(p.note);
            }
            for (const LanguageRecord& l : film.languages) {
                out += " l:" + text(l.language) + "/" + text(l.detail);
            }
            out += ")";
        }
        out += "]";
    }
    return out;
}

std::string Walk(const Bytes& block) {
    CRecordRenderer renderer;
    RecordBuilder builder;
    renderer.SetSink(&builder);
    renderer.BeginFile();
    AssembleRecordText(renderer, block);
    return Shape(builder.Take());
}

// A person block of one resolved reference with a note, and the marker that
// ends it.
Bytes Persons(std::string_view role, std::string_view name) {
    return testing::Concat({Token(0x5C, role), Token(0x5D, std::string(name) + "\tB\t1"),
                            Token(0x5E, "1#1"), Token(0x5F, "1\tn")});
}

const Bytes kEnd = Token(0x80, "");  // a last token, whose line is never shown

TEST(RecordTree, PlacesWhatTheWalkRenders) {
    struct Case {
        const char* what;
        Bytes block;
        const char* shape;
    };
    const Case cases[] = {
        {"box, DVDs and films in the usual order",
         testing::Concat({Token(0x10, "B"), Token(0x30, "D1"), Token(0x50, "F1"), Persons("R", "A"),
                          Token(0x85, ""), Token(0x50, "F2"), Token(0x30, "D2"), Token(0x50, "F3"),
                          kEnd}),
         "box=B D(D1)[F(F1 p:R/A, B/n)F(F2)] D(D2)[F(F3)]"},
        {"a block ended by the next film's title belongs to the film before",
         testing::Concat({Token(0x50, "F1"), Persons("R", "A"), Token(0x50, "F2"), kEnd}),
         "box=- D(-)[F(F1 p:R/A, B/n)F(F2)]"},
        {"a block at the stream's end is flushed after the walk",
         testing::Concat({Token(0x50, "F1"), Persons("R", "A")}), "box=- D(-)[F(F1 p:R/A, B/n)]"},
        {"a DVD field after film fields starts a DVD",
         testing::Concat({Token(0x50, "F1"), Token(0x31, Bytes{2}), Token(0x50, "F2"), kEnd}),
         "box=- D(-)[F(F1)] D(-)[F(F2)]"},
        {"a repeated DVD field starts a DVD, also without films",
         testing::Concat({Token(0x30, "D1"), Token(0x36, "x"), Token(0x30, "D2"), kEnd}),
         "box=- D(D1)[] D(D2)[]"},
        {"a repeated film field starts a film; further titles do not",
         testing::Concat({Token(0x50, "F1"), Token(0x52, "a"), Token(0x52, "b"),
                          Token(0x53, Bytes{12}), Token(0x53, Bytes{16}), kEnd}),
         "box=- D(-)[F(F1)F(-)]"},
        {"box fields stay with the box wherever they stand, the later one kept",
         testing::Concat(
             {Token(0x10, "B1"), Token(0x30, "D1"), Token(0x50, "F1"), Token(0x10, "B2"), kEnd}),
         "box=B2 D(D1)[F(F1)]"},
        {"the last token's line is not shown, so it is not placed",
         testing::Concat({Token(0x50, "F1"), Token(0x50, "F2")}), "box=- D(-)[F(F1)]"},
        {"languages: resolved, unresolved, and a line that is no reference",
         testing::Concat({Token(0x50, "F1"), Token(0x59, "L"), Token(0x5A, "S"), Token(0x5B, "1#1"),
                          Token(0x5B, "2#7"), Token(0x5B, "abc"), kEnd}),
         "box=- D(-)[F(F1 l:L/S l:-/- l:abc/-)]"},
        {"a person line that shows nothing has no parts; namesakes keep their number",
         testing::Concat({Token(0x50, "F1"), Token(0x5C, "R"), Token(0x5D, "A\tB\t2"),
                          Token(0x5E, "1#1"), Token(0x5E, "1#9"), Token(0x5E, "abc"), kEnd}),
         "box=- D(-)[F(F1 p:R/A, B [2]/- p:-/-/-)]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Walk(c.block), c.shape);
    }
}

TEST(RecordText, OnePassJsonEqualsConvertThenEscape) {
    std::string every;
    for (int c = 0; c < 256; ++c) {
        every += static_cast<char>(c);
    }
    for (const std::string& text : {every, std::string("Sch\xF6n \"x\"\r\n\x80\x81\x9D")}) {
        std::string onePass;
        AppendJsonCp1252(onePass, text);
        EXPECT_EQ(onePass, JsonString(Cp1252ToUtf8(text)));
    }
}

TEST(RecordText, TerminalTextHasNoControlCharacters) {
    struct Case {
        std::string in, out;
    };
    const Case cases[] = {
        {"a\x1b[31mb", "a^[[31mb"},
        {"bell\x07 del\x7f", "bell^G del^?"},
        {"cr\rlf\ntab\t", "cr^Mlf\ntab\t"},
        {"c1 \xC2\x9B \xC2\x81", "c1 <U+009B> <U+0081>"},
        {"kept \xC3\xA4 \xE2\x82\xAC \xC2\xA0", "kept \xC3\xA4 \xE2\x82\xAC \xC2\xA0"},
        {"raw \x9B", "raw \xEF\xBF\xBD"},  // a malformed byte never passes through
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(MakeVisible(c.in), c.out);
    }
}

TEST(RecordText, ExportStampAsIso8601) {
    struct Case {
        ExportStamp stamp;
        const char* iso;
    };
    const Case cases[] = {
        {{2007, 3, 14, 19, 45, 12}, "2007-03-14T19:45:12"},
        {{2024, 2, 29, 0, 0, 0}, "2024-02-29T00:00:00"},
        {{2023, 2, 29, 0, 0, 0}, ""},  // no such day
        {{1900, 2, 29, 0, 0, 0}, ""},
        {{0, 0, 0, 0, 0, 0}, ""},  // unset
        {{2006, 13, 1, 0, 0, 0}, ""},
        {{2006, 1, 31, 24, 0, 0}, ""},
        {{2006, 4, 31, 12, 0, 0}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.iso);
        EXPECT_EQ(IsoTimestamp(c.stamp), c.iso);
    }
}

}  // namespace
}  // namespace quorvel
