// quorvel-dump: prints what the viewer shows for box files, for scripts and
// for machines without a display.
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/text_util.h"
#include "cli/collection_command.h"
#include "cli/cover_export.h"
#include "cli/csv.h"
#include "cli/dump.h"
#include "cli/output.h"
#include "cli/records_json.h"
#include "cli/safe_text.h"

namespace {

constexpr const char* kUsage =
    "Usage: quorvel-dump [--json | --records | --csv | --raw | --cover DIR] [--lines]\n"
    "                    [--] FILE...\n"
    "Prints what the Quorvel viewer shows for each box FILE: the export summary\n"
    "and the record text. FILE '-' reads one box from standard input.\n"
    "\n"
    "  (no option)  a short summary and the record text per file, UTF-8\n"
    "  --json       one JSON array with an object per file:\n"
    "               {\"file\", \"shown\", \"labels\": {\"type\", \"width\", \"height\",\n"
    "               \"compression\", \"date\", \"time\"}, \"text\"}\n"
    "  --records    one JSON array with the record of each file in typed fields\n"
    "               (below)\n"
    "  --csv        one CSV row per film (RFC 4180, UTF-8, header row); box and\n"
    "               DVD columns repeat on each row, lists are joined by \"; \"\n"
    "  --raw        the record text's bytes exactly (Windows-1252, CR LF); one FILE\n"
    "  --cover DIR  writes each cover as DIR/<box name>.<jpg|bmp|gif>, bytes as\n"
    "               the box holds them; a box without a cover counts as failed\n"
    "  --lines      with --json or --records: one object per line, no array\n"
    "  --help       this text\n"
    "  --version    the version\n"
    "\n"
    "Each file's result is written as soon as it is done. On a terminal, the text\n"
    "and CSV forms show control characters visibly (ESC as ^[, DEL as ^?, C1 as\n"
    "<U+009B>); --json, --records and --raw stay exact.\n"
    "\n"
    "Records: {\"file\", \"shown\", \"error\" (only when not a readable box),\n"
    "  \"exported\" (ISO 8601 or null), \"compression\": {\"cover\", \"data\"},\n"
    "  \"cover\": {\"format\", \"width\", \"height\", \"bytes\"} or null,\n"
    "  \"box\": {\"title\", \"ean\", \"packaging\", \"extra\", \"tags\", \"dvdCount\"},\n"
    "  \"dvds\": [{\"title\", \"regions\", \"regionFree\", \"opt\", \"sn\", \"low\", \"high\",\n"
    "    \"format\", \"extra\", \"year\", \"tags\", \"filmCount\",\n"
    "    \"films\": [{\"title\", \"originalTitle\", \"furtherTitles\", \"fsk\", \"year\",\n"
    "      \"length\", \"pictureFormat\", \"genre\", \"subtitles\",\n"
    "      \"languages\": [{\"language\", \"detail\"}],\n"
    "      \"persons\": [{\"role\", \"name\", \"note\"}], \"tags\"}]}],\n"
    "  \"content\", \"comment\", \"unknownTokens\"}\n"
    "  A field the record does not set is null; the README has the details.\n"
    "\n"
    "Collections:\n"
    "  quorvel-dump --sqlite DB PATH...\n"
    "               indexes the box files of folder trees and files into the SQLite\n"
    "               database DB, reading only what changed; unreadable files are\n"
    "               kept with their reason\n"
    "  quorvel-dump --search QUERY --sqlite DB [--json | --lines]\n"
    "               prints the matching box paths, best first (with --json or\n"
    "               --lines each with its matching films). All words are needed,\n"
    "               the last also as a prefix; \"a phrase\"; person:, titel:,\n"
    "               genre:, sprache:, ean:, jahr:1990-1999, fsk:12\n"
    "\n"
    "Exit status: 0 when every FILE was a readable box file (and, with --cover,\n"
    "had its cover written), 1 when any was not (the others are still done) or\n"
    "writing the output failed, 2 for a usage error.\n";

enum class Mode { kHuman, kJson, kRecords, kCsv, kRaw, kCover };

int UsageError(const std::string& message) {
    std::fprintf(stderr, "quorvel-dump: %s\nTry 'quorvel-dump --help'.\n", message.c_str());
    return 2;
}

// A file name or message for stderr, made visible when stderr is a terminal.
std::string ForStderr(const std::string& text) {
    static const bool terminal = ::isatty(STDERR_FILENO) == 1;
    const std::string utf8 = quorvel::SanitizeUtf8(text);
    return terminal ? quorvel::MakeVisible(utf8) : utf8;
}

void Report(const std::string& file, const std::string& problem) {
    std::fprintf(stderr, "quorvel-dump: %s: %s\n", ForStderr(file).c_str(),
                 ForStderr(problem).c_str());
}

// Makes DIR when it is missing; false (and reported) when covers cannot go there.
bool PrepareCoverFolder(const std::string& dir) {
    if (::mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) {
        Report(dir, std::strerror(errno));
        return false;
    }
    struct stat info {};
    if (::stat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        Report(dir, "not a folder");
        return false;
    }
    return true;
}

// Writes the file's cover into `dir`; false when it was not written.
bool ExportCover(const quorvel::DumpedFile& d, const std::string& dir,
                 std::unordered_set<std::string>& written) {
    if (!d.problem.empty()) {
        return false;  // already reported
    }
    if (!d.cover.present) {
        Report(d.file, "no cover");
        return false;
    }
    if (d.cover.format == nullptr) {
        Report(d.file, "the cover is not a JPEG, BMP or GIF picture");
        return false;
    }
    const std::string name =
        quorvel::CoverStem(d.file) + "." + quorvel::CoverExtension(d.cover.format);
    // Two boxes of one name would overwrite each other's cover.
    if (!written.insert(name).second) {
        Report(d.file, "a cover named " + name + " was already written by this call");
        return false;
    }
    const std::string path = dir + "/" + name;
    const std::string error = quorvel::WriteCoverFile(path, d.cover.content);
    if (!error.empty()) {
        Report(path, error);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (quorvel::IsCollectionCommand(argc, argv)) {
        return quorvel::RunCollectionCommand(argc, argv);
    }
    Mode mode = Mode::kHuman;
    bool lines = false;
    std::string coverDir;
    std::vector<std::string> files;
    bool optionsDone = false;
    const auto choose = [&mode](Mode chosen) {
        if (mode != Mode::kHuman && mode != chosen) {
            return false;
        }
        mode = chosen;
        return true;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsDone || arg.size() < 2 || arg[0] != '-') {
            files.push_back(arg);
            continue;
        }
        bool ok = true;
        if (arg == "--") {
            optionsDone = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--version") {
            std::printf("quorvel-dump %s\n", QUORVEL_VERSION);
            return 0;
        } else if (arg == "--json") {
            ok = choose(Mode::kJson);
        } else if (arg == "--records") {
            ok = choose(Mode::kRecords);
        } else if (arg == "--csv") {
            ok = choose(Mode::kCsv);
        } else if (arg == "--raw") {
            ok = choose(Mode::kRaw);
        } else if (arg == "--lines") {
            lines = true;
        } else if (arg == "--cover") {
            if (i + 1 >= argc) {
                return UsageError("--cover needs a folder");
            }
            ok = choose(Mode::kCover);
            coverDir = argv[++i];
        } else {
            return UsageError("unknown option " + arg);
        }
        if (!ok) {
            return UsageError("--json, --records, --csv, --raw and --cover exclude each other");
        }
    }
    if (files.empty()) {
        return UsageError("no FILE given");
    }
    if (mode == Mode::kRaw && files.size() != 1) {
        return UsageError("--raw takes exactly one FILE");
    }
    if (lines && mode != Mode::kJson && mode != Mode::kRecords) {
        return UsageError("--lines goes with --json or --records");
    }
    if (mode == Mode::kCover && !PrepareCoverFolder(coverDir)) {
        return 1;
    }

    // A closed pipe then shows as EPIPE from write, which ends the run quietly.
    std::signal(SIGPIPE, SIG_IGN);

    // Picture decoders are plugins; an application object lets Qt find them.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QCoreApplication app(qtArgc, qtArgv);

    quorvel::DumpOptions options;
    options.record = mode == Mode::kRecords || mode == Mode::kCsv;
    options.keepCover = mode == Mode::kCover;
    options.recordTextOnly = mode == Mode::kRaw;
    const bool terminal = ::isatty(STDOUT_FILENO) == 1;
    const bool array = !lines && (mode == Mode::kJson || mode == Mode::kRecords);

    quorvel::Output out(STDOUT_FILENO);
    std::string& buffer = out.Buffer();
    if (array) {
        buffer += '[';
    } else if (mode == Mode::kCsv) {
        quorvel::AppendCsvHeader(buffer);
    }
    std::unordered_set<std::string> coversWritten;
    int status = 0;
    for (size_t i = 0; i < files.size() && !out.Failed(); ++i) {
        quorvel::DumpedFile d = quorvel::DumpBoxFile(files[i], options);
        if (!d.problem.empty()) {
            Report(d.file, d.problem);
            status = 1;
        }
        switch (mode) {
            case Mode::kHuman:
                if (i > 0) {
                    buffer += '\n';
                }
                buffer += terminal ? quorvel::MakeVisible(quorvel::FormatHuman(d))
                                   : quorvel::FormatHuman(d);
                break;
            case Mode::kJson:
                if (array && i > 0) {
                    buffer += ", ";
                }
                quorvel::AppendJsonObject(buffer, d);
                break;
            case Mode::kRecords:
                if (array && i > 0) {
                    buffer += ",\n";
                }
                quorvel::AppendRecordJson(buffer, d);
                break;
            case Mode::kCsv:
                quorvel::AppendCsvRows(buffer, d, terminal);
                break;
            case Mode::kRaw:
                // The buffer is empty after each flush: hand it the text.
                if (buffer.empty()) {
                    buffer = std::move(d.recordText);
                } else {
                    buffer += d.recordText;
                }
                break;
            case Mode::kCover:
                if (!ExportCover(d, coverDir, coversWritten)) {
                    status = 1;
                }
                break;
        }
        if (lines) {
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
    return status;
}
