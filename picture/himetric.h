// Picture extents in HIMETRIC units (1/100 mm) and pixels at a fixed
// 96 pixels per inch, the conversion the cover sizes are reported through.
#pragma once

#include <cstdint>
#include <limits>

namespace quorvel {

// a * b / c with a 64-bit intermediate, rounded to the nearest integer,
// halves away from zero; -1 when c is 0 or the result leaves 32 bits.
constexpr int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) {
        return -1;
    }
    const int64_t product = int64_t{a} * b;
    const bool negative = (product < 0) != (c < 0);
    const uint64_t num = product < 0 ? uint64_t(-product) : uint64_t(product);
    const uint64_t den = c < 0 ? uint64_t(-int64_t{c}) : uint64_t(c);
    const uint64_t q = (num + den / 2) / den;
    const uint64_t limit = uint64_t(std::numeric_limits<int32_t>::max()) + (negative ? 1 : 0);
    if (q > limit) {
        return -1;
    }
    return negative ? int32_t(-int64_t(q)) : int32_t(q);
}

constexpr int32_t kHimetricPerInch = 2540;
constexpr int32_t kPixelsPerInch = 96;

constexpr int32_t HimetricFromPixels(int32_t px) {
    return MulDiv(px, kHimetricPerInch, kPixelsPerInch);
}

constexpr int32_t PixelsFromHimetric(int32_t himetric) {
    return MulDiv(himetric, kPixelsPerInch, kHimetricPerInch);
}

}  // namespace quorvel
