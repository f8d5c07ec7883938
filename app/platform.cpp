// Linux implementations of the platform services.
#include "app/platform.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/unique_fd.h"

namespace quorvel {

namespace {

std::string& ExecutablePathOverride() {
    static std::string path;
    return path;
}

// Only called with non-empty folders, so the one rule gives the same result.
std::string WithTrailingSlash(std::string folder) {
    AppendSlash(folder);
    return folder;
}

}  // namespace

PathParts SplitPath(std::string_view path) {
    PathParts parts;
    const std::size_t slash = path.rfind('/');
    std::string_view last = path;
    if (slash != std::string_view::npos) {
        parts.dir.assign(path.substr(0, slash + 1));
        last = path.substr(slash + 1);
    }
    const std::size_t dot = last.rfind('.');
    if (dot != std::string_view::npos) {
        parts.fname.assign(last.substr(0, dot));
        parts.ext.assign(last.substr(dot));
    } else {
        parts.fname.assign(last);
    }
    return parts;
}

std::string TempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    if (tmp != nullptr && *tmp != '\0') {
        return WithTrailingSlash(tmp);
    }
    return "/tmp/";
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        return WithTrailingSlash(home);
    }
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] != '\0') {
        return WithTrailingSlash(found->pw_dir);
    }
    return "/";
}

std::string ExecutablePath() {
    if (!ExecutablePathOverride().empty()) {
        return ExecutablePathOverride();
    }
    // The link's length is not known beforehand; grow until it fits.
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            return {};
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(n));
        }
        if (buffer.size() >= (1u << 20)) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
}

void SetExecutablePathForTesting(std::string path) {
    ExecutablePathOverride() = std::move(path);
}

std::string ProgramFolder() {
    const PathParts parts = SplitPath(ExecutablePath());
    return parts.drive + parts.dir;
}

std::string ApplicationName() {
    return SplitPath(ExecutablePath()).fname;
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void AppendSlash(std::string& path) {
    if (!path.empty() && path.back() != '/') {
        path.push_back('/');
    }
}

int CreateFolderChain(std::string path) {
    if (path.empty()) {
        return ENOENT;
    }
    const PathParts parts = SplitPath(path);
    path = parts.drive + parts.dir;
    if (parts.ext.empty()) {
        path += parts.fname;
    }
    AppendSlash(path);

    if (IsDirectory(path)) {
        return EEXIST;
    }
    const int result = MakeDirectory(path);
    if (result != ENOENT) {
        return result;
    }

    // A parent is missing: create the chain from the top down. A relative
    // path stays relative, and repeated '/' are skipped.
    const std::string dir = SplitPath(path).dir;
    if (dir.empty()) {
        return ENOENT;
    }
    const bool absolute = dir.front() == '/';
    std::string partial = parts.drive;
    std::size_t pos = 0;
    while (pos < dir.size()) {
        std::size_t slash = dir.find('/', pos);
        if (slash == std::string::npos) {
            slash = dir.size();
        }
        const std::string_view component = std::string_view(dir).substr(pos, slash - pos);
        pos = slash + 1;
        if (component.empty()) {
            continue;
        }
        if (absolute || !partial.empty()) {
            partial.push_back('/');
        }
        partial += component;
        const int step = MakeDirectory(partial);
        if (step != 0 && step != EEXIST) {
            return step;
        }
    }
    return 0;
}

int MakeDirectory(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0) {
        return 0;
    }
    return errno;
}

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return local;
}

std::optional<long long> AppendToRegularFile(const std::string& path, std::string_view bytes) {
    // O_NONBLOCK keeps a FIFO from stalling the open; it does not affect
    // writes to a regular file.
    const int fd = ::open(
        path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        return std::nullopt;
    }
    const UniqueFd closer(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    WriteFully(fd, bytes);  // a part written still counts in the length
    if (::fstat(fd, &st) != 0) {
        return std::nullopt;
    }
    return static_cast<long long>(st.st_size);
}

bool RenameReplacing(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

int WriteFileReplacing(const std::string& path, std::span<const unsigned char> bytes, mode_t mode) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        return ELOOP;
    }
    // A fresh name beside `path`, so the rename stays on one file system.
    std::string part;
    UniqueFd fd;
    for (int attempt = 0; !fd.Valid(); ++attempt) {
        part = path + ".part-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd.Reset(::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (!fd.Valid() && (errno != EEXIST || attempt == 99)) {
            return errno;
        }
    }
    int error = WriteFully(fd.Get(), bytes);
    if (::close(fd.Release()) != 0 && error == 0) {
        error = errno;  // a delayed write error shows only here
    }
    if (error == 0 && std::rename(part.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(part.c_str());
    }
    return error;
}

void LowerThreadPriority() {
    // On Linux the nice value belongs to the thread named by its id.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
}

}  // namespace quorvel
