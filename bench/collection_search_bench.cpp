// Times the collection search on a database: every query of a file, once to
// warm the page cache, then once measured. Prints the median, 90th
// percentile and slowest time in ms, the hits found, and the time the
// listing of every box takes, as JSON.
//   build-bench/bench/collection_search_bench DB QUERIES.txt [LIMIT]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "collection/collection.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s DB QUERIES.txt [LIMIT]\n", argv[0]);
        return 2;
    }
    const auto collection = quorvel::Collection::OpenFile(argv[1]);
    quorvel::SearchOptions options;
    options.limit = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 0;
    std::vector<std::string> queries;
    std::ifstream in(argv[2]);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            queries.push_back(line);
        }
    }
    for (const std::string& query : queries) {
        collection->Search(query, options);
    }
    std::vector<double> times;
    size_t hits = 0, films = 0;
    std::string slowest;
    for (const std::string& query : queries) {
        const auto start = std::chrono::steady_clock::now();
        const std::vector<quorvel::BoxHit> found = collection->Search(query, options);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        if (times.empty() || ms > *std::max_element(times.begin(), times.end())) {
            slowest = query;
        }
        times.push_back(ms);
        hits += found.size();
        for (const quorvel::BoxHit& hit : found) {
            films += hit.films.size();
        }
    }
    // The window's list of every box, timed the same way.
    const auto listStart = std::chrono::steady_clock::now();
    const size_t listed = collection->List().size();
    const double listMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - listStart)
            .count();
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    const auto at = [&sorted](double q) {
        return sorted[std::min(sorted.size() - 1, static_cast<size_t>(q * sorted.size()))];
    };
    std::printf(
        "{\"queries\": %zu, \"median_ms\": %.2f, \"p90_ms\": %.2f, \"max_ms\": %.2f, "
        "\"slowest\": \"%s\", \"boxes_found\": %zu, \"films_found\": %zu, \"listed\": %zu, "
        "\"list_ms\": %.1f}\n",
        sorted.size(), at(0.5), at(0.9), sorted.back(), slowest.c_str(), hits, films, listed,
        listMs);
    return 0;
}
