// Finds the box files of a folder tree: every regular file whose name ends
// in ".box" in any case. A symbolic link to a file counts as that file; a
// link to a folder is never followed, and a folder met twice (a bind mount
// of its own parent) is walked once, so no tree makes the walk loop.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "collection/box_read.h"

namespace quorvel {

struct FoundBox {
    std::string path;
    FileStamp stamp;
};

struct WalkCallbacks {
    std::function<void(FoundBox&&)> found;
    // A folder (or the root itself) that could not be read, and why.
    std::function<void(const std::string& path, const std::string& reason)> problem;
};

// `root` is a folder or one file (then taken whatever its name). Stops early
// when `cancel` becomes true. Paths are `root` joined with the names below
// it, byte for byte.
void WalkBoxFiles(const std::string& root, const WalkCallbacks& callbacks,
                  const std::atomic<bool>* cancel = nullptr);

// `path` made absolute against the current folder and lexically cleaned
// (no "." or "..", no trailing '/'); symbolic links stay as they are.
std::string AbsolutePath(const std::string& path);

}  // namespace quorvel
