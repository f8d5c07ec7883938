#include "app/terminal_text.h"

#include <unistd.h>

#include <cstdio>

#include "app/text_util.h"

namespace quorvel {

bool AppendVisibleControl(std::string& out, char32_t cp) {
    if (cp == '\t' || cp == '\n' || (cp >= 0x20 && cp < 0x7F) || cp >= 0xA0) {
        return false;
    }
    if (cp < 0x20) {
        out += '^';
        out += static_cast<char>(cp + 0x40);
    } else if (cp == 0x7F) {
        out += "^?";
    } else {
        static constexpr char kHex[] = "0123456789ABCDEF";
        out.append("<U+00").append(1, kHex[cp >> 4]).append(1, kHex[cp & 0xF]).append(">");
    }
    return true;
}

std::string MakeVisible(std::string_view utf8, bool keepCrLf) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const auto c = static_cast<unsigned char>(utf8[pos]);
        if (c >= 0x20 && c < 0x7F) {  // the common case, byte by byte
            out += static_cast<char>(c);
            ++pos;
            continue;
        }
        const size_t start = pos;
        const char32_t cp = DecodeUtf8(utf8, pos);
        if (keepCrLf && cp == '\r' && pos < utf8.size() && utf8[pos] == '\n') {
            out += '\r';
        } else if (!AppendVisibleControl(out, cp)) {
            // U+FFFD too, also for a malformed byte, which might be a raw C1.
            out.append(cp == 0xFFFD ? "\xEF\xBF\xBD" : utf8.substr(start, pos - start));
        }
    }
    return out;
}

std::string ForStderr(std::string_view text) {
    const std::string utf8 = SanitizeUtf8(text);
    return ::isatty(STDERR_FILENO) == 1 ? MakeVisible(utf8) : utf8;
}

}  // namespace quorvel
