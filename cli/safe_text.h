// quorvel-dump's messages, safe for a terminal (MakeVisible and ForStderr
// in app/terminal_text.h, which every program shares).
#pragma once

#include <string_view>

#include "app/terminal_text.h"

namespace quorvel {

// "quorvel-dump: FILE: PROBLEM" on stderr, in valid UTF-8, made visible
// when stderr is a terminal.
void ReportProblem(std::string_view file, std::string_view problem);

}  // namespace quorvel
