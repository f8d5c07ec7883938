// One box file read for the index: what the loader made of it, the header's
// facts, the cover's format and size (never decoded), and the typed record.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "boxfile/load_status.h"
#include "boxfile/record.h"

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
    FileStamp stamp;
    std::string status;  // a short status word ("ok", "wrong-magic", ...)
    // What the field table reads: the path, the loader's problem (empty when
    // the box was read), the header's facts, the cover's format and size
    // (never decoded, so no width and height).
    BoxFileFacts facts;
    Record record;
};
// Reads and walks the box at `path`. The stamp is taken before and after;
// a file replaced meanwhile is read again, so the stored stamp belongs to
// the content stored with it.
IndexedBox ReadBoxForIndex(const std::string& path);

}  // namespace quorvel
