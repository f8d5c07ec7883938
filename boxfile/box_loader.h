// The box file container: a 64-byte header, a cover block and a data block,
// either block possibly zlib-compressed. One box is loaded at a time into
// process-wide state, shown, then freed.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "boxfile/load_status.h"

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

    // Needs at least kBoxHeaderSize bytes.
    static BoxHeader Parse(std::span<const unsigned char, kBoxHeaderSize> bytes);
    bool HasMagic() const;
};

// A loaded block's bytes. Held through a pointer, so presence is told by the
// pointer alone, and an inflated buffer becomes the block as it is.
using BlockBuffer = std::vector<unsigned char>;

// The loaded box; empty when the pointers are null. The sizes equal the
// buffers' sizes.
extern std::unique_ptr<BoxHeader> g_pBoxHeader;
extern std::unique_ptr<BlockBuffer> g_pCoverBlock;
extern int32_t g_nCoverSize;
extern std::unique_ptr<BlockBuffer> g_pDataBlock;
extern int32_t g_nDataSize;

// Reads the file at `path` whole and loads it, and says how that went. Only
// a regular file is read. Expects the state empty; a file whose header
// cannot be read leaves it empty.
LoadResult LoadBoxFileWithStatus(const std::string& path);
// Reads a box from `fd` (a pipe or terminal as well as a file) to its end,
// with the limits of a named file, and loads it.
LoadResult LoadBoxStream(int fd);
// The same without the status.
void LoadBoxFile(const std::string& path);
// Loads from bytes already in memory (the file's whole content): kShown,
// kTooShort, kTooLarge or kWrongMagic.
LoadStatus LoadBoxBytes(std::span<const unsigned char> file);
void FreeBoxFile();

std::span<const unsigned char> CoverBlock();
std::span<const unsigned char> DataBlock();

}  // namespace quorvel
