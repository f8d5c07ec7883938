#include "collection/cache_path.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/platform.h"
#include "collection/box_walk.h"

namespace quorvel {

std::string CacheFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    std::string folder =
        cache != nullptr && cache[0] == '/' ? std::string(cache) : HomeFolder() + ".cache";
    AppendSlash(folder);
    return folder + "quorvel/";
}

std::string CacheDatabasePath(const std::string& folder) {
    // FNV-1a over the path's bytes: stable across runs and builds.
    uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : AbsolutePath(folder)) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    char name[64];
    std::snprintf(name, sizeof name, "collection-%016llx.sqlite",
                  static_cast<unsigned long long>(hash));
    return CacheFolder() + name;
}

}  // namespace quorvel
