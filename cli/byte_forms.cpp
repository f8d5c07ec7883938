#include "cli/byte_forms.h"

#include "cli/output.h"

namespace quorvel {

void ByteForms::Append(std::string& out, std::string_view cp1252) const {
    const char* run = cp1252.data();
    const char* const end = run + cp1252.size();
    for (const char* p = run; p != end; ++p) {
        const std::string& form = m_forms[static_cast<unsigned char>(*p)];
        if (!form.empty()) {
            out.append(run, p).append(form);
            run = p + 1;
        }
    }
    out.append(run, end);
}

size_t ByteForms::SizeOf(std::string_view cp1252) const {
    size_t size = cp1252.size();
    for (const char c : cp1252) {
        const size_t form = m_forms[static_cast<unsigned char>(c)].size();
        size += form == 0 ? 0 : form - 1;
    }
    return size;
}

bool AppendLinesWithin(Output& output, std::string_view text, const ByteForms& forms,
                       std::string_view lineEnd, uint64_t room) {
    uint64_t used = 0;
    for (size_t pos = 0;;) {
        const size_t found = text.find("\r\n", pos);
        const size_t end = found == std::string_view::npos ? text.size() : found;
        const std::string_view line = text.substr(pos, end - pos);
        const uint64_t size = (pos == 0 ? 0 : lineEnd.size()) + forms.SizeOf(line);
        if (used + size > room) {
            return false;
        }
        std::string& out = output.Buffer();
        out.append(pos == 0 ? std::string_view() : lineEnd);
        forms.Append(out, line);
        used += size;
        output.FlushLarge();
        if (found == std::string_view::npos) {
            return true;
        }
        pos = found + 2;
    }
}

}  // namespace quorvel
