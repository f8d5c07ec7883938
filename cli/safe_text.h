// quorvel-dump's text for a terminal: its messages, and the record text's
// bytes made visible (MakeVisible and ForStderr in app/terminal_text.h,
// which every program shares).
#pragma once

#include <string_view>

#include "app/terminal_text.h"
#include "cli/byte_forms.h"

namespace quorvel {

// What each Windows-1252 byte of a record text line becomes in the text
// form: its UTF-8, made visible as MakeVisible does for a terminal.
const ByteForms& TextCp1252Forms(bool terminal);

// "quorvel-dump: FILE: PROBLEM" on stderr, in valid UTF-8, made visible
// when stderr is a terminal.
void ReportProblem(std::string_view file, std::string_view problem);

}  // namespace quorvel
