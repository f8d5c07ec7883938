#include "cli/safe_text.h"

#include <cstdio>

#include "app/terminal_text.h"

namespace quorvel {

void ReportProblem(std::string_view file, std::string_view problem) {
    std::fprintf(stderr, "quorvel-dump: %s: %s\n", ForStderr(file).c_str(),
                 ForStderr(problem).c_str());
}

}  // namespace quorvel
