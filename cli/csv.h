// The --csv form: one row per film (RFC 4180, UTF-8), the box's and the
// DVD's columns repeated on each of its rows.
#pragma once

#include <string>

#include "cli/dump.h"

namespace quorvel {

// The header row, with its CR LF.
void AppendCsvHeader(std::string& out);

// The file's rows: one per film; a DVD without films and a box without DVDs
// get one row of their own, and so does a file that is not a readable box
// (its name and the error). For a terminal, every field's control characters
// are made visible (MakeVisible).
void AppendCsvRows(std::string& out, const DumpedFile& file, bool forTerminal = false);

// One field, quoted when it holds a comma, a quote or a line end.
void AppendCsvField(std::string& out, std::string_view utf8);

}  // namespace quorvel
