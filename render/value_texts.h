// How the record text shows a DVD's region mask, a language and a person
// after their labels: the one place each is formatted, for the renderer's
// lines and for every writer that lists the same values (CSV).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// A region mask's low byte names regions 1..8, one bit each; 0x00 and 0xFF
// both mean region-free, which names none.
bool IsRegionFree(uint32_t mask);
std::vector<int> RegionNumbers(uint32_t mask);

// "Regionalcode frei", or the region numbers joined by ", " ("2, 4").
void AppendRegionText(std::string& out, uint32_t mask);

// "Deutsch in Dolby Digital 5.1".
void AppendLanguageText(std::string& out, std::string_view language, std::string_view detail);

// "[role] name {note}": the name as the line shows it ("A, B [2]"), the note
// the notes joined by ", "; without a note no braces.
void AppendPersonText(std::string& out, std::string_view role, std::string_view name,
                      std::optional<std::string_view> note);

}  // namespace quorvel
