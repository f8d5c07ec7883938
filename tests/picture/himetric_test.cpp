// Run: ctest --test-dir build -R Himetric   (or build/tests/picture_test)
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "picture/himetric.h"

namespace quorvel {
namespace {

TEST(Himetric, MulDivRoundsToNearestHalvesAwayFromZero) {
    const struct {
        int32_t a, b, c, expected;
    } cases[] = {
        {7, 1, 2, 4},
        {5, 1, 2, 3},
        {-5, 1, 2, -3},
        {5, -1, 2, -3},
        {5, 1, -2, -3},
        {-5, -1, -2, -3},
        {4, 1, 3, 1},
        {5, 1, 3, 2},
        {-4, 1, 3, -1},
        {0, 9, 7, 0},
        {12, 2540, 96, 318},                           // 317.5: the half goes up
        {100, 2540, 96, 2646},                         // 2645.83
        {140, 2540, 96, 3704},                         // 3704.17
        {2646, 96, 2540, 100},                         // 100.01
        {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},  // 64-bit intermediate
        {INT32_MIN, 1, 1, INT32_MIN},                  // -2^31 fits
        {INT32_MIN, -1, 1, -1},                        // +2^31 does not
        {INT32_MAX, 2, 1, -1},                         // overflow
        {1, 1, 0, -1},                                 // division by zero
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " * " << c.b << " / " << c.c);
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected);
    }
}

TEST(Himetric, PixelSizesSurviveTheRoundTrip) {
    for (int32_t px = 0; px <= 70000; ++px) {
        const int32_t himetric = HimetricFromPixels(px);
        ASSERT_EQ(PixelsFromHimetric(himetric), px) << "at " << px << " px = " << himetric;
        // The extent is the nearest whole number of 1/100 mm.
        ASSERT_LE(std::abs(px * 2540.0 / 96 - himetric), 0.5) << "at " << px;
    }
}

}  // namespace
}  // namespace quorvel
