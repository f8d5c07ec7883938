// The --records form of a dumped file: one JSON object of typed fields.
#pragma once

#include <string>

#include "cli/dump.h"

namespace quorvel {

// Appends the file's object; the file must have been dumped with a record.
void AppendRecordJson(std::string& out, const DumpedFile& file);

// The export time stamp in ISO 8601 ("2007-03-14T20:15:00"), or empty when
// it is unset or no real date and time.
std::string IsoTimestamp(const ExportStamp& stamp);

}  // namespace quorvel
