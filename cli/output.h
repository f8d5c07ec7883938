// The dump tool's standard output: each file's result is collected in a
// buffer and written as soon as the file is done, a large one also a chunk
// at a time while it is made, so memory stays flat over any number and size
// of files. A failed write is remembered; a closed pipe counts as a quiet
// end rather than an error.
#pragma once

#include <cstddef>
#include <cstdint>
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
    // Flushes once the buffer holds a chunk: for writers between the parts
    // of one file.
    void FlushLarge() {
        if (m_buffer.size() >= kChunkBytes) {
            Flush();
        }
    }

    // Bytes appended so far, written or not; a writer measures one file's
    // output by it.
    uint64_t Appended() const { return m_flushed + m_buffer.size(); }

    bool Failed() const { return m_error != 0; }
    // The reader went away (EPIPE): no message is due.
    bool ReaderGone() const;
    int Error() const { return m_error; }

private:
    static constexpr size_t kChunkBytes = size_t{1} << 20;

    int m_fd;
    int m_error = 0;
    uint64_t m_flushed = 0;
    std::string m_buffer;
};

}  // namespace quorvel
