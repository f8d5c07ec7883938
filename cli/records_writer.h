// --records: per file one JSON object of the record's typed fields, as the
// field table lists them, framed like --json.
#pragma once

#include "cli/dump_writer.h"

namespace quorvel {

std::unique_ptr<DumpWriter> MakeRecordsWriter(const WriterSetup& setup);

}  // namespace quorvel
