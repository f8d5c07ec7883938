// --raw: exactly the record text's bytes (Windows-1252, CR LF).
#pragma once

#include "cli/dump_writer.h"

namespace quorvel {

std::unique_ptr<DumpWriter> MakeRawWriter(const WriterSetup& setup);

}  // namespace quorvel
