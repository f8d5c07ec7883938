// --csv: one row per film (RFC 4180, UTF-8), the columns the field table
// names; the box's and the DVD's columns repeat on each of its rows.
#pragma once

#include "cli/dump_writer.h"

namespace quorvel {

class CsvWriter : public DumpWriter {
public:
    explicit CsvWriter(const WriterSetup& setup)
        : m_out(setup.out.Buffer()), m_terminal(setup.terminal) {}
    // The header row.
    bool Begin() override;
    // One row per film; a DVD without films and a box without DVDs get one
    // row of their own, and so does a file that is no readable box (its name
    // and the error). On a terminal, every field's controls are made visible.
    bool File(DumpedFile& file) override;

private:
    std::string& m_out;
    bool m_terminal;
};

}  // namespace quorvel
