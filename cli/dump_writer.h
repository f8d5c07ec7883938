// One output form of the dump tool. Begin comes before the first file, File
// for each file, End after the last; each appends to the output's buffer,
// which the caller writes out after every call, so each file is out as soon
// as it is done (a large one a chunk at a time, Output::FlushLarge). No
// form writes more than kMaxDumpOutputBytes for one file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/limits.h"
#include "cli/output.h"
#include "picture/box_dump.h"

namespace quorvel {

// What every writer is made with.
struct WriterSetup {
    Output& out;
    bool lines = false;     // --lines: one object per line, no array
    bool terminal = false;  // standard output is a terminal
    std::string argument;   // the form option's argument (--cover DIR)
};

class DumpWriter {
public:
    explicit DumpWriter(const WriterSetup& setup) : m_out(setup.out.Buffer()), m_setup(setup) {}
    virtual ~DumpWriter() = default;
    DumpWriter(const DumpWriter&) = delete;
    DumpWriter& operator=(const DumpWriter&) = delete;

    // False ends the run with status 1 before any file (reported on stderr).
    virtual bool Begin() { return true; }
    // False when the file failed in this form (reported), besides any
    // problem of its own.
    virtual bool File(DumpedFile& file) = 0;
    virtual void End() {}

protected:
    std::string& m_out;  // the output's buffer
    const WriterSetup m_setup;
};

// What is left of a file's share of the output (kMaxDumpOutputBytes) after
// `used` bytes, with `reserve` kept back for what must close it.
inline uint64_t RoomLeft(uint64_t used, uint64_t reserve) {
    const uint64_t taken = used + reserve;
    return taken >= kMaxDumpOutputBytes ? 0 : kMaxDumpOutputBytes - taken;
}

using WriterFactory = std::unique_ptr<DumpWriter> (*)(const WriterSetup&);

}  // namespace quorvel
