#include "boxfile/shown_text.h"

#include "app/text_util.h"

namespace quorvel {
namespace {

std::optional<std::string> ShownLabel(const std::optional<std::string>& cp1252) {
    if (!cp1252) {
        return std::nullopt;
    }
    return LabelAsShown(std::string_view(*cp1252));
}

}  // namespace

std::string LabelAsShown(std::string_view cp1252) {
    return Cp1252ToUtf8(ApplyMnemonicRule(cp1252));
}

ShownText TextAsShown(const BoxDisplay& display) {
    ShownText shown;
    shown.type = ShownLabel(display.type);
    shown.width = ShownLabel(display.width);
    shown.height = ShownLabel(display.height);
    shown.compression = ShownLabel(display.compression);
    shown.date = ShownLabel(display.date);
    shown.time = ShownLabel(display.time);
    shown.recordText = Cp1252ToUtf8(display.text);
    return shown;
}

}  // namespace quorvel
