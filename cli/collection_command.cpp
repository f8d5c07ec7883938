#include "cli/collection_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/text_util.h"
#include "cli/json_text.h"
#include "cli/output.h"
#include "cli/safe_text.h"
#include "collection/collection.h"

namespace quorvel {
namespace {

struct CollectionOptions {
    std::string database;
    std::optional<std::string> query;
    bool json = false;
    bool lines = false;
    std::vector<std::string> paths;
};

int Usage(const std::string& message) {
    std::fprintf(stderr, "quorvel-dump: %s\nTry 'quorvel-dump --help'.\n", message.c_str());
    return 2;
}

// "1234 of 5678 files, 312 files/s" on one line of a terminal, redrawn in
// place a few times a second.
class ProgressLine {
public:
    ProgressLine() : m_terminal(::isatty(STDERR_FILENO) == 1), m_start(Clock::now()) {}

    void Show(const IndexProgress& progress, bool last = false) {
        if (!m_terminal) {
            return;
        }
        const auto now = Clock::now();
        if (!last && now - m_shown < std::chrono::milliseconds(200)) {
            return;
        }
        m_shown = now;
        const double seconds = std::chrono::duration<double>(now - m_start).count();
        const double rate = seconds > 0 ? static_cast<double>(progress.done) / seconds : 0;
        std::fprintf(stderr, "\r\033[K%zu of %zu%s files, %.0f files/s", progress.done,
                     progress.found, progress.walking ? "+" : "", rate);
        if (last) {
            std::fputc('\n', stderr);
        }
        std::fflush(stderr);
        m_drawn = true;
    }

    // Clears the line before a message, so the two do not mix.
    void Clear() {
        if (m_terminal && m_drawn) {
            std::fputs("\r\033[K", stderr);
        }
    }

private:
    using Clock = std::chrono::steady_clock;
    bool m_terminal;
    Clock::time_point m_start, m_shown;
    bool m_drawn = false;
};

int Index(const CollectionOptions& options) {
    std::unique_ptr<Collection> collection = Collection::OpenFile(options.database);
    const std::string notice = collection->Notice();
    if (!notice.empty()) {
        ReportProblem(options.database, "rebuilt: " + notice);
    }
    ProgressLine line;
    IndexOptions indexOptions;
    IndexProgress last;
    indexOptions.progress = [&line, &last](const IndexProgress& progress) {
        line.Show(progress);
        last.found = progress.found;
        last.done = progress.done;
    };
    const IndexSummary summary = collection->Update(options.paths, indexOptions);
    last.walking = false;
    line.Show(last, true);
    // Damage found only while writing: rebuilt and run again.
    if (const std::string later = collection->Notice(); later != notice) {
        ReportProblem(options.database, "rebuilt: " + later);
    }
    for (const IndexProblem& problem : summary.problems) {
        ReportProblem(problem.path, problem.reason);
    }
    return summary.problems.empty() ? 0 : 1;
}

void AppendHit(std::string& out, const BoxHit& hit) {
    out += "{\"file\": ";
    AppendJsonString(out, SanitizeUtf8(hit.path));
    out += ", \"title\": ";
    if (hit.title) {
        AppendJsonString(out, *hit.title);
    } else {
        out += "null";
    }
    out += ", \"films\": [";
    for (size_t i = 0; i < hit.films.size(); ++i) {
        const FilmHit& film = hit.films[i];
        out += i > 0 ? ", " : "";
        out += "{\"dvd\": " + std::to_string(film.dvdPosition + 1) +
               ", \"film\": " + std::to_string(film.filmPosition + 1) + ", \"title\": ";
        if (film.title) {
            AppendJsonString(out, *film.title);
        } else {
            out += "null";
        }
        out += ", \"year\": " + (film.year ? std::to_string(*film.year) : std::string("null"));
        out += "}";
    }
    out += "]}";
}

int Search(const CollectionOptions& options) {
    struct stat info {};
    if (options.database != ":memory:" && ::stat(options.database.c_str(), &info) != 0) {
        ReportProblem(options.database, std::strerror(errno));
        return 1;
    }
    std::unique_ptr<Collection> collection = Collection::OpenFile(options.database);
    if (const std::string notice = collection->Notice(); !notice.empty()) {
        ReportProblem(options.database, "rebuilt: " + notice);
    }
    SearchOptions searchOptions;
    searchOptions.films = options.json || options.lines;  // a path per line needs none
    const std::vector<BoxHit> hits = collection->Search(*options.query, searchOptions);
    std::signal(SIGPIPE, SIG_IGN);
    Output out(STDOUT_FILENO);
    std::string& buffer = out.Buffer();
    const bool array = options.json && !options.lines;
    const bool terminal = ::isatty(STDOUT_FILENO) == 1;
    if (array) {
        buffer += '[';
    }
    for (size_t i = 0; i < hits.size() && !out.Failed(); ++i) {
        if (options.json || options.lines) {
            if (array && i > 0) {
                buffer += ",\n";
            }
            AppendHit(buffer, hits[i]);
        } else {
            // The path's bytes as they are, but harmless on a terminal.
            buffer += terminal ? MakeVisible(SanitizeUtf8(hits[i].path)) : hits[i].path;
        }
        if (!array) {
            buffer += '\n';
        }
        out.Flush();
    }
    if (array) {
        buffer += "]\n";
        out.Flush();
    }
    if (out.Failed()) {
        if (!out.ReaderGone()) {
            std::fprintf(stderr, "quorvel-dump: write error: %s\n", std::strerror(out.Error()));
        }
        return 1;
    }
    return 0;
}

}  // namespace

bool IsCollectionCommand(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") {
            return false;
        }
        if (arg == "--sqlite" || arg == "--search") {
            return true;
        }
    }
    return false;
}

int RunCollectionCommand(int argc, char** argv) {
    CollectionOptions options;
    bool optionsDone = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsDone || arg.size() < 2 || arg[0] != '-') {
            options.paths.push_back(arg);
        } else if (arg == "--") {
            optionsDone = true;
        } else if (arg == "--sqlite" || arg == "--search") {
            if (i + 1 >= argc) {
                return Usage(arg + " needs a value");
            }
            (arg == "--sqlite" ? options.database : options.query.emplace()) = argv[++i];
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--lines") {
            options.lines = true;
        } else {
            return Usage(arg + " does not go with --sqlite or --search");
        }
    }
    if (options.database.empty()) {
        return Usage("--search needs --sqlite DB");
    }
    try {
        if (options.query) {
            if (!options.paths.empty()) {
                return Usage("--search takes no PATH: it searches DB as it is");
            }
            return Search(options);
        }
        if (options.json || options.lines) {
            return Usage("--json and --lines go with --search here");
        }
        if (options.paths.empty()) {
            return Usage("--sqlite DB needs a folder or file to index");
        }
        return Index(options);
    } catch (const SqliteError& error) {
        ReportProblem(options.database, error.what());
        return 1;
    }
}

}  // namespace quorvel
