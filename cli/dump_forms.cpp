#include "cli/dump_forms.h"

#include "cli/cover_writer.h"
#include "cli/csv_writer.h"
#include "cli/human_writer.h"
#include "cli/json_writer.h"
#include "cli/raw_writer.h"
#include "cli/records_writer.h"

namespace quorvel {
namespace {

constexpr DumpForm kForms[] = {
    {"",
     "",
     "a short summary and the record text per file, UTF-8",
     {},
     false,
     false,
     &MakeHumanWriter},
    {"--json",
     "",
     "one JSON array with an object per file:\n"
     "{\"file\", \"shown\", \"labels\": {\"type\", \"width\", \"height\",\n"
     "\"compression\", \"date\", \"time\"}, \"text\"}",
     {},
     true,
     false,
     &MakeJsonWriter},
    {"--records",
     "",
     "one JSON array with the record of each file in typed fields\n(below)",
     {.record = true},
     true,
     false,
     &MakeRecordsWriter},
    {"--csv",
     "",
     "one CSV row per film (RFC 4180, UTF-8, header row); box and\n"
     "DVD columns repeat on each row, lists are joined by \"; \"",
     {.record = true},
     false,
     false,
     &MakeCsvWriter},
    {"--raw",
     "",
     "the record text's bytes exactly (Windows-1252, CR LF); one FILE",
     {.recordTextOnly = true},
     false,
     true,
     &MakeRawWriter},
    {"--cover",
     "DIR",
     "writes each cover as DIR/<box name>.<jpg|bmp|gif>, bytes as\n"
     "the box holds them; a box without a cover counts as failed",
     {.keepCover = true},
     false,
     false,
     &MakeCoverWriter},
};

}  // namespace

std::span<const DumpForm> DumpForms() {
    return kForms;
}

}  // namespace quorvel
