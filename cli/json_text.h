// JSON string literals for the dump tool.
#pragma once

#include <string>
#include <string_view>

#include "app/text_util.h"  // SanitizeUtf8 for the file names

namespace quorvel {

// `text` (valid UTF-8) as a JSON string literal, quotes included. Non-ASCII
// characters stay as they are; control characters are escaped.
std::string JsonString(std::string_view text);
void AppendJsonString(std::string& out, std::string_view utf8);

// The same for Windows-1252 text, converted and escaped in one pass: the
// result equals JsonString(Cp1252ToUtf8(cp1252)).
void AppendJsonCp1252(std::string& out, std::string_view cp1252);

}  // namespace quorvel
