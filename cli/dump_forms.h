// The dump tool's output forms, one row each: the option that picks it, its
// lines in the usage text, what each file's dump must gather and the writer.
// A new form is one writer and one row here.
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "cli/dump_writer.h"
#include "picture/box_dump.h"

namespace quorvel {

struct DumpForm {
    std::string_view option;    // "--json"; empty for the form without an option
    std::string_view argument;  // what the option takes ("DIR"); empty: nothing
    std::string_view help;      // its usage lines, joined by '\n'
    DumpOptions dump;           // what each file's dump must gather
    bool lines;                 // --lines goes with it
    bool oneFile;               // it takes exactly one FILE
    WriterFactory make;
};

// The first row is the form without an option.
std::span<const DumpForm> DumpForms();

}  // namespace quorvel
