// Dialog units of the 8-point dialog font, as pixels at 96 DPI. The window
// templates give positions in dialog units; the window code works in pixels.
#pragma once

namespace quorvel {

// x = du * 3 / 2 and y = du * 13 / 8, rounded to the nearest pixel (halves
// up). Templates hold only non-negative units.
constexpr int DuToPxX(int du) {
    return (du * 3 + 1) / 2;
}
constexpr int DuToPxY(int du) {
    return (du * 13 + 4) / 8;
}

static_assert(DuToPxX(70) == 105 && DuToPxX(280) == 420 && DuToPxX(67) == 101);
static_assert(DuToPxY(198) == 322 && DuToPxY(199) == 323 && DuToPxY(92) == 150);

}  // namespace quorvel
