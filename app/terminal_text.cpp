#include "app/terminal_text.h"

#include <unistd.h>

#include <cstdio>

#include "app/text_util.h"

namespace quorvel {

std::string MakeVisible(std::string_view utf8) {
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
        if (cp == '\t' || cp == '\n') {
            out += static_cast<char>(cp);
        } else if (cp < 0x20) {
            out += '^';
            out += static_cast<char>(cp + 0x40);
        } else if (cp == 0x7F) {
            out += "^?";
        } else if (cp >= 0x80 && cp < 0xA0) {
            char shown[12];
            std::snprintf(shown, sizeof shown, "<U+%04X>", static_cast<unsigned>(cp));
            out += shown;
        } else if (cp == 0xFFFD) {
            out += "\xEF\xBF\xBD";  // also for a malformed byte, which might be a raw C1
        } else {
            out.append(utf8.substr(start, pos - start));
        }
    }
    return out;
}

std::string ForStderr(std::string_view text) {
    const std::string utf8 = SanitizeUtf8(text);
    return ::isatty(STDERR_FILENO) == 1 ? MakeVisible(utf8) : utf8;
}

}  // namespace quorvel
