// JSON string literals for the dump tool.
#pragma once

#include <string>
#include <string_view>

#include "app/text_util.h"  // SanitizeUtf8 for the file names

namespace quorvel {

// `text` (valid UTF-8) as a JSON string literal, quotes included. Non-ASCII
// characters stay as they are; control characters are escaped.
std::string JsonString(std::string_view text);

}  // namespace quorvel
