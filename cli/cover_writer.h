// --cover DIR: each box's cover written as DIR/<box name>.<jpg|bmp|gif>
// (the last path component without ".box"; "stdin" for "-"), bytes exactly
// as the box holds them after inflating. DIR is made when missing. A box
// without a cover, a cover that is no JPEG, BMP or GIF picture and a second
// box of a name already written count as failed. Nothing goes to standard
// output.
#pragma once

#include "cli/dump_writer.h"

namespace quorvel {

std::unique_ptr<DumpWriter> MakeCoverWriter(const WriterSetup& setup);

}  // namespace quorvel
