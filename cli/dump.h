// What the viewer would show for one box file, as the dump tool prints it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "boxfile/shown_text.h"
#include "cli/records.h"

namespace quorvel {

// The cover block as the display met it.
struct CoverFacts {
    bool present = false;
    const char* format = nullptr;  // "jpeg", "bmp", "gif", or nullptr for none of them
    size_t bytes = 0;
    std::optional<CoverSize> size;       // when the picture decoded
    std::vector<unsigned char> content;  // kept only when asked for
};

struct DumpedFile {
    std::string file;  // the argument as given
    bool shown = false;
    // Label texts as a user sees them, in UTF-8.
    std::string type, width, height, compression, date, time;
    std::string recordText;               // Windows-1252, CR LF, as the view receives it
    std::string problem;                  // why this is not a readable box file; empty when it is
    std::optional<unsigned char> flags;   // the header's flag byte, when read
    std::optional<ExportStamp> exported;  // the header's time stamp, when read
    CoverFacts cover;
    std::optional<Record> record;  // when asked for and shown
};

struct DumpOptions {
    bool record = false;          // build the record tree from the walk
    bool keepCover = false;       // keep the cover's bytes
    bool recordTextOnly = false;  // only recordText, flags and stamp: no UTF-8 labels
};

// The name that reads one box from standard input.
inline constexpr std::string_view kStdinName = "-";

// Opens `path` the way a freshly started viewer would; "-" reads standard
// input as if it had a ".box" name.
DumpedFile DumpBoxFile(const std::string& path, const DumpOptions& options = {});

// One file's object of the --json array, appended to `out`.
void AppendJsonObject(std::string& out, const DumpedFile& file);
// One JSON array, one object per file, with a final line end.
std::string FormatJson(const std::vector<DumpedFile>& files);
// A short summary and the record text, in UTF-8 with plain line ends.
std::string FormatHuman(const DumpedFile& file);

}  // namespace quorvel
