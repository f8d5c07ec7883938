#include "ui/collection_feed.h"

#include <QSocketNotifier>
#include <algorithm>

#include "collection/box_walk.h"
#include "collection/tree_watcher.h"

namespace quorvel {
namespace {

// Changes come in bursts (a copy of many files); one update follows the
// first after this long.
constexpr int kSettleMs = 250;
// Where the tree cannot be watched, it is looked at this often.
constexpr int kPollMs = 1500;
// A search's films are matched this many boxes at a time (some 2 ms), so
// a new keystroke is searched soon.
constexpr size_t kFilmsPerPart = 100;

}  // namespace

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
        try {
            SearchOptions boxesOnly;
            boxesOnly.films = false;
            hits = m_collection->Search(query, boxesOnly);
        } catch (const std::exception&) {
            // A database being rebuilt under the search: the next keystroke
            // or update searches again.
        }
        QMetaObject::invokeMethod(
            this,
            [this, generation, shownQuery, hits] {
                if (NewestSearch(generation)) {
                    emit Searched(shownQuery, hits);
                }
            },
            Qt::QueuedConnection);
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
