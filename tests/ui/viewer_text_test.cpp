// Run: ctest --test-dir build -R ViewerText
// The command-line path rules and the texts on their way to the screen.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "ui/viewer_text.h"

namespace quorvel {
namespace {

struct PathCase {
    const char* name;
    std::string commandLine;
    std::optional<std::string> path;
};

TEST(ViewerText, CommandLinePathRules) {
    const std::string p257(257, 'p');
    const std::string p258(258, 'p');
    const PathCase cases[] = {
        {"empty line", "", std::nullopt},
        {"plain path", "/a/b.box", "/a/b.box"},
        {"quoted path", "\"/a b/c.box\"", "/a b/c.box"},
        {"leading quote only", "\"/a/b.box", "/a/b.box"},
        {"trailing quote only", "/a/b.box\"", "/a/b.box"},
        {"single quote", "\"", ""},
        {"two quotes", "\"\"", ""},
        {"only one quote removed at each end", "\"\"x\"\"", "\"x\""},
        {"option stays part of the path", "/a/b.box -log 8", "/a/b.box -log 8"},
        {"blanks stay", " /a/b.box ", " /a/b.box "},
        {"259 characters", std::string(259, 'x'), std::string(259, 'x')},
        {"260 characters", std::string(260, 'x'), std::nullopt},
        {"quoted 259", "\"" + p257 + "\"", p257},
        {"quoted 260 is refused before the quotes go", "\"" + p258 + "\"", std::nullopt},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(CommandLinePath(c.commandLine), c.path) << c.name;
    }
}

TEST(ViewerText, LabelsFollowTheMnemonicRule) {
    const std::pair<const char*, const char*> cases[] = {
        {"Cover && Daten", "Cover & Daten"},
        {"keine", "keine"},
        {"&&&&", "&&"},
        {"Inf&o", "Info"},
        {"end&", "end"},
        {"&&x&", "&x"},
    };
    for (const auto& [raw, shown] : cases) {
        EXPECT_EQ(MnemonicDisplayText(QString::fromLatin1(raw)), QString::fromLatin1(shown)) << raw;
    }
    // Windows-1252 bytes become the right characters on the way.
    EXPECT_EQ(LabelText("H\xF6he: 140"), QString::fromUtf8("H\xC3\xB6he: 140"));
}

TEST(ViewerText, RecordTextBreaksLinesAtCrLfOnly) {
    EXPECT_EQ(RecordViewText("\r\nBox-Titel:\t\tA\r\nFilm-L\xE4nge:\t90"),
              QString::fromUtf8("\nBox-Titel:\t\tA\nFilm-L\xC3\xA4nge:\t90"));
    EXPECT_EQ(RecordViewText(""), QString());
    EXPECT_EQ(RecordViewText("a\rb\nc\r"), QStringLiteral("a\rb\nc\r"));
    EXPECT_EQ(RecordViewText("\r\r\n\n"), QStringLiteral("\r\n\n"));
    // Every byte reads as the engine's own conversion reads it.
    std::string bytes;
    for (int c = 1; c < 256; ++c) {
        bytes.push_back(static_cast<char>(c));
    }
    EXPECT_EQ(RecordViewText(bytes), QString::fromStdString(Cp1252ToUtf8(bytes)));
}

}  // namespace
}  // namespace quorvel
