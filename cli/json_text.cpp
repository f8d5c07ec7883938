#include "cli/json_text.h"

#include <array>

namespace quorvel {
namespace {

// The escape of an ASCII byte, or nullptr when it stands for itself.
const char* Escape(unsigned char c, char (&scratch)[8]) {
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
    if (c >= 0x20) {
        return nullptr;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    scratch[0] = '\\';
    scratch[1] = 'u';
    scratch[2] = '0';
    scratch[3] = '0';
    scratch[4] = kHex[c >> 4];
    scratch[5] = kHex[c & 0xF];
    scratch[6] = '\0';
    return scratch;
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view utf8) {
    out.reserve(out.size() + utf8.size() + 2);
    out += '"';
    char scratch[8];
    for (const char c : utf8) {
        if (const char* escaped = Escape(static_cast<unsigned char>(c), scratch)) {
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
}

std::string JsonString(std::string_view text) {
    std::string out;
    AppendJsonString(out, text);
    return out;
}

void AppendJsonCp1252(std::string& out, std::string_view cp1252) {
    // What each byte becomes, worked out once: empty for a byte that stands
    // for itself, so runs of those are copied whole. The escapes and UTF-8
    // forms come from the same helpers as JsonString and Cp1252ToUtf8.
    static const std::array<std::string, 256> kForms = [] {
        std::array<std::string, 256> forms;
        char scratch[8];
        for (unsigned c = 0; c < 256; ++c) {
            if (c >= 0x80) {
                AppendUtf8(forms[c], Cp1252ToUnicode(static_cast<unsigned char>(c)));
            } else if (const char* escaped = Escape(static_cast<unsigned char>(c), scratch)) {
                forms[c] = escaped;
            }
        }
        return forms;
    }();
    // Every byte becomes at most three UTF-8 bytes (the euro sign and its
    // kin) or a six-byte escape; reserving for the common case is enough.
    out.reserve(out.size() + cp1252.size() + cp1252.size() / 8 + 2);
    out += '"';
    const char* run = cp1252.data();
    const char* const end = run + cp1252.size();
    for (const char* p = run; p != end; ++p) {
        const std::string& form = kForms[static_cast<unsigned char>(*p)];
        if (form.empty()) {
            continue;
        }
        out.append(run, p).append(form);
        run = p + 1;
    }
    out.append(run, end);
    out += '"';
}

}  // namespace quorvel
