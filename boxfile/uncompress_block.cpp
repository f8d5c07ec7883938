#include "boxfile/uncompress_block.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <limits>

#include "app/byte_read.h"
#include "app/limits.h"

namespace quorvel {
namespace {

// Deflate never expands more than 1032:1; a declared length beyond what the
// stream could ever produce would only reserve memory that stays unused.
constexpr uint64_t kMaxInflateRatio = 1032;
constexpr uint64_t kInflateSlack = 4096;

}  // namespace

// zlib's uncompress decides success and failure, byte for byte as stored
// files expect. libdeflate inflates 2-3x faster but was rejected: it
// accepts streams uncompress refuses (distance codes 30 and 31, more
// than 286 length codes), and telling such streams apart would mean
// decoding every block twice.
bool UncompressBlock(std::span<const unsigned char> source, std::vector<unsigned char>& out) {
    out.clear();
    if (source.size() < 4) {
        return false;
    }
    const uint64_t declared = ReadLe32(source, 0);
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
    // Inflate straight into the caller's buffer, then cut it to what came out.
    out.resize(static_cast<size_t>(capacity));
    uLongf produced = static_cast<uLongf>(capacity);
    const int result =
        uncompress(out.data(), &produced, stream.data(), static_cast<uLong>(stream.size()));
    if (result != Z_OK) {
        out = std::vector<unsigned char>();
        return false;
    }
    out.resize(produced);
    return true;
}

}  // namespace quorvel
