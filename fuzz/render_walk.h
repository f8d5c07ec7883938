// RenderToken's contract, checked token by token over a whole data block.
#pragma once

#include <cstdint>
#include <span>

#include "render/record_renderer.h"

namespace quorvel::fuzz {

// Renders every token of `block` with a fresh renderer and aborts when
// RenderToken breaks its contract: a token that makes no progress, a cursor
// that moves by anything but the returned size, or a walk that does not end
// within the block.
void CheckTokenWalk(std::span<const unsigned char> block);

}  // namespace quorvel::fuzz
