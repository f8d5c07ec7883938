// The dump tool's command line, read into one options value against the
// table of output forms.
#pragma once

#include <span>
#include <string>
#include <variant>
#include <vector>

#include "cli/dump_forms.h"

namespace quorvel {

struct DumpArgs {
    const DumpForm* form = nullptr;
    bool lines = false;    // --lines
    std::string argument;  // the form option's argument
    std::vector<std::string> files;
};

// The arguments after the program's name, as options; or the exit status to
// end with at once, after --help, --version or a usage error (each printed).
std::variant<DumpArgs, int> ParseDumpArgs(std::span<const char* const> args);

}  // namespace quorvel
