// Whether decoding a cover could cost more than its bound, judged from its
// bytes before any decoder sees them (the bounds are in app/limits.h). The
// viewer, quorvel-dump and quorvel-thumbnailer all load covers through
// CCoverPicture, which asks this first.
#pragma once

#include <span>
#include <string_view>

namespace quorvel {

// `format` is "jpeg", "bmp" or "gif", as recognised from the bytes. False
// when the cover is larger than kMaxCoverBytes; for a JPEG, when it is not
// a Huffman-coded frame of 8-bit samples with 1, 3 or 4 components, or has
// more than kMaxJpegScans scans or kMaxJpegScanSamples samples in all its
// scans; for a run-length BMP, when its stream is longer than the plainest
// encoder writes for its size (two bytes a pixel and two a row, and the
// end).
bool CoverWorkBounded(std::string_view format, std::span<const unsigned char> bytes);

}  // namespace quorvel
