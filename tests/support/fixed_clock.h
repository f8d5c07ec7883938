// The clock every log test writes with: 05.03.2024 07:08:09.
#pragma once

#include <ctime>

namespace quorvel::testing {

inline std::tm FixedTime() {
    std::tm t{};
    t.tm_mday = 5;
    t.tm_mon = 2;
    t.tm_year = 124;
    t.tm_hour = 7;
    t.tm_min = 8;
    t.tm_sec = 9;
    return t;
}
// A log line's prefix at that time.
inline constexpr const char* kFixedPrefix = "<05.03.2024 07:08:09>: ";

}  // namespace quorvel::testing
