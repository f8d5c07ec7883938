#include "collection/tree_watcher.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "boxfile/box_display.h"

namespace quorvel {
namespace {

// IN_MODIFY for a time set without the access time (touch -m); the kernel
// folds a stream of writes into one event while it waits to be read.
constexpr uint32_t kFolderEvents = IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_DELETE |
                                   IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF |
                                   IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

TreeWatcher::TreeWatcher(const std::string& root)
    : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), m_root(root) {
    if (!m_fd.Valid()) {
        m_complete = false;
        return;
    }
    WatchTree(m_root);
}

void TreeWatcher::WatchTree(const std::string& top) {
    std::set<std::pair<dev_t, ino_t>> seen;
    std::vector<std::string> pending{top};
    while (!pending.empty()) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        // The root is followed when it is a link, as the user named it.
        const uint32_t follow = folder == m_root ? 0 : IN_DONT_FOLLOW;
        const int wd = ::inotify_add_watch(m_fd.Get(), folder.c_str(), kFolderEvents | follow);
        if (wd < 0) {
            // Gone or no folder: nothing to miss. No right to read: the index
            // cannot read it either. Anything else (the watch limit) misses.
            if (errno != ENOENT && errno != ENOTDIR && errno != EACCES) {
                m_complete = false;
            }
            continue;
        }
        m_folders[wd] = folder;
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) {
            continue;
        }
        const std::unique_ptr<DIR, DirCloser> dir(::fdopendir(fd));
        struct stat info {};
        if (!dir) {
            ::close(fd);
            continue;
        }
        if (::fstat(fd, &info) != 0 || !seen.emplace(info.st_dev, info.st_ino).second) {
            continue;
        }
        while (const dirent* entry = ::readdir(dir.get())) {
            const char* name = entry->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) {
                continue;
            }
            bool isFolder = entry->d_type == DT_DIR;
            if (entry->d_type == DT_UNKNOWN) {
                isFolder =
                    ::fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
            }
            if (isFolder) {
                pending.push_back(folder + (folder == "/" ? "" : "/") + name);
            }
        }
    }
}

bool TreeWatcher::ReadChanges() {
    if (!m_fd.Valid()) {
        return false;
    }
    bool changed = false;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(m_fd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;  // EAGAIN: nothing more waits
        }
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                // Events were lost, new folders among them perhaps.
                changed = true;
                WatchTree(m_root);
                continue;
            }
            if (event->mask & IN_IGNORED) {
                m_folders.erase(event->wd);
                continue;
            }
            const auto folder = m_folders.find(event->wd);
            if (folder == m_folders.end()) {
                continue;
            }
            if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
                changed = true;
                continue;
            }
            const std::string name = event->len > 0 ? event->name : "";
            if (event->mask & IN_ISDIR) {
                changed = true;
                if (event->mask & (IN_CREATE | IN_MOVED_TO)) {
                    // Copy the path: WatchTree may rehash the map.
                    const std::string path =
                        folder->second + (folder->second == "/" ? "" : "/") + name;
                    WatchTree(path);
                }
            } else if (HasBoxExtension(name)) {
                changed = true;
            }
        }
    }
    return changed;
}

}  // namespace quorvel
