// The 64-byte header every box file starts with.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quorvel {

inline constexpr size_t kBoxHeaderSize = 64;
inline constexpr unsigned char BOX_PICTURE_TYPE_MASK = 0x07;
inline constexpr unsigned char BOX_COVER_COMPRESSED = 0x40;
inline constexpr unsigned char BOX_DATA_COMPRESSED = 0x80;

struct BoxHeader {
    std::array<char, 8> magic{};
    std::array<unsigned char, 32> opaqueA{};
    std::array<char, 8> exportDate{};
    std::array<char, 6> exportTime{};
    unsigned char flags = 0;
    unsigned char opaqueB = 0;
    uint32_t coverOffset = 0;
    uint32_t dataOffset = 0;

    static BoxHeader Parse(std::span<const unsigned char, kBoxHeaderSize> bytes);
    // "MIRAX4.0": the only data model this viewer reads.
    bool HasMagic() const;
};

}  // namespace quorvel
