// What the viewer shows of a box, as a user reads it: the label texts in
// UTF-8. The window and the dump tool both start from here, so they cannot
// come to differ.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// A label text (Windows-1252, '&&' for a shown '&') as the screen shows it,
// in UTF-8.
std::string LabelAsShown(std::string_view cp1252);

}  // namespace quorvel
