#include "cli/thumbnail_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/unique_fd.h"

namespace quorvel {

namespace {

// Why a file that exists at `path` (as lstat saw it) is not written, or
// empty when it may be.
const char* RefusalOf(const struct stat& info) {
    if (S_ISLNK(info.st_mode)) {
        return "is a symbolic link; nothing written";
    }
    if (S_ISDIR(info.st_mode)) {
        return "is a folder; nothing written";
    }
    if (!S_ISREG(info.st_mode)) {
        return "is no regular file; nothing written";
    }
    if (info.st_nlink > 1) {
        return "has further hard links; nothing written";
    }
    return nullptr;
}

}  // namespace

std::string WriteThumbnailFile(const std::string& path, std::span<const unsigned char> png) {
    struct stat seen {};
    UniqueFd fd;
    bool made = false;
    if (::lstat(path.c_str(), &seen) == 0) {
        if (const char* refusal = RefusalOf(seen)) {
            return refusal;
        }
        // Non-blocking and without a controlling terminal, in case what is
        // opened is no longer the file lstat saw.
        fd.Reset(::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (!fd.Valid()) {
            return errno == ELOOP ? "is a symbolic link; nothing written" : std::strerror(errno);
        }
        struct stat opened {};
        if (::fstat(fd.Get(), &opened) != 0) {
            return std::strerror(errno);
        }
        if (opened.st_dev != seen.st_dev || opened.st_ino != seen.st_ino) {
            return "changed while it was opened; nothing written";
        }
        if (const char* refusal = RefusalOf(opened)) {
            return refusal;
        }
    } else if (errno == ENOENT) {
        fd.Reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd.Valid()) {
            return errno == ELOOP || errno == EEXIST ? "appeared while it was made; nothing written"
                                                     : std::strerror(errno);
        }
        made = true;
    } else {
        return std::strerror(errno);
    }
    int error = ::ftruncate(fd.Get(), 0) == 0 ? WriteFully(fd.Get(), png) : errno;
    if (error == 0) {
        // A delayed write error (a full disk over NFS) shows at close.
        if (::close(fd.Release()) == 0) {
            return {};
        }
        error = errno;
    }
    // No half a picture for the caller to read.
    if (made) {
        ::unlink(path.c_str());
    } else if (fd.Valid()) {
        ::ftruncate(fd.Get(), 0);
    }
    return std::strerror(error);
}

}  // namespace quorvel
