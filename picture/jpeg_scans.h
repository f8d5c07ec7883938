// Counts the scans of a JPEG image before it is decoded: a progressive
// JPEG's decoding time grows with its scans, each one a pass over the
// whole picture.
#pragma once

#include <span>

namespace quorvel {

// The start-of-scan markers met walking the marker segments and the
// entropy-coded data up to the end-of-image marker or the end of the bytes,
// at most `stopAfter` (the walk ends there). Linear in the bytes.
int CountJpegScans(std::span<const unsigned char> jpeg, int stopAfter);

}  // namespace quorvel
