// The dump tool's standard output: each file's result is collected in a
// buffer and written as soon as the file is done, so memory stays flat over
// any number of files. A failed write is remembered; a closed pipe counts as
// a quiet end rather than an error.
#pragma once

#include <string>

namespace quorvel {

class Output {
public:
    explicit Output(int fd) : m_fd(fd) {}

    // Append here, then Flush.
    std::string& Buffer() { return m_buffer; }

    // Writes the buffer out whole. False once any write has failed; nothing
    // more is written after that.
    bool Flush();

    bool Failed() const { return m_error != 0; }
    // The reader went away (EPIPE): no message is due.
    bool ReaderGone() const;
    int Error() const { return m_error; }

private:
    int m_fd;
    int m_error = 0;
    std::string m_buffer;
};

}  // namespace quorvel
