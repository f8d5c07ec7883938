// What the viewer shows of a box, as a user reads it: the labels and the
// record text in UTF-8. The window and the dump tool both start from here,
// so they cannot come to differ.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "boxfile/box_display.h"

namespace quorvel {

// A label text (Windows-1252, '&&' for a shown '&') as the screen shows it,
// in UTF-8.
std::string LabelAsShown(std::string_view cp1252);

// The display's texts in UTF-8. An empty optional leaves that label as it
// was; the record text keeps its CR LF line ends as stored.
struct ShownText {
    std::optional<std::string> type;
    std::optional<std::string> width;
    std::optional<std::string> height;
    std::optional<std::string> compression;
    std::optional<std::string> date;
    std::optional<std::string> time;
    std::string recordText;
};

ShownText TextAsShown(const BoxDisplay& display);

}  // namespace quorvel
