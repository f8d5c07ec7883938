// A keyed hash of a text as ASCII case folding sees it, for the definition
// tables' de-duplication index.
#pragma once

#include <cstdint>
#include <string_view>

namespace quorvel {

struct HashKey {
    uint64_t k0 = 0;
    uint64_t k1 = 0;
};

// Drawn once per process from the system's random source: texts from a file
// cannot be chosen to collide without knowing it.
const HashKey& ProcessHashKey();

// SipHash-1-3 of the text with 'A'..'Z' read as 'a'..'z', so two texts that
// are equal ignoring ASCII case hash alike. Folding happens word by word as
// the text is read; nothing is copied.
uint64_t FoldedHash(std::string_view text, const HashKey& key);

}  // namespace quorvel
