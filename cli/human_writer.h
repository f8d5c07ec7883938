// The form without an option: per file a short summary and the record text.
#pragma once

#include "cli/dump_writer.h"

namespace quorvel {

// UTF-8 with plain line ends; on a terminal, controls are made visible.
class HumanWriter : public DumpWriter {
public:
    explicit HumanWriter(const WriterSetup& setup)
        : m_out(setup.out.Buffer()), m_terminal(setup.terminal) {}
    bool File(DumpedFile& file) override;

private:
    std::string& m_out;
    bool m_terminal;
    bool m_first = true;
};

}  // namespace quorvel
