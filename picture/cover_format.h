// A cover's picture format, told from its first bytes. Header-only and free
// of Qt, so layers without a picture decoder can name a cover's format too.
#pragma once

#include <cstring>
#include <optional>
#include <span>
#include <string_view>

namespace quorvel {

struct CoverFormat {
    const char* name;       // "jpeg", "bmp", "gif": also the decoder's format name
    const char* extension;  // the file-name extension: "jpg", "bmp", "gif"
};

// Only the formats a box file carries: JPEG, BMP, GIF (87a or 89a). Anything
// else, PNG included, is no cover.
inline std::optional<CoverFormat> SniffCoverFormat(std::span<const unsigned char> bytes) {
    const auto startsWith = [bytes](std::string_view magic) {
        return bytes.size() >= magic.size() &&
               std::memcmp(bytes.data(), magic.data(), magic.size()) == 0;
    };
    if (startsWith("\xFF\xD8\xFF")) {
        return CoverFormat{"jpeg", "jpg"};
    }
    if (startsWith("BM")) {
        return CoverFormat{"bmp", "bmp"};
    }
    if (startsWith("GIF87a") || startsWith("GIF89a")) {
        return CoverFormat{"gif", "gif"};
    }
    return std::nullopt;
}

}  // namespace quorvel
