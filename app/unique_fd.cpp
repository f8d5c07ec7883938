#include "app/unique_fd.h"

#include <unistd.h>

#include <cerrno>

namespace quorvel {

void UniqueFd::Reset(int fd) {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    m_fd = fd;
}

ReadOutcome ReadFullyAt(int fd, uint64_t offset, std::span<unsigned char> out) {
    size_t done = 0;
    while (done < out.size()) {
        const ssize_t got =
            ::pread(fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return ReadOutcome::kFailed;
        }
        if (got == 0) {
            return ReadOutcome::kShort;
        }
        done += static_cast<size_t>(got);
    }
    return ReadOutcome::kComplete;
}

int WriteFully(int fd, std::span<const unsigned char> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return wrote < 0 ? errno : EIO;
        }
        done += static_cast<size_t>(wrote);
    }
    return 0;
}

}  // namespace quorvel
