#include "cli/safe_text.h"

#include <cstdio>

namespace quorvel {

void ReportProblem(std::string_view file, std::string_view problem) {
    std::fprintf(stderr, "quorvel-dump: %s: %s\n", ForStderr(file).c_str(),
                 ForStderr(problem).c_str());
}

}  // namespace quorvel
