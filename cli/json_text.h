// JSON string literals for the dump tool. Written for a terminal, the C1
// controls (U+0080..U+009F) and DEL are escaped too: a JSON reader reads the
// same characters, and the terminal is not driven by them.
#pragma once

#include <string>
#include <string_view>

#include "app/text_util.h"  // SanitizeUtf8 for the file names
#include "cli/byte_forms.h"

namespace quorvel {

// `utf8` (valid UTF-8) as a JSON string literal, quotes included. Non-ASCII
// characters stay as they are; control characters are escaped.
void AppendJsonString(std::string& out, std::string_view utf8, bool terminal = false);

// The same for Windows-1252 text, converted and escaped in one pass: the
// result equals the literal of Cp1252ToUtf8(cp1252).
void AppendJsonCp1252(std::string& out, std::string_view cp1252, bool terminal = false);

// What each Windows-1252 byte becomes inside a JSON string literal.
const ByteForms& JsonCp1252Forms(bool terminal);

}  // namespace quorvel
