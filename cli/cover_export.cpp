#include "cli/cover_export.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/text_util.h"
#include "app/unique_fd.h"

namespace quorvel {
namespace {

bool StartsWith(std::span<const unsigned char> bytes, std::string_view magic) {
    return bytes.size() >= magic.size() &&
           std::memcmp(bytes.data(), magic.data(), magic.size()) == 0;
}

}  // namespace

const char* CoverFormat(std::span<const unsigned char> bytes) {
    if (StartsWith(bytes, "\xFF\xD8\xFF")) {
        return "jpeg";
    }
    if (StartsWith(bytes, "BM")) {
        return "bmp";
    }
    if (StartsWith(bytes, "GIF87a") || StartsWith(bytes, "GIF89a")) {
        return "gif";
    }
    return nullptr;
}

const char* CoverExtension(const char* format) {
    return std::strcmp(format, "jpeg") == 0 ? "jpg" : format;
}

std::string CoverStem(const std::string& path) {
    if (path == "-") {
        return "stdin";
    }
    const size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos &&
        EqualsIgnoreAsciiCase(std::string_view(name).substr(dot), ".box")) {
        name.erase(dot);
    }
    return name.empty() ? "box" : name;
}

std::string WriteCoverFile(const std::string& path, std::span<const unsigned char> bytes) {
    const UniqueFd fd(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!fd.Valid()) {
        return std::strerror(errno);
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd.Get(), bytes.data() + done, bytes.size() - done);
        if (wrote < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::strerror(errno);
        }
        done += static_cast<size_t>(wrote);
    }
    return {};
}

}  // namespace quorvel
