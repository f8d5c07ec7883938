// JSON string literals for the dump tool.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// Replaces every byte sequence that is not valid UTF-8 with U+FFFD, so a file
// name in another encoding still gives valid JSON.
std::string SanitizeUtf8(std::string_view text);

// `text` (valid UTF-8) as a JSON string literal, quotes included. Non-ASCII
// characters stay as they are; control characters are escaped.
std::string JsonString(std::string_view text);

}  // namespace quorvel
