// --records: per file one JSON object of the record's typed fields, as the
// field table lists them, framed like --json.
#pragma once

#include "cli/json_writer.h"

namespace quorvel {

class RecordsWriter : public JsonListWriter {
public:
    explicit RecordsWriter(const WriterSetup& setup) : JsonListWriter(setup, ",\n") {}

protected:
    void AppendObject(std::string& out, const DumpedFile& file) override;
};

}  // namespace quorvel
