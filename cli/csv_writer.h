// --csv: a header row, then one row per film (RFC 4180, UTF-8) with the
// columns the field table names; the box's and the DVD's columns repeat on
// each of its rows. A DVD without films and a box without DVDs get one row
// of their own, and so does a file that is no readable box (its name and the
// error). On a terminal, every field's controls are made visible.
#pragma once

#include "cli/dump_writer.h"

namespace quorvel {

std::unique_ptr<DumpWriter> MakeCsvWriter(const WriterSetup& setup);

}  // namespace quorvel
