// GIF89a writer for 8-bit indexed frames: one picture or an animation.
// Qt reads GIF but cannot write it; the image tool and the tests need both.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorvel::tools {

struct GifFrame {
    // width x height palette indices, row after row from the top.
    std::vector<uint8_t> indices;
    // Time this frame stays on screen, in 1/100 s (animations only).
    uint16_t delayCs = 0;
};

struct GifImage {
    uint16_t width = 0;
    uint16_t height = 0;
    // 1 to 256 colours as 0xRRGGBB; padded to a power of two when written.
    std::vector<uint32_t> palette;
    std::vector<GifFrame> frames;
    // Loop count of the NETSCAPE2.0 extension (0 = forever), written only
    // for animations; no value leaves the extension out (plays once).
    std::optional<uint16_t> loopCount = 0;
};

// The whole file. Empty on invalid input, with the reason in `error`.
std::vector<unsigned char> EncodeGif(const GifImage& gif, std::string* error = nullptr);

// GIF's variable-width LZW of `indices` (each below 2^minCodeSize) as a
// packed bit stream, least significant bit first, starting with a clear
// code and ending with the end code; not yet cut into sub-blocks.
std::vector<unsigned char> LzwEncode(std::span<const uint8_t> indices, int minCodeSize);

// Writes `bytes` to `path`; false when the file cannot be written whole.
bool WriteFileBytes(const std::string& path, std::span<const unsigned char> bytes);

}  // namespace quorvel::tools
