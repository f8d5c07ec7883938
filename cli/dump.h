// What the viewer would show for one box file, as the dump tool prints it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "boxfile/shown_text.h"

namespace quorvel {

struct DumpedFile {
    std::string file;  // the argument as given
    bool shown = false;
    // Label texts as a user sees them, in UTF-8.
    std::string type, width, height, compression, date, time;
    std::string recordText;  // Windows-1252, CR LF, as the view receives it
    std::string shownText;   // the same in UTF-8, as the view shows it
    std::string problem;     // why this is not a readable box file; empty when it is
};

// Opens `path` the way a freshly started viewer would. With `recordTextOnly`
// only recordText (and the problem) is filled: the raw output needs no
// UTF-8 forms.
DumpedFile DumpBoxFile(const std::string& path, bool recordTextOnly = false);

// One JSON array, one object per file, with a final line end.
std::string FormatJson(const std::vector<DumpedFile>& files);
// A short summary and the record text, in UTF-8 with plain line ends.
std::string FormatHuman(const DumpedFile& file);

}  // namespace quorvel
