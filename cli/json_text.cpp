#include "cli/json_text.h"

namespace quorvel {
namespace {

// The escape of a code point below U+00A0, or empty when it stands for
// itself. JSON needs the C0 controls, '"' and '\' escaped; a terminal's
// reader the C1 controls and DEL as well.
std::string Escape(char32_t c, bool terminal) {
    switch (c) {
        case '"':
            return "\\\"";
        case '\\':
            return "\\\\";
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        case '\t':
            return "\\t";
        case '\b':
            return "\\b";
        case '\f':
            return "\\f";
        default:
            break;
    }
    if (c < 0x20 || (terminal && c >= 0x7F && c < 0xA0)) {
        static constexpr char kHex[] = "0123456789abcdef";
        return {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
    }
    return {};
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view utf8, bool terminal) {
    out.reserve(out.size() + utf8.size() + 2);
    out += '"';
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += static_cast<char>(c);  // the common case
            continue;
        }
        // A C1 control is 0xC2 0x80..0x9F in UTF-8.
        const bool c1 = c == 0xC2 && i + 1 < utf8.size() &&
                        (static_cast<unsigned char>(utf8[i + 1]) & 0xE0) == 0x80;
        const std::string escaped = c1 ? Escape(static_cast<unsigned char>(utf8[i + 1]), terminal)
                                       : Escape(c < 0x80 ? c : 0xA0, terminal);
        if (escaped.empty()) {
            out += static_cast<char>(c);
        } else {
            out += escaped;
            i += c1 ? 1 : 0;
        }
    }
    out += '"';
}

const ByteForms& JsonCp1252Forms(bool terminal) {
    static const auto make = [](bool forTerminal) {
        return ByteForms([forTerminal](unsigned char c, std::string& form) {
            const char32_t cp = Cp1252ToUnicode(c);
            form = Escape(cp, forTerminal);
            if (form.empty()) {
                AppendUtf8(form, cp);
            }
        });
    };
    static const ByteForms kPlain = make(false);
    static const ByteForms kTerminal = make(true);
    return terminal ? kTerminal : kPlain;
}

void AppendJsonCp1252(std::string& out, std::string_view cp1252, bool terminal) {
    const ByteForms& forms = JsonCp1252Forms(terminal);
    out.reserve(out.size() + cp1252.size() + cp1252.size() / 8 + 2);
    out += '"';
    forms.Append(out, cp1252);
    out += '"';
}

}  // namespace quorvel
