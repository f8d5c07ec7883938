// The collection window's side of the index: the database of one folder,
// its updates on a thread of their own, searches on another (the newest
// query wins; an older one still running is answered but not told), and
// the folder tree watched, so the index follows what happens on disk: a
// change starts an update a moment later. Everything it tells arrives as
// signals on the thread that made it, the window's.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "collection/collection.h"

class QSocketNotifier;

namespace quorvel {

class TreeWatcher;

// The boxes of the last few searches while the index stays as it was: a
// user types the same beginnings again and again.
class RecentSearches {
public:
    const std::vector<BoxHit>* Find(const std::string& query, uint64_t version) const;
    void Keep(const std::string& query, uint64_t version, const std::vector<BoxHit>& hits);

private:
    static constexpr size_t kKept = 32;
    struct Entry {
        std::string query;
        uint64_t version;
        std::vector<BoxHit> hits;
    };
    std::deque<Entry> m_entries;  // newest first
};

class CollectionFeed : public QObject {
    Q_OBJECT
public:
    // Opens the database of `folder` (in the cache; in memory when that
    // cannot be written). Nothing runs before Start.
    explicit CollectionFeed(const std::string& folder, QObject* parent = nullptr);
    ~CollectionFeed() override;

    // The folder, absolute.
    const std::string& Folder() const { return m_folder; }
    Collection& Index() { return *m_collection; }

    // Every box the index holds now, read at once.
    std::vector<BoxRow> ListNow() { return m_collection->List(); }

    // Starts watching the tree and a first update.
    void Start();
    // Brings the index up to date: now, or after the update that is running.
    void Update();
    bool Updating() const { return m_updating; }
    // Searches `query` (empty: nothing is searched). Searched follows with
    // the boxes, then FilmsMatched with their matching films, a part at a
    // time; neither when a newer Search came first.
    void Search(const QString& query);

signals:
    // Boxes stored (new or again) and dropped, committed already.
    void RowsChanged(const std::vector<BoxRow>& stored, const std::vector<int64_t>& removed);
    void Progress(qint64 done, qint64 found);
    void UpdateFinished(const IndexSummary& summary);
    void UpdateFailed(const QString& why);
    void Searched(const QString& query, const std::vector<BoxHit>& hits);
    void FilmsMatched(const QString& query, const std::vector<BoxHit>& hits);

private:
    void StartUpdate();
    void OnUpdateFinished(const IndexSummary& summary, const QString& failure);
    void Watch(std::shared_ptr<TreeWatcher> watcher);
    void OnTreeEvents();
    void SearchLoop();
    bool NewestSearch(uint64_t generation);

    std::string m_folder;
    std::unique_ptr<Collection> m_collection;

    // The update's thread; joined before the next one starts.
    std::thread m_updater;
    std::atomic<bool> m_cancel{false};
    bool m_updating = false;
    bool m_again = false;  // asked for while one was running
    bool m_watching = false;

    std::shared_ptr<TreeWatcher> m_watcher;
    QSocketNotifier* m_notifier = nullptr;  // children of the feed
    QTimer m_settle;                        // a burst of changes starts one update
    QTimer m_poll;                          // where the tree could not be watched

    // The search thread and its one waiting query.
    std::mutex m_searchLock;
    std::condition_variable m_searchWake;
    std::optional<std::string> m_nextQuery;
    uint64_t m_searchGeneration = 0;          // of the newest query, under the lock
    std::atomic<uint64_t> m_indexVersion{0};  // counts the index's changes
    RecentSearches m_recent;                  // the search thread's own
    bool m_stopSearching = false;
    std::thread m_searcher;
};

}  // namespace quorvel
