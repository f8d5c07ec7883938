#include "ui/collection_feed.h"

#include <QSocketNotifier>
#include <algorithm>
#include <chrono>

#include "app/platform.h"
#include "collection/box_walk.h"
#include "collection/tree_watcher.h"

namespace quorvel {
namespace {

// Changes come in bursts (a copy of many files); one update follows the
// first after this long.
constexpr int kSettleMs = 250;
// Where the tree cannot be watched, it is looked at this often.
constexpr int kPollMs = 1500;
// A search's films are matched this many boxes at a time (a few ms), so
// a new keystroke is searched soon.
constexpr size_t kFilmsPerPart = 25;
// ... and only once no key came for this long.
constexpr int kFilmsAfterMs = 120;

}  // namespace

const std::vector<BoxHit>* RecentSearches::Find(const std::string& query, uint64_t version) const {
    for (const Entry& entry : m_entries) {
        if (entry.query == query && entry.version == version) {
            return &entry.hits;
        }
    }
    return nullptr;
}

void RecentSearches::Keep(const std::string& query, uint64_t version,
                          const std::vector<BoxHit>& hits) {
    if (m_entries.size() == kKept) {
        m_entries.pop_back();
    }
    m_entries.push_front({query, version, hits});
}

CollectionFeed::CollectionFeed(const std::string& folder, QObject* parent)
    : QObject(parent),
      m_folder(AbsolutePath(folder)),
      m_collection(Collection::OpenForFolder(m_folder)) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &CollectionFeed::Update);
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &CollectionFeed::Update);
    m_searcher = std::thread([this] { SearchLoop(); });
}

CollectionFeed::~CollectionFeed() {
    m_cancel = true;
    if (m_updater.joinable()) {
        m_updater.join();
    }
    {
        const std::lock_guard lock(m_searchLock);
        m_stopSearching = true;
    }
    m_searchWake.notify_all();
    m_searcher.join();
}

void CollectionFeed::Start() {
    m_watching = true;
    Update();
}

void CollectionFeed::Update() {
    if (m_updating) {
        m_again = true;
        return;
    }
    StartUpdate();
}

void CollectionFeed::StartUpdate() {
    if (m_updater.joinable()) {
        m_updater.join();  // ended already: its last word is what called us
    }
    m_updating = true;
    m_again = false;
    const bool makeWatcher = m_watching && !m_watcher;
    m_updater = std::thread([this, makeWatcher] {
        LowerThreadPriority();  // and so its walker and readers
        if (makeWatcher) {
            // Before the walk: whatever changes behind the walk is seen.
            auto watcher = std::make_shared<TreeWatcher>(m_folder);
            QMetaObject::invokeMethod(
                this, [this, watcher] { Watch(watcher); }, Qt::QueuedConnection);
        }
        IndexOptions options;
        options.cancel = &m_cancel;
        options.progress = [this](const IndexProgress& progress) {
            // Read here, on the update's thread: the rows are committed.
            std::vector<BoxRow> stored;
            if (!progress.stored.empty() || !progress.removed.empty()) {
                ++m_indexVersion;  // what was found before may be found no more
            }
            if (!progress.stored.empty()) {
                stored = m_collection->List(progress.stored);
            }
            QMetaObject::invokeMethod(
                this,
                [this, stored = std::move(stored), removed = progress.removed,
                 done = static_cast<qint64>(progress.done),
                 found = static_cast<qint64>(progress.found)] {
                    if (!stored.empty() || !removed.empty()) {
                        emit RowsChanged(stored, removed);
                    }
                    emit Progress(done, found);
                },
                Qt::QueuedConnection);
        };
        IndexSummary summary;
        QString failure;
        try {
            summary = m_collection->Update({m_folder}, options);
        } catch (const std::exception& error) {
            failure = QString::fromUtf8(error.what());
        }
        QMetaObject::invokeMethod(
            this,
            [this, summary = std::move(summary), failure] { OnUpdateFinished(summary, failure); },
            Qt::QueuedConnection);
    });
}

