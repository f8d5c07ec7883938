// The dump tool's messages on stderr, safe for a terminal (see
// app/terminal_text.h).
#pragma once

#include <string_view>

namespace quorvel {

// "quorvel-dump: FILE: PROBLEM" on stderr, in valid UTF-8, made visible
// when stderr is a terminal.
void ReportProblem(std::string_view file, std::string_view problem);

}  // namespace quorvel
