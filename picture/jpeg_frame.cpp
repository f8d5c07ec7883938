#include "picture/jpeg_frame.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace quorvel {

namespace {

constexpr unsigned char kSos = 0xDA;
constexpr unsigned char kEoi = 0xD9;

bool IsFrameMarker(unsigned char marker) {
    // 0xC4 (Huffman tables), 0xC8 (reserved) and 0xCC (arithmetic
    // conditioning) share the range without starting a frame.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The frame header's fields, and per component identifier the samples a
// scan of that component covers.
void ReadFrameHeader(std::span<const unsigned char> segment, unsigned char marker, JpegFrame& frame,
                     std::array<int64_t, 256>& samplesById) {
    if (segment.size() < 6) {
        return;
    }
    const int components = segment[5];
    if (segment.size() < 6 + 3 * static_cast<size_t>(components)) {
        return;
    }
    frame.marker = marker;
    frame.precision = segment[0];
    frame.height = (segment[1] << 8) | segment[2];
    frame.width = (segment[3] << 8) | segment[4];
    int maxH = 1;
    int maxV = 1;
    for (int i = 0; i < components; ++i) {
        const int h = segment[6 + 3 * i + 1] >> 4;
        const int v = segment[6 + 3 * i + 1] & 0x0F;
        if (h < 1 || h > 4 || v < 1 || v > 4) {
            return;  // a decoder refuses it; so does the frame's cost
        }
        maxH = std::max(maxH, h);
        maxV = std::max(maxV, v);
    }
    // Blocks as an interleaved scan pads them, to whole units of the
    // largest sampling factors: never fewer than a decoder works through.
    const int64_t unitsAcross = (int64_t{frame.width} + 8 * maxH - 1) / (8 * maxH);
    const int64_t unitsDown = (int64_t{frame.height} + 8 * maxV - 1) / (8 * maxV);
    for (int i = 0; i < components; ++i) {
        const unsigned char id = segment[6 + 3 * i];
        const int h = segment[6 + 3 * i + 1] >> 4;
        const int v = segment[6 + 3 * i + 1] & 0x0F;
        samplesById[id] = std::max(samplesById[id], 64 * unitsAcross * h * unitsDown * v);
    }
    frame.components = components;
}

int64_t ScanSamples(std::span<const unsigned char> segment,
                    const std::array<int64_t, 256>& samplesById) {
    if (segment.empty()) {
        return 0;
    }
    const size_t named = std::min<size_t>(segment[0], (segment.size() - 1) / 2);
    int64_t samples = 0;
    for (size_t i = 0; i < named; ++i) {
        samples += samplesById[segment[1 + 2 * i]];
    }
    return samples;
}

}  // namespace

JpegFrame ReadJpegFrame(std::span<const unsigned char> jpeg, int stopAfterScans) {
    JpegFrame frame;
    std::array<int64_t, 256> samplesById{};
    bool frameSeen = false;
    // Skips bytes between markers as the decoder does, so stray data and the
    // entropy-coded segments need no parsing of their own.
    size_t pos = 2;  // past SOI
    while (pos + 1 < jpeg.size() && frame.scans < stopAfterScans) {
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
        const size_t length = (size_t{jpeg[pos + 2]} << 8) | jpeg[pos + 3];
        // The segment's payload, cut at the end of the bytes.
        const std::span<const unsigned char> payload =
            jpeg.subspan(pos + 4, std::min(length < 2 ? 0 : length - 2, jpeg.size() - pos - 4));
        if (marker == kSos) {
            ++frame.scans;
            frame.scanSamples += ScanSamples(payload, samplesById);
        } else if (IsFrameMarker(marker) && !frameSeen) {
            frameSeen = true;  // a decoder refuses a second frame
            ReadFrameHeader(payload, marker, frame, samplesById);
        }
        pos += 2 + length;
    }
    return frame;
}

}  // namespace quorvel
