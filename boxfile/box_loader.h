// Loading a box file into a LoadedBox. Nothing is read outside the file: a
// block whose range does not lie wholly inside it is absent, and a file
// shorter than its header loads nothing at all. A compressed block is
// inflated; one too short for its length prefix, or whose stream fails,
// stays as stored.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "boxfile/loaded_box.h"

namespace quorvel {

// Which blocks a reader wants; the other is left absent without being read
// or inflated (a thumbnail needs no record).
enum class BoxParts : uint8_t { kAll, kCoverOnly };

// Reads the regular file at `path`. A file without the magic costs one
// 64-byte read, however large it is.
LoadedBox LoadBox(const std::string& path, BoxParts parts = BoxParts::kAll);

// Reads a box from `fd` (a pipe or terminal as well as a file) to its end,
// with the limits of a named file: the magic is checked on the first 64
// bytes, and no more than the largest box is ever taken in.
LoadedBox LoadBoxStream(int fd, BoxParts parts = BoxParts::kAll);

// Loads a whole file's bytes already in memory (copied into the box).
LoadedBox LoadBoxBytes(std::span<const unsigned char> file, BoxParts parts = BoxParts::kAll);

}  // namespace quorvel
