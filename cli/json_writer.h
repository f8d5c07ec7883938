// --json: one JSON array, one object per file with the labels and the record
// text; with --lines one object per line instead.
#pragma once

#include <string_view>

#include "cli/dump_writer.h"

namespace quorvel {

std::unique_ptr<DumpWriter> MakeJsonWriter(const WriterSetup& setup);

// The array or line framing of one JSON object per file, for every JSON form.
using JsonObjectWriter = void (*)(std::string& out, const DumpedFile& file);
std::unique_ptr<DumpWriter> MakeJsonListWriter(const WriterSetup& setup, std::string_view separator,
                                               JsonObjectWriter appendObject);

}  // namespace quorvel
