#include "collection/indexer.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>
#include <unordered_map>

#include "collection/box_store.h"
#include "collection/box_walk.h"
#include "collection/work_queue.h"

namespace quorvel {
namespace {

using Clock = std::chrono::steady_clock;

// A batch is committed after this many boxes or this long, whichever comes
// first: few transactions, and rows appear in a window soon.
constexpr size_t kBatchBoxes = 256;
constexpr auto kBatchTime = std::chrono::milliseconds(400);
// Read boxes waiting for the writer, per worker: bounds memory.
constexpr size_t kResultsPerWorker = 8;

bool Under(const std::string& path, const std::string& folder) {
    if (path == folder) {
        return true;
    }
    const std::string prefix = folder == "/" ? folder : folder + "/";
    return path.compare(0, prefix.size(), prefix) == 0;
}

// Everything the threads share. The walker owns `stored`'s seen flags until
// it ends; the writer reads them only after joining it.
struct Run {
    std::unordered_map<std::string, StoredBox> stored;
    WorkQueue<std::string> paths;
    std::unique_ptr<WorkQueue<BoxRows>> results;
    std::atomic<size_t> found{0};
    std::atomic<size_t> unchanged{0};
    std::atomic<bool> walking{true};
    std::atomic<bool> stop{false};
    std::mutex problemsLock;
    std::vector<IndexProblem> walkProblems;       // folders, roots, unchanged unreadable boxes
    std::vector<IndexProblem> unreadableFolders;  // boxes under these are kept
};

void Walk(Run& run, const std::vector<std::string>& roots, const std::atomic<bool>* cancel) {
    WalkCallbacks callbacks;
    callbacks.found = [&run](FoundBox&& box) {
        run.found.fetch_add(1, std::memory_order_relaxed);
        const auto known = run.stored.find(box.path);
        if (known != run.stored.end()) {
            known->second.seen = true;
            if (known->second.stamp == box.stamp) {
                if (known->second.reason) {
                    const std::lock_guard lock(run.problemsLock);
                    run.walkProblems.push_back({box.path, *known->second.reason});
                }
                run.unchanged.fetch_add(1, std::memory_order_relaxed);
                return;
            }
        }
        run.paths.Push(std::move(box.path));
    };
    for (const std::string& root : roots) {
        callbacks.problem = [&run, &root](const std::string& path, const std::string& reason) {
            const std::lock_guard lock(run.problemsLock);
            run.walkProblems.push_back({path, reason});
            // A named root that is not there is gone, with all it held; an
            // unreadable folder keeps what was stored under it.
            if (path != root || reason != std::strerror(ENOENT)) {
                run.unreadableFolders.push_back({path, reason});
            }
        };
        WalkBoxFiles(root, callbacks, &run.stop);
        if (run.stop || (cancel != nullptr && *cancel)) {
            break;
        }
    }
    run.walking = false;
    run.paths.Close();
}

void Read(Run& run) {
    while (std::optional<std::string> path = run.paths.Pop()) {
        if (run.stop) {
            break;
        }
        // The rows are made here, on the reading threads, not by the writer.
        if (!run.results->Push(MakeBoxRows(ReadBoxForIndex(*path)))) {
            break;
        }
    }
}

// Joins the threads however the writer leaves, an exception included.
class Threads {
public:
    explicit Threads(Run& run) : m_run(run) {}
    ~Threads() {
        m_run.stop = true;
        m_run.paths.Close();
        m_run.results->Close();
        JoinAll();
    }
    void Add(std::thread thread) { m_threads.push_back(std::move(thread)); }
    void JoinAll() {
        for (std::thread& thread : m_threads) {
            if (thread.joinable()) {
                thread.join();
            }
        }
    }

private:
    Run& m_run;
    std::vector<std::thread> m_threads;
};

}  // namespace

IndexSummary UpdateIndex(Database& db, const std::vector<std::string>& givenRoots,
                         const IndexOptions& options, std::mutex* dbLock) {
    std::vector<std::string> roots;
    for (const std::string& root : givenRoots) {
        roots.push_back(AbsolutePath(root));
    }
    const auto locked = [dbLock] {
        return dbLock != nullptr ? std::unique_lock(*dbLock) : std::unique_lock<std::mutex>();
    };
    const auto cancelled = [&options] {
        return options.cancel != nullptr && options.cancel->load();
    };

    Run run;
    {
        const auto lock = locked();
        run.stored = LoadStoredBoxes(db);
    }
    const unsigned workers =
        options.workers != 0 ? options.workers : std::max(1u, std::thread::hardware_concurrency());
    run.results = std::make_unique<WorkQueue<BoxRows>>(workers * kResultsPerWorker);

    IndexSummary summary;
    IndexProgress progress;
    Threads threads(run);
    threads.Add(std::thread(Walk, std::ref(run), std::cref(roots), options.cancel));
    std::atomic<unsigned> readersLeft{workers};
    for (unsigned i = 0; i < workers; ++i) {
        threads.Add(std::thread([&run, &readersLeft] {
            Read(run);
            if (readersLeft.fetch_sub(1) == 1) {
                run.results->Close();
            }
        }));
    }

    std::vector<IndexProblem> readProblems;
    const auto report = [&] {
        if (options.progress) {
            progress.found = run.found;
            progress.done = run.unchanged + summary.read;
            progress.walking = run.walking;
            options.progress(progress);
        }
        progress.stored.clear();
        progress.removed.clear();
    };

    {
        std::optional<BoxStore> store;
        std::unique_lock<std::mutex> lock;
        std::optional<Transaction> transaction;
        Clock::time_point batchStart;
        size_t batchSize = 0;
        const auto commit = [&] {
            if (transaction) {
                transaction->Commit();
                transaction.reset();
                lock = std::unique_lock<std::mutex>();
                batchSize = 0;
            }
            report();
        };
        for (;;) {
            if (cancelled()) {
                // Readers waiting to hand over a box must not wait forever.
                run.stop = true;
                run.paths.Close();
                run.results->Close();
                summary.cancelled = true;
                break;
            }
            bool finished = false;
            std::optional<BoxRows> box = run.results->PopFor(kBatchTime / 4, finished);
            if (box) {
                if (!transaction) {
                    lock = locked();
                    if (!store) {
                        store.emplace(db);
                    }
                    transaction.emplace(db);
                    batchStart = Clock::now();
                }
                progress.stored.push_back(store->Put(*box));
                ++summary.read;
                ++batchSize;
                if (box->reason) {
                    readProblems.push_back({box->path, *box->reason});
                }
            }
            if (finished) {
                break;
            }
            if (transaction ? batchSize >= kBatchBoxes || Clock::now() - batchStart >= kBatchTime
                            : !box) {
                commit();
            }
        }
        commit();
    }
    threads.JoinAll();

    summary.found = run.found;
    summary.unchanged = run.unchanged;
    if (!summary.cancelled && !cancelled()) {
        const auto lock = locked();
        BoxStore store(db);
        Transaction transaction(db);
        for (const auto& [path, box] : run.stored) {
            if (box.seen) {
                continue;
            }
            bool inScope = false;
            for (const std::string& root : roots) {
                inScope = inScope || Under(path, root);
            }
            for (const IndexProblem& folder : run.unreadableFolders) {
                inScope = inScope && !Under(path, folder.path);
            }
            if (inScope) {
                store.Remove(box.id);
                progress.removed.push_back(box.id);
                ++summary.removed;
            }
        }
        for (const std::string& root : roots) {
            store.ClearFolderProblems(root);
        }
        for (const IndexProblem& folder : run.unreadableFolders) {
            store.AddFolderProblem(folder.path, folder.reason);
        }
        transaction.Commit();
        report();
    } else {
        summary.cancelled = true;
    }
    summary.problems = std::move(run.walkProblems);
    summary.problems.insert(summary.problems.end(), readProblems.begin(), readProblems.end());
    return summary;
}

}  // namespace quorvel
