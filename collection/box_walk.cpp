#include "collection/box_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "app/platform.h"
#include "boxfile/box_display.h"

namespace quorvel {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

FileStamp StampFrom(const struct stat& info) {
    return {static_cast<int64_t>(info.st_size),
            int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec,
            static_cast<int64_t>(info.st_ino)};
}

bool Cancelled(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

}  // namespace

std::string AbsolutePath(const std::string& path) {
    std::string absolute = path;
    if (absolute.empty() || absolute[0] != '/') {
        std::error_code error;
        absolute = std::filesystem::current_path(error).string();
        AppendSlash(absolute);
        absolute += path;
    }
    std::string clean = std::filesystem::path(absolute).lexically_normal().string();
    while (clean.size() > 1 && clean.back() == '/') {
        clean.pop_back();
    }
    return clean;
}

void WalkBoxFiles(const std::string& root, const WalkCallbacks& callbacks,
                  const std::atomic<bool>* cancel) {
    struct stat info {};
    // The root is followed when it is a link: the user named it.
    if (::stat(root.c_str(), &info) != 0) {
        callbacks.problem(root, std::strerror(errno));
        return;
    }
    if (!S_ISDIR(info.st_mode)) {
        callbacks.found({root, StampFrom(info)});
        return;
    }
    std::set<std::pair<dev_t, ino_t>> seen;
    // Folders still to walk; a stack of paths keeps one folder open at a
    // time however deep the tree.
    std::vector<std::string> pending{root};
    while (!pending.empty() && !Cancelled(cancel)) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        const bool isRoot = folder == root;
        // O_NOFOLLOW: a folder swapped for a link after it was listed is
        // still not followed.
        const int fd =
            ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (isRoot ? 0 : O_NOFOLLOW));
        if (fd < 0) {
            // A folder gone since it was listed held nothing to keep.
            if (isRoot || errno != ENOENT) {
                callbacks.problem(folder, std::strerror(errno));
            }
            continue;
        }
        const std::unique_ptr<DIR, DirCloser> dir(::fdopendir(fd));
        if (!dir) {
            ::close(fd);
            callbacks.problem(folder, std::strerror(errno));
            continue;
        }
        if (::fstat(fd, &info) != 0 || !seen.emplace(info.st_dev, info.st_ino).second) {
            continue;
        }
        const std::string prefix = folder == "/" ? folder : folder + "/";
        for (;;) {
            errno = 0;
            const dirent* entry = ::readdir(dir.get());
            if (entry == nullptr) {
                if (errno != 0) {
                    callbacks.problem(folder, std::strerror(errno));
                }
                break;
            }
            const char* name = entry->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) {
                continue;
            }
            const unsigned char type = entry->d_type;
            if (type == DT_DIR) {
                pending.push_back(prefix + name);
                continue;
            }
            if (type != DT_REG && type != DT_LNK && type != DT_UNKNOWN) {
                continue;
            }
            std::string path = prefix + name;
            const bool boxName = HasBoxExtension(path);
            if (!boxName && type != DT_UNKNOWN) {
                continue;
            }
            if (::fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
                continue;  // gone since it was listed
            }
            if (S_ISDIR(info.st_mode)) {
                pending.push_back(std::move(path));
                continue;
            }
            if (S_ISLNK(info.st_mode) && ::fstatat(fd, name, &info, 0) != 0) {
                continue;  // a dangling link
            }
            if (boxName && S_ISREG(info.st_mode)) {
                callbacks.found({std::move(path), StampFrom(info)});
            }
        }
    }
}

}  // namespace quorvel
