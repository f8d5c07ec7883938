// Where the window keeps a collection's database: one file per collection
// folder under $XDG_CACHE_HOME/quorvel/ (else ~/.cache/quorvel/). It holds
// nothing that the box files do not: deleting it costs one full index run.
#pragma once

#include <string>

namespace quorvel {

// $XDG_CACHE_HOME/quorvel/ when that variable holds an absolute path, else
// ~/.cache/quorvel/; ends in '/'.
std::string CacheFolder();

// The database file for the collection in `folder` (made absolute first):
// "collection-<16 hex digits of a hash of the path>.sqlite" in CacheFolder().
std::string CacheDatabasePath(const std::string& folder);

}  // namespace quorvel
