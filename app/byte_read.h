// Little-endian numbers in borrowed byte ranges: the one reader every format
// of the program uses (box header, block length prefix, record tokens,
// version block).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace quorvel {

// The first `width` bytes (at most 8) of `bytes` as a little-endian number;
// bytes the range lacks read as 0.
inline uint64_t ReadLittleEndian(std::span<const unsigned char> bytes, size_t width) {
    uint64_t value = 0;
    for (size_t i = 0; i < width && i < bytes.size() && i < 8; ++i) {
        value |= uint64_t{bytes[i]} << (8 * i);
    }
    return value;
}

// Fixed-width reads at `at`; the caller has checked that at + 2 (or 4) lies
// inside `bytes`.
inline uint16_t ReadLe16(std::span<const unsigned char> bytes, size_t at) {
    return static_cast<uint16_t>(ReadLittleEndian(bytes.subspan(at), 2));
}

inline uint32_t ReadLe32(std::span<const unsigned char> bytes, size_t at) {
    return static_cast<uint32_t>(ReadLittleEndian(bytes.subspan(at), 4));
}

}  // namespace quorvel
