// Tells when the box files of a folder tree change, through inotify: a box
// file made, written and closed, removed or renamed, a folder made, moved or
// removed. It says only that something changed; an index update then finds
// what (an unchanged box costs it one stat). Folders made later are watched
// from when they are seen. Links to folders are not followed, as the index's
// walk does not follow them.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>

#include "app/unique_fd.h"

namespace quorvel {

class TreeWatcher {
public:
    // Watches `root` and every folder below it.
    explicit TreeWatcher(const std::string& root);

    // Readable (poll, a socket notifier) while events wait; -1 without inotify.
    int Fd() const { return m_fd.Get(); }
    // False when some folder could not be watched (no inotify, the watch
    // limit reached): changes there are missed, so the caller should look
    // again now and then itself.
    bool Complete() const { return m_complete; }
    size_t WatchedFolders() const { return m_folders.size(); }

    // Reads the waiting events without blocking; true when any concerned a
    // box file or a folder, or events were lost.
    bool ReadChanges();

private:
    void WatchTree(const std::string& top);

    UniqueFd m_fd;
    std::string m_root;
    std::unordered_map<int, std::string> m_folders;  // by watch descriptor
    bool m_complete = true;
};

}  // namespace quorvel
