// Text for a terminal: control characters made visible, so a record or a
// file name cannot recolour, retitle or rewrite the terminal it is printed
// to. Shared by every program's messages.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// `utf8` (valid UTF-8) with every control character except tab and line
// feed shown in printable form: C0 controls in caret notation (ESC as "^[",
// BEL as "^G", CR as "^M"), DEL as "^?", the C1 controls U+0080..U+009F as
// "<U+009B>". Everything else is kept.
std::string MakeVisible(std::string_view utf8);

// A file name or message for standard error: invalid UTF-8 replaced (see
// SanitizeUtf8), and made visible when standard error is a terminal; into
// a file or pipe it stays as it is otherwise.
std::string ForStderr(std::string_view text);

}  // namespace quorvel
