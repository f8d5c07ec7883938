// Stepping through the box files of a folder in the order a file manager
// lists them: letter case ignored, numbers compared as numbers ("Teil 2"
// before "Teil 10").
#pragma once

#include <optional>
#include <string>

namespace quorvel {

enum class StepDirection { kNext, kPrevious };

// The ".box" file (extension in any case) that follows or precedes `path` in
// its folder, as a path in the same form; nothing at either end or when the
// folder cannot be listed. `path` itself need not exist any more.
std::optional<std::string> NeighbourBoxFile(const std::string& path, StepDirection direction);

}  // namespace quorvel
