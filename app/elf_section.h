// Finds a named section in an ELF file (32 or 64 bit, either byte order) by
// its section headers, so that data written into an executable at build time
// can be read back from the file without loading or running it. Every field
// read from the file is checked against the file's size first; a file that
// is not ELF, or whose headers point outside it, has no sections.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Where a section's bytes lie in the file.
struct ElfSectionRange {
    uint64_t offset = 0;
    uint64_t size = 0;
};

// Fills `out` with the bytes at `offset`; false when they cannot all be read.
// The locator only asks for ranges that lie inside the size it was given.
using ElfByteReader = std::function<bool(uint64_t offset, std::span<unsigned char> out)>;

// Looks up section `name` through `read` in a file of `fileSize` bytes. A
// section without bytes in the file (SHT_NOBITS) counts as missing.
std::optional<ElfSectionRange> FindElfSection(const ElfByteReader& read, uint64_t fileSize,
                                              std::string_view name);

// The same over an image held in memory.
std::optional<ElfSectionRange> FindElfSection(std::span<const unsigned char> image,
                                              std::string_view name);

// Reads section `name` of the regular file at `path`. Empty when the file
// cannot be opened, is not a regular file, has no such section, or the
// section is larger than `maxSize` bytes.
std::optional<std::vector<unsigned char>> ReadElfSection(const std::string& path,
                                                         std::string_view name, uint64_t maxSize);

}  // namespace quorvel
