// The text chunks of a PNG file, read without decoding its picture: a
// thumbnail's entry says whose it is and of when in them.
#pragma once

#include <map>
#include <span>
#include <string>

namespace quorvel {

// The tEXt chunks (keyword, Latin-1 text) met before the picture data; empty
// when `png` is no PNG file or a chunk runs past its end.
std::map<std::string, std::string> PngTextChunks(std::span<const unsigned char> png);

// `png` with a tEXt chunk for each of `texts` (keyword, Latin-1 text) put
// right after its header chunk, where readers look first; empty when `png`
// is no PNG file.
std::string WithPngTextChunks(std::span<const unsigned char> png,
                              const std::map<std::string, std::string>& texts);

}  // namespace quorvel
