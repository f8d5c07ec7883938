// What decoding a JPEG image will cost, read from its marker segments before
// it is decoded: the frame's kind and size, and the samples its scans cover.
// A progressive JPEG's every scan is a pass over the components it names.
#pragma once

#include <cstdint>
#include <span>

namespace quorvel {

struct JpegFrame {
    // The first start-of-frame marker (0xC0 baseline, 0xC1 extended, 0xC2
    // progressive, 0xC9-0xCF arithmetic-coded...); 0 when none came before
    // the end or its segment is malformed.
    unsigned char marker = 0;
    int precision = 0;   // bits per sample
    int width = 0;       // pixels
    int height = 0;      // pixels
    int components = 0;  // 0 when a component's sampling factor is not 1 to 4
    // Start-of-scan markers met, at most the walk's bound.
    int scans = 0;
    // The samples all scans together decode: per scan, those of each
    // component it names, counted in whole blocks as a decoder pads them.
    int64_t scanSamples = 0;
};

// Walks the marker segments and the entropy-coded data up to the end-of-image
// marker, the end of the bytes or the `stopAfterScans`-th scan. Linear in the
// bytes; reads nothing outside them.
JpegFrame ReadJpegFrame(std::span<const unsigned char> jpeg, int stopAfterScans);

}  // namespace quorvel
