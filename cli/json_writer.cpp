#include "cli/json_writer.h"

#include "cli/json_text.h"

namespace quorvel {

bool JsonListWriter::Begin() {
    if (!m_lines) {
        m_out += '[';
    }
    return true;
}

bool JsonListWriter::File(DumpedFile& file) {
    if (!m_lines && !m_first) {
        m_out += m_separator;
    }
    m_first = false;
    AppendObject(m_out, file);
    if (m_lines) {
        m_out += '\n';
    }
    return true;
}

void JsonListWriter::End() {
    if (!m_lines) {
        m_out += "]\n";
    }
}

void JsonWriter::AppendObject(std::string& out, const DumpedFile& f) {
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

}  // namespace quorvel
