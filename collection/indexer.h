// Bringing the database up to date with folder trees: box files are found,
// the changed ones read and walked on a worker per core, and one writer
// (the calling thread) stores them in batched transactions. A box whose
// size, modification time and inode are as stored is not read again; a box
// that is gone is dropped; one that cannot be read is kept with its reason.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "collection/sqlite_db.h"

namespace quorvel {

struct IndexProgress {
    size_t found = 0;     // box files found so far
    size_t done = 0;      // of those, stored or found unchanged
    bool walking = true;  // still looking: `found` may grow
    // Boxes stored and dropped since the last report, committed already,
    // so a reader sees them now.
    std::vector<int64_t> stored;
    std::vector<int64_t> removed;
};

struct IndexOptions {
    // Called on the writer's thread after every batch and a few times a
    // second while nothing is stored (a window passes it on to its own thread).
    std::function<void(const IndexProgress&)> progress;
    // Set from any thread to stop soon: what was stored stays, nothing is
    // dropped, the next run goes on from there.
    const std::atomic<bool>* cancel = nullptr;
    unsigned workers = 0;  // readers; 0 for one per core
};

struct IndexProblem {
    std::string path;
    std::string reason;
};

struct IndexSummary {
    size_t found = 0;      // box files found
    size_t read = 0;       // read and stored in this run
    size_t unchanged = 0;  // not read: as stored
    size_t removed = 0;    // dropped: gone from disk
    // Box files and folders that could not be read, with the reason.
    std::vector<IndexProblem> problems;
    bool cancelled = false;
};

// Updates `db` for the folders and files `roots` (made absolute). `dbLock`,
// when given, is held around each of the writer's transactions, for a
// connection shared with readers (a database in memory).
IndexSummary UpdateIndex(Database& db, const std::vector<std::string>& roots,
                         const IndexOptions& options = {}, std::mutex* dbLock = nullptr);

}  // namespace quorvel
