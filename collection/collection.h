// A whole collection of box files in one database: the layer's public face,
// for the window and the dump tool.
//
//   auto collection = Collection::OpenForFolder(folder);   // the cache file
//   BackgroundUpdate update(*collection, {folder}, onProgress);
//   ... collection->List(), collection->Search("bruckner jahr:1990-1999") ...
//   update.Cancel();  // or let it finish; update.Wait() gives the summary
//
// Reading (List, Search) and one update may run at once from different
// threads: a database file is written through a connection of the update's
// own, and readers see each batch as it is committed (WAL); a collection in
// memory has one connection, so a read waits for the batch being written
// (at most some 0.4 s). A Collection is not copied; every method may be
// called from any thread.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "collection/indexer.h"
#include "collection/listing.h"
#include "collection/search.h"
#include "collection/sqlite_db.h"

namespace quorvel {

class Collection {
public:
    // The window's database for `folder` (cache_path.h). When the cache
    // folder cannot be made or written, the collection lives in memory for
    // this run: InMemory() says so and Notice() says why.
    static std::unique_ptr<Collection> OpenForFolder(const std::string& folder);
    // The database file at `path` (":memory:" for one in memory), created
    // when missing. Throws SqliteError when it cannot be opened at all.
    static std::unique_ptr<Collection> OpenFile(const std::string& path);

    ~Collection();
    Collection(const Collection&) = delete;
    Collection& operator=(const Collection&) = delete;

    const std::string& Path() const { return m_path; }
    bool InMemory() const { return m_path == ":memory:"; }
    // Something the user should be told once, or empty: why the file that
    // was there was rebuilt, or why the collection is held in memory.
    std::string Notice() const;

    // Brings the database up to date with `roots` (folders or files); see
    // indexer.h. Blocks: run it on a thread of its own (BackgroundUpdate).
    // A database found damaged on the way is rebuilt and the run redone.
    IndexSummary Update(const std::vector<std::string>& roots, const IndexOptions& options = {});

    // Every box, by path; or the boxes of these ids (IndexProgress::stored).
    std::vector<BoxRow> List();
    std::vector<BoxRow> List(const std::vector<int64_t>& ids);
    // Boxes in rank order with the films that matched (search.h).
    std::vector<BoxHit> Search(std::string_view query, const SearchOptions& options = {});
    // The films of `hits` (a search's without films) that match `query`.
    void FindMatchedFilms(std::string_view query, std::span<BoxHit> hits);

private:
    Collection(std::string path, std::unique_ptr<Database> db, std::string notice);
    void Reopen(const std::string& reason);

    std::string m_path;
    mutable std::mutex m_lock;  // guards the reading connection and the notice
    std::unique_ptr<Database> m_db;
    std::unique_ptr<QueryTokenizer> m_tokenizer;
    std::string m_notice;
};

// Collection::Update on a thread of its own; the collection must outlive it.
// Progress comes on that thread.
class BackgroundUpdate {
public:
    BackgroundUpdate(Collection& collection, std::vector<std::string> roots,
                     std::function<void(const IndexProgress&)> progress = {});
    // Cancels a run still going and waits for it to stop.
    ~BackgroundUpdate();
    BackgroundUpdate(const BackgroundUpdate&) = delete;
    BackgroundUpdate& operator=(const BackgroundUpdate&) = delete;

    void Cancel() { m_cancel = true; }
    bool Finished() const { return m_finished; }
    // Waits for the end; the summary, or the SqliteError rethrown.
    IndexSummary Wait();

private:
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_finished{false};
    IndexSummary m_summary;
    std::exception_ptr m_error;
    std::thread m_thread;
};

}  // namespace quorvel
