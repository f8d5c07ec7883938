#include "boxfile/shown_text.h"

#include "app/text_util.h"

namespace quorvel {

std::string LabelAsShown(std::string_view cp1252) {
    return Cp1252ToUtf8(ApplyMnemonicRule(cp1252));
}

}  // namespace quorvel
