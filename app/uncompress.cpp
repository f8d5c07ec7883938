#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <limits>

#include "app/applikation.h"
#include "app/byte_read.h"

namespace quorvel {
namespace {

// Deflate never expands more than 1032:1; a declared length beyond what the
// stream could ever produce would only reserve memory that stays unused.
constexpr uint64_t kMaxInflateRatio = 1032;
constexpr uint64_t kInflateSlack = 4096;
// No block of one collection item comes near this; a hostile declaration
// cannot make us reserve more.
constexpr uint64_t kMaxBlockBytes = uint64_t{512} << 20;

}  // namespace

bool CApplikation::UncompressBlock(std::span<const unsigned char> source,
                                   std::vector<unsigned char>& out) {
    out.clear();
    if (source.size() < 4) {
        return false;
    }
    const uint64_t declared = ReadLe32(source, 0);
    // Lengths are signed 32-bit all through the loader.
    if (declared > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
        return false;
    }
    const std::span<const unsigned char> stream = source.subspan(4);
    // The declared length stays the capacity: a stream needing more fails.
    // Capping it by what the stream can produce changes no outcome.
    const uint64_t capacity = std::min(declared, stream.size() * kMaxInflateRatio + kInflateSlack);
    if (capacity > kMaxBlockBytes) {
        return false;
    }
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
