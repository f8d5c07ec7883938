#include "cli/output.h"

#include <unistd.h>

#include <cerrno>

namespace quorvel {

bool Output::Flush() {
    if (m_error != 0) {
        m_buffer.clear();
        return false;
    }
    size_t done = 0;
    while (done < m_buffer.size()) {
        const ssize_t wrote = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
        if (wrote < 0) {
            if (errno == EINTR) {
                continue;
            }
            m_error = errno;
            break;
        }
        done += static_cast<size_t>(wrote);
    }
    m_buffer.clear();
    return m_error == 0;
}

bool Output::ReaderGone() const {
    return m_error == EPIPE;
}

}  // namespace quorvel
