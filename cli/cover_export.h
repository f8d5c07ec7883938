// Covers written out as picture files, bytes exactly as the box holds them.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace quorvel {

// "jpeg", "bmp" or "gif" from the picture's first bytes; nullptr for none.
const char* CoverFormat(std::span<const unsigned char> bytes);

// The file-name extension for a CoverFormat: "jpg", "bmp", "gif".
const char* CoverExtension(const char* format);

// The name a box's cover is written under: the last path component without
// its ".box" extension; "stdin" for standard input ("-").
std::string CoverStem(const std::string& path);

// Writes `bytes` to `path`, replacing a regular file of that name but never
// following a symbolic link. Empty on success, else why not.
std::string WriteCoverFile(const std::string& path, std::span<const unsigned char> bytes);

}  // namespace quorvel