void CollectionFeed::OnUpdateFinished(const IndexSummary& summary, const QString& failure) {
    m_updating = false;
    if (failure.isEmpty()) {
        emit UpdateFinished(summary);
    } else {
        emit UpdateFailed(failure);
    }
    if (m_again) {
        StartUpdate();
    }
}

void CollectionFeed::Watch(std::shared_ptr<TreeWatcher> watcher) {
    m_watcher = std::move(watcher);
    if (m_watcher->Fd() >= 0) {
        m_notifier = new QSocketNotifier(m_watcher->Fd(), QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &CollectionFeed::OnTreeEvents);
    }
    if (!m_watcher->Complete()) {
        m_poll.start();
    }
}

void CollectionFeed::OnTreeEvents() {
    if (m_watcher->ReadChanges() && !m_settle.isActive()) {
        m_settle.start();
    }
    if (!m_watcher->Complete() && !m_poll.isActive()) {
        m_poll.start();
    }
}

void CollectionFeed::Search(const QString& query) {
    {
        const std::lock_guard lock(m_searchLock);
        m_nextQuery = query.toStdString();
        ++m_searchGeneration;
    }
    m_searchWake.notify_one();
}

void CollectionFeed::SearchLoop() {
    for (;;) {
        std::string query;
        uint64_t generation = 0;
        {
            std::unique_lock lock(m_searchLock);
            m_searchWake.wait(lock, [this] { return m_stopSearching || m_nextQuery.has_value(); });
            if (m_stopSearching) {
                return;
            }
            query = std::move(*m_nextQuery);
            m_nextQuery.reset();
            generation = m_searchGeneration;
        }
        // The boxes first, at once; their films after, a part at a time,
        // given up when the user typed on.
        std::vector<BoxHit> hits;
        const QString shownQuery = QString::fromStdString(query);
        const uint64_t version = m_indexVersion;
        if (const std::vector<BoxHit>* known = m_recent.Find(query, version)) {
            hits = *known;
        } else {
            try {
                SearchOptions boxesOnly;
                boxesOnly.films = false;
                boxesOnly.pathAndTitle = false;  // the window has the rows
                hits = m_collection->Search(query, boxesOnly);
                m_recent.Keep(query, version, hits);
            } catch (const std::exception&) {
                // A database being rebuilt under the search: the next
                // keystroke or update searches again.
            }
        }
        QMetaObject::invokeMethod(
            this,
            [this, generation, shownQuery, hits] {
                if (NewestSearch(generation)) {
                    emit Searched(shownQuery, hits);
                }
            },
            Qt::QueuedConnection);
        {
            // While keys come fast, every search is the boxes alone.
            std::unique_lock lock(m_searchLock);
            m_searchWake.wait_for(lock, std::chrono::milliseconds(kFilmsAfterMs),
                                  [this] { return m_stopSearching || m_nextQuery.has_value(); });
        }
        for (size_t first = 0; first < hits.size() && NewestSearch(generation);
             first += kFilmsPerPart) {
            std::vector<BoxHit> part(hits.begin() + static_cast<std::ptrdiff_t>(first),
                                     hits.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                        hits.size(), first + kFilmsPerPart)));
            try {
                m_collection->FindMatchedFilms(query, part);
            } catch (const std::exception&) {
                break;
            }
            QMetaObject::invokeMethod(
                this,
                [this, generation, shownQuery, part = std::move(part)] {
                    if (NewestSearch(generation)) {
                        emit FilmsMatched(shownQuery, part);
                    }
                },
                Qt::QueuedConnection);
        }
    }
}

bool CollectionFeed::NewestSearch(uint64_t generation) {
    const std::lock_guard lock(m_searchLock);
    return generation == m_searchGeneration;
}

}  // namespace quorvel
