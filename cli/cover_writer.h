// --cover DIR: each box's cover written as DIR/<box name>.<jpg|bmp|gif>,
// bytes exactly as the box holds them after inflating. Nothing goes to
// standard output.
#pragma once

#include <string>
#include <unordered_set>

#include "cli/dump_writer.h"

namespace quorvel {

// The name a box's cover is written under: the last path component without
// its ".box" extension; "stdin" for standard input ("-").
std::string CoverStem(const std::string& path);

class CoverWriter : public DumpWriter {
public:
    explicit CoverWriter(const WriterSetup& setup) : m_dir(setup.argument) {}
    // Makes DIR when it is missing; false when covers cannot go there.
    bool Begin() override;
    // False for a box without a cover, a cover that is no JPEG, BMP or GIF
    // picture, a second box of a name already written, or a failed write.
    bool File(DumpedFile& file) override;

private:
    std::string m_dir;
    std::unordered_set<std::string> m_written;  // the names this run wrote
};

}  // namespace quorvel
