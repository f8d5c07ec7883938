// The program's version block and how it is read back.
//
// The block has the VS_VERSIONINFO layout (tools/mkversion.py writes it from
// res/version.json.in): a root block "VS_VERSION_INFO" holding the 52-byte fixed
// part, then "StringFileInfo" with one string table per language and code
// page ("040704b0") and "VarFileInfo" with the translation list. Strings are
// UTF-16LE. The build puts the block into the ELF section ".quorvel_version"
// of the quorvel executable; it is found again through the file's section
// headers, so the file named after the application can be read without
// running it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quorvel {

inline constexpr std::string_view kVersionSectionName = ".quorvel_version";
// A block states its length in 16 bits, so no real block is longer.
inline constexpr uint32_t kMaxVersionBlockSize = 0xFFFF;
inline constexpr uint32_t kFixedFileInfoSignature = 0xFEEF04BD;

// The fixed part of the block (VS_FIXEDFILEINFO).
struct FixedFileInfo {
    uint32_t signature = 0;
    uint32_t structVersion = 0;
    uint32_t fileVersionMS = 0;
    uint32_t fileVersionLS = 0;
    uint32_t productVersionMS = 0;
    uint32_t productVersionLS = 0;
    uint32_t fileFlagsMask = 0;
    uint32_t fileFlags = 0;
    uint32_t fileOS = 0;
    uint32_t fileType = 0;
    uint32_t fileSubtype = 0;
    uint32_t fileDateMS = 0;
    uint32_t fileDateLS = 0;
};

// The root value "\" of a block: present when the root block is
// "VS_VERSION_INFO" and carries a whole fixed part with the right signature.
std::optional<FixedFileInfo> QueryFixedFileInfo(std::span<const unsigned char> block);

// The value bytes of a block below the root, such as
// "\VarFileInfo\Translation": each name is matched against the block keys
// without regard to ASCII case. The span lies inside `block`.
std::optional<std::span<const unsigned char>> QueryVersionValue(
    std::span<const unsigned char> block, std::string_view subBlock);

// A string value such as "\StringFileInfo\040704B0\Comments": each name is
// matched against the block keys without regard to ASCII case. The value is
// returned as Windows-1252 bytes ('?' for what the code page cannot hold).
std::optional<std::string> QueryVersionString(std::span<const unsigned char> block,
                                              std::string_view subBlock);

// "%d.%d.%d.%d" from the high and low 16 bits of `ms`, then of `ls`.
std::string FormatVersionNumber(uint32_t ms, uint32_t ls);

// Size of the version block in the file at `path`; 0 when the file, its
// section or a block of plausible size is missing.
uint32_t GetFileVersionInfoSize(const std::string& path);

// Copies the version block of `path` into `buffer`, cut to the buffer's size.
// Returns the number of bytes copied, 0 when there is no block.
size_t GetFileVersionInfo(const std::string& path, std::span<unsigned char> buffer);

// What CApplikation::GetVersionInfo does, for the program file
// `programFolder` + `applicationName` (the folder ends in '/'). Outputs that
// are not found keep the caller's values; true when the fixed part was read.
// Writes "new char[%d] = %08x" and "delete %08x" at log level 8.
bool ReadVersionInfo(const std::string& programFolder, const std::string& applicationName,
                     std::string& fileVersion, std::string& productVersion, std::string& comments,
                     std::string& legalNotice);

}  // namespace quorvel
