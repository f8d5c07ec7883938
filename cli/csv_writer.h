// --csv: a header row, then one row per film (RFC 4180, UTF-8) with the
// columns the field table names; the box's and the DVD's columns repeat on
// each of its rows, content and comment stand on a box's first row only. A
// DVD without films and a box without DVDs get one row of their own, and so
// does a file that is no readable box (its name and the error, nothing
// else). A cell that would read as a formula gets a leading apostrophe. On a
// terminal, every cell's controls are made visible. A box's rows stop before
// the first that would take them past kMaxDumpOutputBytes; its "cut" column
// then says so.
#pragma once

#include "cli/dump_writer.h"

namespace quorvel {

std::unique_ptr<DumpWriter> MakeCsvWriter(const WriterSetup& setup);

}  // namespace quorvel
