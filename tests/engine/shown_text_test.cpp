// Run: ctest --test-dir build -R ShownText
// The texts the window and the dump tool both show: labels and record text
// from the display's Windows-1252 into UTF-8.
#include <gtest/gtest.h>

#include "boxfile/shown_text.h"

namespace quorvel {
namespace {

TEST(ShownText, EachLabelAndTheRecordText) {
    BoxDisplay display;
    display.type = "Typ: Jpg";
    display.width = "Breite: 30";
    display.height = "H\xF6he: 42";
    display.compression = "Cover && Daten";
    display.date = "29.02.2024";
    // time left unset: the window keeps its label
    display.text = "\r\nFilm-L\xE4nge:\t90\r\n[Inhalt]\r\n5 \x80 & mehr\n";
    const ShownText shown = TextAsShown(display);

    const std::pair<const std::optional<std::string>*, std::optional<std::string>> labels[] = {
        {&shown.type, "Typ: Jpg"},          {&shown.width, "Breite: 30"},
        {&shown.height, "H\xC3\xB6he: 42"}, {&shown.compression, "Cover & Daten"},
        {&shown.date, "29.02.2024"},        {&shown.time, std::nullopt},
    };
    for (const auto& [actual, expected] : labels) {
        SCOPED_TRACE(expected.value_or("(unset)"));
        EXPECT_EQ(*actual, expected);
    }
    // Line ends stay as stored; a single '&' in the text is no mnemonic.
    EXPECT_EQ(shown.recordText,
              "\r\nFilm-L\xC3\xA4nge:\t90\r\n[Inhalt]\r\n5 \xE2\x82\xAC & mehr\n");
}

}  // namespace
}  // namespace quorvel
