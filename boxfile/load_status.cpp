#include "boxfile/load_status.h"

#include <cstring>

#include "app/limits.h"

namespace quorvel {

std::string LoadReason(const LoadResult& result) {
    std::string reason;
    switch (result.status) {
        case LoadStatus::kLoaded:
            return {};
        case LoadStatus::kNotLoaded:
            reason = "not loaded";
            break;
        case LoadStatus::kNotFound:
            reason = "not found";
            break;
        case LoadStatus::kNotRegularFile:
            reason = "not a regular file";
            break;
        case LoadStatus::kNotReadable:
            reason = "not readable";
            break;
        case LoadStatus::kTooShort:
            reason = "too short for the 64-byte header";
            break;
        case LoadStatus::kTooLarge:
            reason = "too large for a box file (over " + std::to_string(kMaxBoxFileBytes >> 20) +
                     " MiB)";
            break;
        case LoadStatus::kWrongMagic:
            reason = "not a box file of data model 4.0 (wrong magic)";
            break;
        case LoadStatus::kReadError:
            reason = "read error";
            break;
    }
    if (result.error != 0) {
        reason += ": ";
        reason += std::strerror(result.error);
    }
    return reason;
}

}  // namespace quorvel
