#include "picture/jpeg_scans.h"

#include <cstddef>

namespace quorvel {

int CountJpegScans(std::span<const unsigned char> jpeg, int stopAfter) {
    constexpr unsigned char kSos = 0xDA;
    constexpr unsigned char kEoi = 0xD9;
    int scans = 0;
    // Skips bytes between markers as the decoder does, so stray data and the
    // entropy-coded segments need no parsing of their own.
    size_t pos = 2;  // past SOI
    while (pos + 1 < jpeg.size() && scans < stopAfter) {
        if (jpeg[pos] != 0xFF) {
            ++pos;
            continue;
        }
        const unsigned char marker = jpeg[pos + 1];
        if (marker == 0xFF) {
            ++pos;  // a fill byte before the marker
            continue;
        }
        if (marker == kEoi) {
            break;
        }
        // A stuffed zero, a restart marker, TEM or SOI: no length follows.
        if (marker == 0x00 || marker == 0x01 || marker == 0xD8 ||
            (marker >= 0xD0 && marker <= 0xD7)) {
            pos += 2;
            continue;
        }
        if (pos + 4 > jpeg.size()) {
            break;
        }
        if (marker == kSos) {
            ++scans;
        }
        const size_t length = (size_t{jpeg[pos + 2]} << 8) | jpeg[pos + 3];
        pos += 2 + length;
    }
    return scans;
}

}  // namespace quorvel
