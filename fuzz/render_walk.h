// The display's walk over a data block, with the renderer's contract checked
// at every token, shared by the fuzz targets.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "render/record_renderer.h"

namespace quorvel::fuzz {

// Walks `block` token by token as the viewer's display does and returns the
// assembled record text. Aborts when RenderToken breaks its contract: a
// token that makes no progress, a cursor that moves by anything but the
// returned size, or a walk that does not end within the block.
std::string WalkDataBlock(CRecordRenderer& renderer, std::span<const unsigned char> block);

}  // namespace quorvel::fuzz
