#include "render/value_texts.h"

namespace quorvel {

bool IsRegionFree(uint32_t mask) {
    return (mask & 0xFF) == 0x00 || (mask & 0xFF) == 0xFF;
}

std::vector<int> RegionNumbers(uint32_t mask) {
    std::vector<int> regions;
    if (!IsRegionFree(mask)) {
        for (int region = 1; region <= 8; ++region) {
            if (mask & (1u << (region - 1))) {
                regions.push_back(region);
            }
        }
    }
    return regions;
}

void AppendRegionText(std::string& out, uint32_t mask) {
    if (IsRegionFree(mask)) {
        out += "Regionalcode frei";
        return;
    }
    bool first = true;
    for (const int region : RegionNumbers(mask)) {
        out += first ? "" : ", ";
        out += static_cast<char>('0' + region);
        first = false;
    }
}

void AppendLanguageText(std::string& out, std::string_view language, std::string_view detail) {
    out.append(language).append(" in ").append(detail);
}

void AppendPersonText(std::string& out, std::string_view role, std::string_view name,
                      std::optional<std::string_view> note) {
    out.append("[").append(role).append("] ").append(name);
    if (note) {
        out.append(" {").append(*note).append("}");
    }
}

}  // namespace quorvel
