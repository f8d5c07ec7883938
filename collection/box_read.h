// One box file read for the index: what the loader made of it, the header's
// facts, the cover's format and size (never decoded), and the typed record.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "boxfile/load_status.h"
#include "cli/records.h"

namespace quorvel {

// What tells a changed file from an unchanged one without reading it.
struct FileStamp {
    int64_t size = 0;
    int64_t mtimeNs = 0;  // modification time, nanoseconds since the epoch
    int64_t inode = 0;
    bool operator==(const FileStamp&) const = default;
};

// stat's view of `path` (a link followed); nullopt when it cannot be had.
std::optional<FileStamp> StampOf(const std::string& path);

struct IndexedBox {
    std::string path;
    FileStamp stamp;
    // Empty when the box was read; else why not, in the loader's words.
    std::string reason;
    std::string status;                   // a short status word ("ok", "wrong-magic", ...)
    std::optional<std::string> exported;  // "2007-03-14T19:45:12"
    bool coverCompressed = false;
    bool dataCompressed = false;
    std::optional<std::string> coverFormat;  // "jpeg", "bmp", "gif"
    std::optional<int64_t> coverBytes;       // after inflating; none without a cover
    Record record;
};

// Reads and walks the box at `path`. The stamp is taken before and after;
// a file replaced meanwhile is read again, so the stored stamp belongs to
// the content stored with it.
IndexedBox ReadBoxForIndex(const std::string& path);

}  // namespace quorvel
