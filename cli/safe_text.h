// Text for a terminal: control characters made visible, so a record cannot
// recolour, retitle or rewrite the terminal it is printed to.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// `utf8` (valid UTF-8) with every control character except tab and line
// feed shown in printable form: C0 controls in caret notation (ESC as "^[",
// BEL as "^G", CR as "^M"), DEL as "^?", the C1 controls U+0080..U+009F as
// "<U+009B>". Everything else is kept.
std::string MakeVisible(std::string_view utf8);

// "quorvel-dump: FILE: PROBLEM" on stderr, in valid UTF-8, made visible
// when stderr is a terminal.
void ReportProblem(std::string_view file, std::string_view problem);

}  // namespace quorvel
