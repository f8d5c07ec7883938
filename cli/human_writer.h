// The form without an option: per file a short summary and the record text,
// UTF-8 with plain line ends; on a terminal, controls made visible.
#pragma once

#include "cli/dump_writer.h"

namespace quorvel {

std::unique_ptr<DumpWriter> MakeHumanWriter(const WriterSetup& setup);

}  // namespace quorvel
