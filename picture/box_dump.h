// What the viewer would show for one box file, as the dump tool prints it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "boxfile/loaded_box.h"
#include "boxfile/record.h"

namespace quorvel {

// The facts every form reads, and what the text forms show besides.
struct DumpedFile : BoxFileFacts {
    // Label texts as a user sees them, in UTF-8.
    std::string type, width, height, compression, date, time;
    std::string recordText;                 // Windows-1252, CR LF, as the view receives it
    std::vector<unsigned char> coverBytes;  // kept only when asked for
    std::optional<Record> record;           // when asked for and shown
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

// The same for a box already loaded, as if from a FILE called `name`.
DumpedFile DumpLoadedBox(const std::string& name, const LoadedBox& box,
                         const DumpOptions& options = {});

}  // namespace quorvel
