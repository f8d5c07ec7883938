#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <limits>

#include "app/applikation.h"
#include "app/limits.h"

namespace quorvel {
namespace {

// Deflate never expands more than 1032:1; a declared length beyond what the
// stream could ever produce would only reserve memory that stays unused.
constexpr uint64_t kMaxInflateRatio = 1032;
constexpr uint64_t kInflateSlack = 4096;

}  // namespace

bool CApplikation::UncompressBlock(std::span<const unsigned char> source,
                                   std::vector<unsigned char>& out) {
    out.clear();
    if (source.size() < 4) {
        return false;
    }
    const uint64_t declared = uint64_t{source[0]} | (uint64_t{source[1]} << 8) |
                              (uint64_t{source[2]} << 16) | (uint64_t{source[3]} << 24);
    // A declaration beyond the bound fails as an allocation that failed
    // would: the block stays stored.
    if (declared > kMaxInflatedBlockBytes) {
        return false;
    }
    const std::span<const unsigned char> stream = source.subspan(4);
    // The declared length stays the capacity: a stream needing more fails.
    // Capping it by what the stream can produce changes no outcome.
    const uint64_t capacity = std::min(declared, stream.size() * kMaxInflateRatio + kInflateSlack);
    if (stream.size() > std::numeric_limits<uLong>::max()) {
        return false;
    }
    std::vector<unsigned char> buffer(static_cast<size_t>(capacity));
    uLongf produced = static_cast<uLongf>(capacity);
    const int result =
        uncompress(buffer.data(), &produced, stream.data(), static_cast<uLong>(stream.size()));
    if (result != Z_OK) {
        return false;
    }
    buffer.resize(produced);
    out = std::move(buffer);
    return true;
}

}  // namespace quorvel
