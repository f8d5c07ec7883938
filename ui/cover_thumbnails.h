// The covers of the collection window's rows, from the desktop's shared
// thumbnail cache (picture/thumbnail_cache.h): read there, or made there by
// the thumbnailer's code when missing, damaged or stale, on a thread of its
// own. Only what the views paint is asked for; the newest request is served
// first, and one that waited while many newer came (rows scrolled past) is
// dropped. A box without a usable cover shows the viewer's default cover.
#pragma once

#include <QImage>
#include <QObject>
#include <QPixmap>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "picture/thumbnail_cache.h"

namespace quorvel {

class CoverThumbnails : public QObject {
    Q_OBJECT
public:
    // The row icon's height; the grid shows the cache's normal size (128).
    static constexpr int kSmallHeight = 40;

    // `cache` is the thumbnail cache's root (ThumbnailCache::DefaultRoot()).
    CoverThumbnails(std::string cacheRoot, std::string software, QObject* parent = nullptr);
    ~CoverThumbnails() override;

    // The cover of box `id` at `path` (absolute) for a row or for the grid;
    // a null pixmap while it is being fetched, and CoverReady(id) follows.
    QPixmap Small(int64_t id, const std::string& path);
    QPixmap Large(int64_t id, const std::string& path);

signals:
    void CoverReady(int64_t id);

private:
    struct Loaded {
        QPixmap small, large;
        uint64_t used = 0;
    };
    const Loaded* Find(int64_t id, const std::string& path);
    void Work();
    void Deliver(int64_t id, const QImage& large, const QImage& small);

    const ThumbnailCache m_cache;
    QPixmap m_noCoverSmall, m_noCoverLarge;
    // The GUI thread's own.
    std::unordered_map<int64_t, Loaded> m_loaded;
    uint64_t m_clock = 0;
    // Shared with the worker.
    std::mutex m_lock;
    std::unordered_set<int64_t> m_asked;  // requested, not yet delivered
    std::condition_variable m_wake;
    std::deque<std::pair<int64_t, std::string>> m_pending;  // newest last
    bool m_stop = false;
    std::thread m_worker;
};

}  // namespace quorvel
