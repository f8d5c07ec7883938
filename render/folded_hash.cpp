#include "render/folded_hash.h"

#include <bit>
#include <cstring>
#include <random>

namespace quorvel {
namespace {

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

// 'A'..'Z' to 'a'..'z' in all eight bytes at once; bytes with the high bit
// set (Windows-1252 letters included) stay as they are.
uint64_t FoldWord(uint64_t w) {
    const uint64_t low7 = w & ~kHighBits;
    const uint64_t atLeastA = low7 + (0x80 - 'A') * kOnes;
    const uint64_t aboveZ = low7 + (0x80 - 'Z' - 1) * kOnes;
    const uint64_t upper = atLeastA & ~aboveZ & ~w & kHighBits;
    return w | (upper >> 2);
}

uint64_t LoadLe64(const char* p) {
    uint64_t w;
    std::memcpy(&w, p, sizeof w);
    if constexpr (std::endian::native == std::endian::big) {
        w = __builtin_bswap64(w);
    }
    return w;
}

struct SipState {
    uint64_t v0, v1, v2, v3;

    void Round() {
        v0 += v1;
        v1 = std::rotl(v1, 13);
        v1 ^= v0;
        v0 = std::rotl(v0, 32);
        v2 += v3;
        v3 = std::rotl(v3, 16);
        v3 ^= v2;
        v0 += v3;
        v3 = std::rotl(v3, 21);
        v3 ^= v0;
        v2 += v1;
        v1 = std::rotl(v1, 17);
        v1 ^= v2;
        v2 = std::rotl(v2, 32);
    }

    void Compress(uint64_t m) {
        v3 ^= m;
        Round();
        v0 ^= m;
    }
};

}  // namespace

const HashKey& ProcessHashKey() {
    static const HashKey key = [] {
        std::random_device source;
        const auto draw = [&source] { return (uint64_t{source()} << 32) ^ uint64_t { source() }; };
        HashKey k;
        k.k0 = draw();
        k.k1 = draw();
        return k;
    }();
    return key;
}

uint64_t FoldedHash(std::string_view text, const HashKey& key) {
    SipState s{key.k0 ^ 0x736f6d6570736575ull, key.k1 ^ 0x646f72616e646f6dull,
               key.k0 ^ 0x6c7967656e657261ull, key.k1 ^ 0x7465646279746573ull};
    const char* p = text.data();
    size_t left = text.size();
    for (; left >= 8; p += 8, left -= 8) {
        s.Compress(FoldWord(LoadLe64(p)));
    }
    uint64_t last = 0;
    for (size_t i = 0; i < left; ++i) {
        last |= uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
    }
    // The tail's unused bytes are zero; zero never folds, so the tail folds
    // like any word.
    s.Compress(FoldWord(last) | (uint64_t{text.size() & 0xFF} << 56));
    s.v2 ^= 0xFF;
    s.Round();
    s.Round();
    s.Round();
    return s.v0 ^ s.v1 ^ s.v2 ^ s.v3;
}

}  // namespace quorvel
