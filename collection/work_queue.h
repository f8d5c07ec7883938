// A queue between threads: producers Push until Close, consumers Pop until
// it is closed and empty. A capacity bounds what waits in it, so a fast
// producer cannot fill memory ahead of a slow consumer.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace quorvel {

template <typename T>
class WorkQueue {
public:
    explicit WorkQueue(size_t capacity = 0) : m_capacity(capacity) {}

    // False when the queue was closed first (the item is dropped).
    bool Push(T item) {
        std::unique_lock lock(m_mutex);
        m_notFull.wait(
            lock, [this] { return m_closed || m_capacity == 0 || m_items.size() < m_capacity; });
        if (m_closed) {
            return false;
        }
        m_items.push_back(std::move(item));
        m_notEmpty.notify_one();
        return true;
    }

    // The next item; none once closed and drained.
    std::optional<T> Pop() {
        std::unique_lock lock(m_mutex);
        m_notEmpty.wait(lock, [this] { return m_closed || !m_items.empty(); });
        return TakeLocked();
    }

    // As Pop, but gives up after `wait`; `finished` tells closed-and-drained
    // from a time-out.
    std::optional<T> PopFor(std::chrono::milliseconds wait, bool& finished) {
        std::unique_lock lock(m_mutex);
        m_notEmpty.wait_for(lock, wait, [this] { return m_closed || !m_items.empty(); });
        finished = m_closed && m_items.empty();
        return TakeLocked();
    }

    // No more items will come; waiting consumers see the end once drained.
    void Close() {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
        m_notEmpty.notify_all();
        m_notFull.notify_all();
    }

private:
    std::optional<T> TakeLocked() {
        if (m_items.empty()) {
            return std::nullopt;
        }
        T item = std::move(m_items.front());
        m_items.pop_front();
        m_notFull.notify_one();
        return item;
    }

    std::mutex m_mutex;
    std::condition_variable m_notEmpty, m_notFull;
    std::deque<T> m_items;
    size_t m_capacity;
    bool m_closed = false;
};

}  // namespace quorvel
