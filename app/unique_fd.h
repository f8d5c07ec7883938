// A file descriptor owned by one object and closed with it, and the one
// full-read and full-write loops the program uses on it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <utility>

namespace quorvel {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.m_fd, -1));
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }
    void Reset(int fd = -1);
    // Hands the descriptor over, for a close whose result counts.
    int Release() { return std::exchange(m_fd, -1); }

private:
    int m_fd = -1;
};

// What a full read came to.
enum class ReadOutcome {
    kComplete,  // every byte asked for was read
    kShort,     // the file ended first
    kFailed,    // the system reported an error (errno tells which)
};

// Fills `out` from `offset` on, retrying reads an interrupting signal cut
// short.
ReadOutcome ReadFullyAt(int fd, uint64_t offset, std::span<unsigned char> out);

// Writes all of `bytes`, retrying writes a signal cut short. 0 when all was
// written, else the errno of the write that failed.
int WriteFully(int fd, std::span<const unsigned char> bytes);
inline int WriteFully(int fd, std::string_view bytes) {
    return WriteFully(fd, {reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()});
}

}  // namespace quorvel
