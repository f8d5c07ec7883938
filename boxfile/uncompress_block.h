// Inflating one stored block: a 4-byte little-endian declared length, then a
// zlib stream.
#pragma once

#include <span>
#include <vector>

namespace quorvel {

// On success `out` holds the content (at most the declared length, which is
// the capacity); on failure it is empty and false comes back. A declaration
// beyond kMaxInflatedBlockBytes fails as an allocation that failed would.
bool UncompressBlock(std::span<const unsigned char> source, std::vector<unsigned char>& out);

}  // namespace quorvel
