// --json: one JSON array, one object per file with the labels and the record
// text; with --lines one object per line instead. --records frames its
// objects the same way.
#pragma once

#include <string_view>

#include "cli/dump_writer.h"

namespace quorvel {

// The array or line framing of one object per file.
class JsonListWriter : public DumpWriter {
public:
    JsonListWriter(const WriterSetup& setup, std::string_view separator)
        : m_out(setup.out.Buffer()), m_lines(setup.lines), m_separator(separator) {}
    bool Begin() override;
    bool File(DumpedFile& file) override;
    void End() override;

protected:
    virtual void AppendObject(std::string& out, const DumpedFile& file) = 0;

private:
    std::string& m_out;
    bool m_lines;
    std::string_view m_separator;  // between the array's objects
    bool m_first = true;
};

class JsonWriter : public JsonListWriter {
public:
    explicit JsonWriter(const WriterSetup& setup) : JsonListWriter(setup, ", ") {}

protected:
    // {"file", "shown", "labels": {...}, "text"}
    void AppendObject(std::string& out, const DumpedFile& file) override;
};

}  // namespace quorvel
