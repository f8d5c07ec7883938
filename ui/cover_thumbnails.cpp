#include "ui/cover_thumbnails.h"

#include <algorithm>
#include <vector>

#include "app/platform.h"
#include "ui/viewer_resources.h"

namespace quorvel {
namespace {

// Requests beyond the newest this many are rows long scrolled past.
constexpr size_t kMaxPending = 200;
// Covers kept decoded: a few screens of the grid (128 px covers take some
// 50 KiB each).
constexpr size_t kMaxLoaded = 800;

QImage SmallOf(const QImage& large) {
    if (large.isNull()) {
        return {};
    }
    // Fitted into a square, never enlarged.
    const int side =
        std::min(CoverThumbnails::kSmallHeight, std::max(large.width(), large.height()));
    return large.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

CoverThumbnails::CoverThumbnails(std::string cacheRoot, std::string software, QObject* parent)
    : QObject(parent), m_cache(std::move(cacheRoot), std::move(software)) {
    const QImage fallback(
        QStringLiteral(":/res/%1/%2").arg(kDefaultCoverType).arg(IDR_DEFAULT_COVER));
    const QImage large = fallback.isNull() ? QImage()
                                           : fallback.scaled(128, 128, Qt::KeepAspectRatio,
                                                             Qt::SmoothTransformation);
    m_noCoverLarge = QPixmap::fromImage(large);
    m_noCoverSmall = QPixmap::fromImage(SmallOf(large));
    m_worker = std::thread([this] { Work(); });
}

CoverThumbnails::~CoverThumbnails() {
    {
        const std::lock_guard lock(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    m_worker.join();
}

QPixmap CoverThumbnails::Small(int64_t id, const std::string& path) {
    const Loaded* loaded = Find(id, path);
    return loaded != nullptr ? loaded->small : QPixmap();
}

QPixmap CoverThumbnails::Large(int64_t id, const std::string& path) {
    const Loaded* loaded = Find(id, path);
    return loaded != nullptr ? loaded->large : QPixmap();
}

const CoverThumbnails::Loaded* CoverThumbnails::Find(int64_t id, const std::string& path) {
    if (const auto found = m_loaded.find(id); found != m_loaded.end()) {
        found->second.used = ++m_clock;
        return &found->second;
    }
    {
        const std::lock_guard lock(m_lock);
        if (m_asked.insert(id).second) {
            m_pending.emplace_back(id, path);
        } else {
            // Asked again: painted again, so wanted sooner than older requests.
            const auto waiting = std::find_if(m_pending.begin(), m_pending.end(),
                                              [id](const auto& p) { return p.first == id; });
            if (waiting != m_pending.end() && waiting + 1 != m_pending.end()) {
                auto request = std::move(*waiting);
                m_pending.erase(waiting);
                m_pending.push_back(std::move(request));
            }
        }
        while (m_pending.size() > kMaxPending) {
            m_asked.erase(m_pending.front().first);
            m_pending.pop_front();
        }
    }
    m_wake.notify_one();
    return nullptr;
}

void CoverThumbnails::Work() {
    LowerThreadPriority();
    for (;;) {
        std::pair<int64_t, std::string> request;
        {
            std::unique_lock lock(m_lock);
            m_wake.wait(lock, [this] { return m_stop || !m_pending.empty(); });
            if (m_stop) {
                return;
            }
            request = std::move(m_pending.back());
            m_pending.pop_back();
        }
        const auto& [id, path] = request;
        ThumbnailCache::Lookup found = m_cache.Find(path, ThumbnailFlavor::kNormal);
        QImage large;
        if (found.state == ThumbnailCache::State::kValid) {
            large = std::move(found.image);
        } else if (found.state == ThumbnailCache::State::kMissing) {
            large = m_cache.Make(path, ThumbnailFlavor::kNormal);
        }
        const QImage small = SmallOf(large);
        QMetaObject::invokeMethod(
            this, [this, id = id, large, small] { Deliver(id, large, small); },
            Qt::QueuedConnection);
    }
}

void CoverThumbnails::Deliver(int64_t id, const QImage& large, const QImage& small) {
    {
        const std::lock_guard lock(m_lock);
        m_asked.erase(id);
    }
    Loaded& loaded = m_loaded[id];
    loaded.large = large.isNull() ? m_noCoverLarge : QPixmap::fromImage(large);
    loaded.small = small.isNull() ? m_noCoverSmall : QPixmap::fromImage(small);
    loaded.used = ++m_clock;
    if (m_loaded.size() > kMaxLoaded) {
        // The least recently painted quarter goes.
        std::vector<std::pair<uint64_t, int64_t>> byUse;
        byUse.reserve(m_loaded.size());
        for (const auto& [key, entry] : m_loaded) {
            byUse.emplace_back(entry.used, key);
        }
        const auto cut = byUse.begin() + static_cast<std::ptrdiff_t>(kMaxLoaded / 4);
        std::nth_element(byUse.begin(), cut, byUse.end());
        for (auto it = byUse.begin(); it != cut; ++it) {
            m_loaded.erase(it->second);
        }
    }
    emit CoverReady(id);
}

}  // namespace quorvel
