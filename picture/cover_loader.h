// Hands covers from the box display to a picture object.
#pragma once

#include <optional>

#include "boxfile/box_display.h"
#include "picture/cover_picture.h"

namespace quorvel {

// A CoverLoader that decodes into `picture` (which must outlive it) and
// reports the picture's size when the load succeeded.
inline CoverLoader MakeCoverLoader(CCoverPicture& picture) {
    return [&picture](std::span<const unsigned char> bytes) -> std::optional<CoverSize> {
        if (picture.LoadFromMemory(bytes.data(), static_cast<int32_t>(bytes.size())) == 0) {
            return std::nullopt;
        }
        return CoverSize{picture.m_nWidth, picture.m_nHeight};
    };
}

}  // namespace quorvel
