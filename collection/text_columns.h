// The full-text columns of the index, in their order in box_fts and
// film_text, shared by the schema, the writer and the search.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace quorvel {

inline constexpr const char* kTextColumns[] = {
    "title", "original_title", "further_titles", "persons", "roles", "notes", "genre", "languages",
    "ean",   "content",        "comment",
};
inline constexpr size_t kTextColumnCount = std::size(kTextColumns);

// A set of full-text columns, bit i for kTextColumns[i].
using TextColumnSet = uint32_t;
inline constexpr TextColumnSet kAllTextColumns = (TextColumnSet{1} << kTextColumnCount) - 1;

}  // namespace quorvel
