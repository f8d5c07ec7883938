// Differential fuzzing of block inflation: the input is a stored block
// (4-byte little-endian declared length, then a zlib stream). The product's
// UncompressBlock and a plain zlib uncompress with the declared length as
// capacity must agree on success and on every byte.
// Build with libFuzzer (clang), from the top of the checkout:
//   cmake -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DQUORVEL_LIBFUZZER=ON -DQUORVEL_SANITIZE=ON
//   cmake --build build-fuzz --target fuzz_inflate
// Run it, new inputs going to a scratch folder, not into the seeds:
//   cd build-fuzz && mkdir -p new-inflate && export UBSAN_OPTIONS=halt_on_error=1
//   fuzz/fuzz_inflate -max_total_time=300 new-inflate ../fuzz/corpus/fuzz_inflate
// Replay the seeds and crashers in any build (CTest: Fuzz.fuzz_inflate):
//   build/fuzz/fuzz_inflate fuzz/corpus/fuzz_inflate fuzz/crashers
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "app/limits.h"
#include "boxfile/uncompress_block.h"
#include "fuzz/fuzz_check.h"

namespace {

// Deflate expands at most 1032:1 (a 258-byte match from two one-bit
// codes), so no stream can fill more than this: capping the reference's
// capacity here changes none of its outcomes and keeps a huge declared
// length from costing real memory.
constexpr uint64_t kMaxExpansion = 1032;
constexpr size_t kMaxStream = 64 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4 || size - 4 > kMaxStream) {
        return 0;
    }
    const std::span<const unsigned char> block(data, size);
    const uint64_t declared = uint64_t{data[0]} | (uint64_t{data[1]} << 8) |
                              (uint64_t{data[2]} << 16) | (uint64_t{data[3]} << 24);

    std::vector<unsigned char> product;
    const bool productOk = quorvel::UncompressBlock(block, product);

    const uint64_t capacity = std::min<uint64_t>(declared, (size - 4) * kMaxExpansion + 64);
    // Never zero-filled, so a byte the product returns without zlib having
    // written it shows up as a difference or as an uninitialised read.
    auto reference = std::make_unique_for_overwrite<unsigned char[]>(capacity + 1);
    uLongf produced = static_cast<uLongf>(capacity);
    const int result =
        uncompress(reference.get(), &produced, data + 4, static_cast<uLong>(size - 4));
    // A declaration beyond the block bound fails whatever the stream holds,
    // as an allocation that failed would.
    const bool referenceOk = result == Z_OK && declared <= quorvel::kMaxInflatedBlockBytes;

    QUORVEL_FUZZ_CHECK(productOk == referenceOk);
    if (productOk) {
        QUORVEL_FUZZ_CHECK(product.size() == produced);
        QUORVEL_FUZZ_CHECK(product.empty() ||
                           std::memcmp(product.data(), reference.get(), produced) == 0);
    } else {
        QUORVEL_FUZZ_CHECK(product.empty());
    }
    return 0;
}
