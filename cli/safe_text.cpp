#include "cli/safe_text.h"

#include <cstdio>

#include "app/text_util.h"

namespace quorvel {

const ByteForms& TextCp1252Forms(bool terminal) {
    static const auto make = [](bool forTerminal) {
        return ByteForms([forTerminal](unsigned char c, std::string& form) {
            const char32_t cp = Cp1252ToUnicode(c);
            if (!forTerminal || !AppendVisibleControl(form, cp)) {
                AppendUtf8(form, cp);
            }
        });
    };
    static const ByteForms kPlain = make(false);
    static const ByteForms kTerminal = make(true);
    return terminal ? kTerminal : kPlain;
}

void ReportProblem(std::string_view file, std::string_view problem) {
    std::fprintf(stderr, "quorvel-dump: %s: %s\n", ForStderr(file).c_str(),
                 ForStderr(problem).c_str());
}

}  // namespace quorvel
