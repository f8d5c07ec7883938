// quorvel-dump: prints what the viewer shows for box files, for scripts and
// for machines without a display.
#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/dump.h"

namespace {

constexpr const char* kUsage =
    "Usage: quorvel-dump [--json | --raw] [--] FILE...\n"
    "Prints what the Quorvel viewer shows for each box FILE: the export summary\n"
    "and the record text.\n"
    "\n"
    "  (no option)  a short summary and the record text per file, UTF-8\n"
    "  --json       one JSON array with an object per file:\n"
    "               {\"file\", \"shown\", \"labels\": {\"type\", \"width\", \"height\",\n"
    "               \"compression\", \"date\", \"time\"}, \"text\"}\n"
    "  --raw        the record text's bytes exactly (Windows-1252, CR LF); one FILE\n"
    "  --help       this text\n"
    "  --version    the version\n"
    "\n"
    "Exit status: 0 when every FILE was a readable box file, 1 when any was not\n"
    "(the others are still shown), 2 for a usage error.\n";

int UsageError(const char* message) {
    std::fprintf(stderr, "quorvel-dump: %s\nTry 'quorvel-dump --help'.\n", message);
    return 2;
}

void Write(const std::string& bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
    enum class Mode { kHuman, kJson, kRaw } mode = Mode::kHuman;
    std::vector<std::string> files;
    bool optionsDone = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!optionsDone && arg[0] == '-' && arg[1] != '\0') {
            if (std::strcmp(arg, "--") == 0) {
                optionsDone = true;
            } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
                std::fputs(kUsage, stdout);
                return 0;
            } else if (std::strcmp(arg, "--version") == 0) {
                std::printf("quorvel-dump %s\n", QUORVEL_VERSION);
                return 0;
            } else if (std::strcmp(arg, "--json") == 0 || std::strcmp(arg, "--raw") == 0) {
                const Mode chosen = arg[2] == 'j' ? Mode::kJson : Mode::kRaw;
                if (mode != Mode::kHuman && mode != chosen) {
                    return UsageError("--json and --raw exclude each other");
                }
                mode = chosen;
            } else {
                return UsageError((std::string("unknown option ") + arg).c_str());
            }
            continue;
        }
        files.emplace_back(arg);
    }
    if (files.empty()) {
        return UsageError("no FILE given");
    }
    if (mode == Mode::kRaw && files.size() != 1) {
        return UsageError("--raw takes exactly one FILE");
    }

    // Picture decoders are plugins; an application object lets Qt find them.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QCoreApplication app(qtArgc, qtArgv);

    std::vector<quorvel::DumpedFile> dumped;
    int status = 0;
    for (const std::string& file : files) {
        dumped.push_back(quorvel::DumpBoxFile(file, mode == Mode::kRaw));
        if (!dumped.back().problem.empty()) {
            std::fprintf(stderr, "quorvel-dump: %s: %s\n", file.c_str(),
                         dumped.back().problem.c_str());
            status = 1;
        }
        if (mode == Mode::kHuman) {
            if (dumped.size() > 1) {
                Write("\n");
            }
            Write(quorvel::FormatHuman(dumped.back()));
        }
    }
    if (mode == Mode::kJson) {
        Write(quorvel::FormatJson(dumped));
    } else if (mode == Mode::kRaw) {
        Write(dumped.front().recordText);
    }
    return std::fflush(stdout) == 0 ? status : 1;
}
