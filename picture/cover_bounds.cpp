#include "picture/cover_bounds.h"

#include <cstdint>
#include <cstdlib>

#include "app/byte_read.h"
#include "app/limits.h"
#include "picture/jpeg_frame.h"

namespace quorvel {

namespace {

// Only what the design's decoder read: baseline, extended and progressive
// Huffman-coded frames of 8-bit grey, colour or CMYK samples. An
// arithmetic-coded frame costs many times as much a sample and keeps
// decoding on the coder's guesses once its data ends, so a few kilobytes
// buy seconds.
bool JpegWorkBounded(std::span<const unsigned char> jpeg) {
    const JpegFrame frame = ReadJpegFrame(jpeg, kMaxJpegScans + 1);
    const bool huffman = frame.marker == 0xC0 || frame.marker == 0xC1 || frame.marker == 0xC2;
    const bool picture = frame.components == 1 || frame.components == 3 || frame.components == 4;
    return huffman && frame.precision == 8 && picture && frame.scans <= kMaxJpegScans &&
           frame.scanSamples <= kMaxJpegScanSamples;
}

// A run-length BMP is decoded a stream byte at a time, however few pixels
// it sets: escapes that draw nothing cost as much as runs. The plainest
// encoder writes each pixel as a run of one (two bytes), each row's end
// (two) and the picture's end (two); a longer stream is refused.
bool BmpWorkBounded(std::span<const unsigned char> bmp) {
    constexpr size_t kFileHeader = 14;
    constexpr uint32_t kRle8 = 1;
    constexpr uint32_t kRle4 = 2;
    if (bmp.size() < kFileHeader + 20) {
        return true;  // too short for a compression field: nothing to stream
    }
    const uint32_t infoSize = ReadLe32(bmp, kFileHeader);
    // The old 12-byte header has no compression field.
    if (infoSize < 20 || infoSize > bmp.size() - kFileHeader) {
        return true;
    }
    const uint32_t compression = ReadLe32(bmp, kFileHeader + 16);
    if (compression != kRle8 && compression != kRle4) {
        return true;
    }
    const auto side = [&](size_t at) {
        return std::llabs(static_cast<long long>(static_cast<int32_t>(ReadLe32(bmp, at))));
    };
    const int64_t width = side(kFileHeader + 4);
    const int64_t height = side(kFileHeader + 8);
    if (width > kMaxCoverSide || height > kMaxCoverSide) {
        return false;  // refused for its size anyway
    }
    // Everything after the headers is taken as palette (at most 256 colours
    // of 4 bytes) and stream.
    const uint64_t rest = bmp.size() - kFileHeader - infoSize;
    return rest <= static_cast<uint64_t>(4 * 256 + 2 * width * height + 2 * height + 2);
}

}  // namespace

bool CoverWorkBounded(std::string_view format, std::span<const unsigned char> bytes) {
    if (bytes.size() > kMaxCoverBytes) {
        return false;
    }
    if (format == "jpeg") {
        return JpegWorkBounded(bytes);
    }
    if (format == "bmp") {
        return BmpWorkBounded(bytes);
    }
    return true;
}

}  // namespace quorvel
