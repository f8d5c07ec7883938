// Small string helpers with the C runtime's semantics that the record
// format and the command line rely on, made safe for byte ranges.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quorvel {

// isspace in the C locale: blank, tab, line feed, vertical tab, form feed,
// carriage return.
bool IsCSpace(unsigned char c);

// atoi/atol as the C library defines them: leading white space, an optional
// sign, decimal digits up to the first other byte, 0 when there are none.
// Stops at the end of the range; a value beyond 32 bits saturates at
// INT32_MIN/INT32_MAX instead of being undefined.
int32_t AtoI(std::string_view text);

// ASCII-only case folding: bytes 'A'..'Z' compare equal to 'a'..'z', every
// other byte compares as it is.
unsigned char FoldAscii(unsigned char c);
std::string FoldAscii(std::string_view text);
bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);

// A label's text as the screen shows it: "&&" is one '&', a single '&' only
// marks the next character as the mnemonic and is not shown. Works on
// Windows-1252 and UTF-8 alike ('&' never occurs inside a UTF-8 sequence).
std::string ApplyMnemonicRule(std::string_view text);

// The code point of one Windows-1252 byte (undefined bytes: the C1 control
// of the same value).
char32_t Cp1252ToUnicode(unsigned char c);

// Windows-1252 to UTF-8. The five bytes the code page leaves undefined map to
// the C1 control characters of the same value.
std::string Cp1252ToUtf8(std::string_view text);

// One Windows-1252 byte as its UTF-16 unit: every character of the code page
// lies in the Basic Multilingual Plane.
char16_t Cp1252ToUtf16(unsigned char c);

// The record text's bytes as a text view shows them: a CR LF is one line
// break, so the CR before a line feed is dropped; every other byte goes to
// `take` as it is, in order. (Not `emit`: Qt defines that as nothing.)
template <typename Take>
void ForEachShownByte(std::string_view recordText, Take&& take) {
    const size_t size = recordText.size();
    for (size_t i = 0; i < size; ++i) {
        const auto c = static_cast<unsigned char>(recordText[i]);
        if (c == '\r' && i + 1 < size && recordText[i + 1] == '\n') {
            continue;
        }
        take(c);
    }
}

// UTF-8 to Windows-1252 for texts we write into the record or labels
// ourselves; characters outside the code page become '?'.
std::string Utf8ToCp1252(std::string_view text);

// Decodes the UTF-8 sequence at text[pos] and advances pos past it. A
// malformed sequence (bad lead, cut short, overlong, surrogate, beyond
// U+10FFFF) consumes one byte and yields U+FFFD. Needs pos < text.size().
char32_t DecodeUtf8(std::string_view text, std::size_t& pos);

// Appends one code point (at most U+10FFFF) in UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

// Replaces every byte sequence that is not valid UTF-8 with U+FFFD, so a
// file name in another encoding still prints and gives valid JSON.
std::string SanitizeUtf8(std::string_view text);

}  // namespace quorvel
