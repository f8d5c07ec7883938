#include "cli/json_writer.h"

#include "cli/json_text.h"

namespace quorvel {
namespace {

class JsonListWriter : public DumpWriter {
public:
    JsonListWriter(const WriterSetup& setup, std::string_view separator,
                   JsonObjectWriter appendObject)
        : DumpWriter(setup), m_separator(separator), m_appendObject(appendObject) {}

    bool Begin() override {
        m_out += m_setup.lines ? "" : "[";
        return true;
    }
    bool File(DumpedFile& file) override {
        m_out += m_setup.lines || m_first ? std::string_view() : m_separator;
        m_first = false;
        m_appendObject(m_out, file);
        m_out += m_setup.lines ? "\n" : "";
        return true;
    }
    void End() override { m_out += m_setup.lines ? "" : "]\n"; }

private:
    std::string_view m_separator;  // between the array's objects
    JsonObjectWriter m_appendObject;
    bool m_first = true;
};

// {"file", "shown", "labels": {"type", ..., "time"}, "text"}
void AppendJsonObject(std::string& out, const DumpedFile& f) {
    const auto field = [&out](std::string_view name, const std::string& utf8, bool last) {
        AppendJsonString(out, name);
        out += ": ";
        AppendJsonString(out, utf8);
        out += last ? "" : ", ";
    };
    out += "{";
    field("file", SanitizeUtf8(f.file), false);
    out += "\"shown\": ";
    out += f.shown ? "true" : "false";
    out += ", \"labels\": {";
    field("type", f.type, false);
    field("width", f.width, false);
    field("height", f.height, false);
    field("compression", f.compression, false);
    field("date", f.date, false);
    field("time", f.time, true);
    out += "}, \"text\": ";
    AppendJsonCp1252(out, f.recordText);
    out += "}";
}

}  // namespace

std::unique_ptr<DumpWriter> MakeJsonListWriter(const WriterSetup& setup, std::string_view separator,
                                               JsonObjectWriter appendObject) {
    return std::make_unique<JsonListWriter>(setup, separator, appendObject);
}

std::unique_ptr<DumpWriter> MakeJsonWriter(const WriterSetup& setup) {
    return MakeJsonListWriter(setup, ", ", &AppendJsonObject);
}

}  // namespace quorvel
