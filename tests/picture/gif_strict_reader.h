// A deliberately strict GIF reader for the encoder tests: Qt's reader
// forgives streams that other decoders reject (a missing end code, codes
// read at the wrong width), this one does not.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quorvel::test {

struct StrictGif {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> palette;  // as stored, padded to a power of two
    int loopCount = -1;             // -1: no NETSCAPE2.0 extension
    struct Frame {
        int delayCs = -1;  // -1: no graphic control extension
        std::vector<uint8_t> indices;
    };
    std::vector<Frame> frames;
};

// Parses the whole file; false with the reason in `error` on the first
// deviation from the format.
bool ReadGifStrictly(std::span<const unsigned char> bytes, StrictGif& out, std::string& error);

// Decodes one LZW image stream; every code must have exactly the width a
// decoder expects, the stream must end with the end code and nothing but
// zero padding may follow it.
bool DecodeLzwStrictly(std::span<const unsigned char> data, int minCodeSize, size_t pixelCount,
                       std::vector<uint8_t>& out, std::string& error);

}  // namespace quorvel::test
