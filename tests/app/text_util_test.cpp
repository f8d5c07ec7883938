// Run: ctest --test-dir build -R TextUtil
#include "app/text_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace quorvel {
namespace {

struct AtoICase {
    std::string text;
    int32_t expected;
};

TEST(TextUtil, AtoIFollowsCRules) {
    const AtoICase cases[] = {
        {"", 0},
        {"abc", 0},
        {"8", 8},
        {"  \t\n\v\f\r42", 42},
        {"+7", 7},
        {"-13", -13},
        {"12abc", 12},
        {"1 2", 1},
        {"- 5", 0},   // the sign must touch the digits
        {"+-5", 0},   // only one sign
        {"0x10", 0},  // no hexadecimal
        {"007", 7},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},
        {"99999999999999999999999999", INT32_MAX},
        {"-99999999999999999999999999", INT32_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AtoI(c.text), c.expected) << "input \"" << c.text << "\"";
    }
}

TEST(TextUtil, AtoIStopsAtTheEndOfTheView) {
    // The digit after the view must not be read.
    const std::string buffer = "123456";
    EXPECT_EQ(AtoI(std::string_view(buffer).substr(0, 3)), 123);
    EXPECT_EQ(AtoI(std::string_view(buffer).substr(0, 0)), 0);
    const std::string spaces = "   9";
    EXPECT_EQ(AtoI(std::string_view(spaces).substr(0, 3)), 0);
}

TEST(TextUtil, FoldingTouchesOnlyAsciiLetters) {
    EXPECT_EQ(FoldAscii(std::string_view("LoG DaTei-@[`{Z")), "log datei-@[`{z");
    // Windows-1252 umlauts stay as they are: no locale folding.
    EXPECT_EQ(FoldAscii(std::string_view("\xC4\xD6\xDC")), "\xC4\xD6\xDC");
    EXPECT_EQ(FoldAscii(static_cast<unsigned char>('@')), '@');
    EXPECT_EQ(FoldAscii(static_cast<unsigned char>('A')), 'a');
    EXPECT_EQ(FoldAscii(static_cast<unsigned char>('Z')), 'z');
    EXPECT_EQ(FoldAscii(static_cast<unsigned char>(0xC4)), 0xC4);
}

TEST(TextUtil, EqualsIgnoreAsciiCase) {
    EXPECT_TRUE(EqualsIgnoreAsciiCase(".BOX", ".box"));
    EXPECT_TRUE(EqualsIgnoreAsciiCase(".bOx", ".BoX"));
    EXPECT_TRUE(EqualsIgnoreAsciiCase("", ""));
    EXPECT_FALSE(EqualsIgnoreAsciiCase(".box", ".bo"));
    EXPECT_FALSE(EqualsIgnoreAsciiCase(".box", ".bot"));
    // '@' (0x40) and '`' (0x60) differ by the case bit but are not letters.
    EXPECT_FALSE(EqualsIgnoreAsciiCase("@", "`"));
    EXPECT_FALSE(EqualsIgnoreAsciiCase("[", "{"));
    // 0xC4 and 0xE4 are the two cases of A-umlaut, but the folding is ASCII only.
    EXPECT_FALSE(EqualsIgnoreAsciiCase("\xC4", "\xE4"));
}

TEST(TextUtil, Cp1252ToUtf8MapsEveryByte) {
    EXPECT_EQ(Cp1252ToUtf8("Abc\r\n"), "Abc\r\n");
    EXPECT_EQ(Cp1252ToUtf8("\xE4\xF6\xFC\xDF"), "\u00E4\u00F6\u00FC\u00DF");
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\u20AC");
    EXPECT_EQ(Cp1252ToUtf8("\x84\x93\x94"), "\u201E\u201C\u201D");
    EXPECT_EQ(Cp1252ToUtf8("\x8A\x9F"), "\u0160\u0178");
    EXPECT_EQ(Cp1252ToUtf8("\xA0\xFF"), "\u00A0\u00FF");
    // The undefined bytes become the C1 controls of the same value.
    EXPECT_EQ(Cp1252ToUtf8(std::string_view("\x81\x8D\x8F\x90\x9D")),
              "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
    // An embedded NUL is kept.
    EXPECT_EQ(Cp1252ToUtf8(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

TEST(TextUtil, Cp1252RoundTripsThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_EQ(Utf8ToCp1252(utf8), all);
}

TEST(TextUtil, Utf8ToCp1252ReplacesWhatTheCodePageLacks) {
    EXPECT_EQ(Utf8ToCp1252("F\u00FCr Datenmodell"), "F\xFCr Datenmodell");
    EXPECT_EQ(Utf8ToCp1252("\u20AC \u2122"), "\x80 \x99");
    EXPECT_EQ(Utf8ToCp1252("\u0100"), "?");        // outside the code page
    EXPECT_EQ(Utf8ToCp1252("\U0001F600x"), "?x");  // four-byte sequence
    EXPECT_EQ(Utf8ToCp1252("\xC2\x80"), "?");      // U+0080 is not 0x80 in the code page
    // Malformed input: each bad byte becomes one '?', never read past the end.
    EXPECT_EQ(Utf8ToCp1252("\xFF"), "?");
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");               // truncated
    EXPECT_EQ(Utf8ToCp1252("\xE2\x82"), "??");            // truncated three-byte
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");            // overlong '/'
    EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "???");       // surrogate
    EXPECT_EQ(Utf8ToCp1252("\xF4\x90\x80\x80"), "????");  // beyond U+10FFFF
    EXPECT_EQ(Utf8ToCp1252("\xC3x"), "?x");               // bad continuation
}

}  // namespace
}  // namespace quorvel
