#include "collection/collection.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "app/platform.h"
#include "collection/cache_path.h"
#include "collection/schema.h"

namespace quorvel {

Collection::Collection(std::string path, std::unique_ptr<Database> db, std::string notice)
    : m_path(std::move(path)),
      m_db(std::move(db)),
      m_tokenizer(std::make_unique<QueryTokenizer>(*m_db)),
      m_notice(std::move(notice)) {}

Collection::~Collection() = default;

std::unique_ptr<Collection> Collection::OpenFile(const std::string& path) {
    OpenedDatabase opened = OpenCollectionDatabase(path);
    return std::unique_ptr<Collection>(
        new Collection(path, std::move(opened.db), std::move(opened.rebuilt)));
}

std::unique_ptr<Collection> Collection::OpenForFolder(const std::string& folder) {
    const std::string cache = CacheFolder();
    std::string why;
    const int made = CreateFolderChain(cache);
    if (made != 0 && made != EEXIST) {
        why = cache + ": " + std::strerror(made);
    } else if (::access(cache.c_str(), W_OK | X_OK) != 0) {
        why = cache + ": " + std::strerror(errno);
    } else {
        try {
            return OpenFile(CacheDatabasePath(folder));
        } catch (const SqliteError& error) {
            why = error.what();
        }
    }
    std::unique_ptr<Collection> memory = OpenFile(":memory:");
    memory->m_notice = "the index is kept in memory: " + why;
    return memory;
}

std::string Collection::Notice() const {
    const std::lock_guard lock(m_lock);
    return m_notice;
}

void Collection::Reopen(const std::string& reason) {
    const std::lock_guard lock(m_lock);
    m_tokenizer.reset();
    m_db.reset();
    OpenedDatabase opened = RebuildCollectionDatabase(m_path, reason);
    m_db = std::move(opened.db);
    m_tokenizer = std::make_unique<QueryTokenizer>(*m_db);
    m_notice = std::move(opened.rebuilt);
}

IndexSummary Collection::Update(const std::vector<std::string>& roots,
                                const IndexOptions& options) {
    if (InMemory()) {
        return UpdateIndex(*m_db, roots, options, &m_lock);
    }
    for (int attempt = 0;; ++attempt) {
        try {
            OpenedDatabase writer = OpenCollectionDatabase(m_path);
            return UpdateIndex(*writer.db, roots, options);
        } catch (const SqliteError& error) {
            // Damage that only showed in the middle: start again from nothing.
            if (!error.Damaged() || attempt > 0) {
                throw;
            }
            Reopen(error.what());
        }
    }
}

std::vector<BoxRow> Collection::List() {
    const std::lock_guard lock(m_lock);
    return ListBoxes(*m_db);
}

std::vector<BoxRow> Collection::List(const std::vector<int64_t>& ids) {
    const std::lock_guard lock(m_lock);
    return ListBoxes(*m_db, ids);
}

void Collection::FindMatchedFilms(std::string_view query, std::span<BoxHit> hits) {
    const std::lock_guard lock(m_lock);
    quorvel::FindMatchedFilms(*m_db, *m_tokenizer, query, hits);
}

std::vector<BoxHit> Collection::Search(std::string_view query, const SearchOptions& options) {
    const std::lock_guard lock(m_lock);
    return SearchBoxes(*m_db, *m_tokenizer, query, options);
}

BackgroundUpdate::BackgroundUpdate(Collection& collection, std::vector<std::string> roots,
                                   std::function<void(const IndexProgress&)> progress)
    : m_thread([this, &collection, roots = std::move(roots), progress = std::move(progress)] {
          try {
              IndexOptions options;
              options.progress = progress;
              options.cancel = &m_cancel;
              m_summary = collection.Update(roots, options);
          } catch (...) {
              m_error = std::current_exception();
          }
          m_finished = true;
      }) {}

BackgroundUpdate::~BackgroundUpdate() {
    Cancel();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

IndexSummary BackgroundUpdate::Wait() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
    if (m_error) {
        std::rethrow_exception(m_error);
    }
    return m_summary;
}

}  // namespace quorvel
