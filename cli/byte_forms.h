// What each byte of a Windows-1252 text becomes in one output form (UTF-8,
// a JSON string's escapes, a terminal's visible controls), worked out once,
// so a text converts in one pass and its converted size is known before it
// is written.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

class Output;

class ByteForms {
public:
    // form(c, out) appends the form of byte c to out.
    template <typename Form>
    explicit ByteForms(Form form) {
        for (unsigned c = 0; c < 256; ++c) {
            std::string& shown = m_forms[c];
            form(static_cast<unsigned char>(c), shown);
            // Empty: the byte stands for itself, and runs of those are
            // copied whole.
            if (shown.size() == 1 && static_cast<unsigned char>(shown[0]) == c) {
                shown.clear();
            }
        }
    }

    void Append(std::string& out, std::string_view cp1252) const;
    size_t SizeOf(std::string_view cp1252) const;

private:
    std::array<std::string, 256> m_forms;
};

// Appends the lines of a record text (Windows-1252, CR LF between lines) to
// the output's buffer in `forms`, each CR LF as `lineEnd`, while the whole
// stays within `room` bytes, writing the buffer out as it grows. False when
// a line did not fit: it and every line after it are left out.
bool AppendLinesWithin(Output& output, std::string_view text, const ByteForms& forms,
                       std::string_view lineEnd, uint64_t room);

}  // namespace quorvel
