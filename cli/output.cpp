#include "cli/output.h"

#include <cerrno>

#include "app/unique_fd.h"

namespace quorvel {

bool Output::Flush() {
    if (m_error != 0) {
        m_buffer.clear();
        return false;
    }
    m_error = WriteFully(m_fd, m_buffer);
    m_buffer.clear();
    return m_error == 0;
}

bool Output::ReaderGone() const {
    return m_error == EPIPE;
}

}  // namespace quorvel
