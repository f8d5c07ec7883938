// quorvel-dump: prints what the viewer shows for box files, for scripts and
// for machines without a display.
#include <unistd.h>

#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "cli/collection_command.h"
#include "cli/dump_args.h"
#include "cli/output.h"
#include "cli/safe_text.h"

int main(int argc, char** argv) {
    if (quorvel::IsCollectionCommand(argc, argv)) {
        return quorvel::RunCollectionCommand(argc, argv);
    }
    const std::vector<const char*> arguments(argv + 1, argv + argc);
    const auto parsed = quorvel::ParseDumpArgs(arguments);
    if (const int* status = std::get_if<int>(&parsed)) {
        return *status;
    }
    const quorvel::DumpArgs& args = std::get<quorvel::DumpArgs>(parsed);

    // A closed pipe then shows as EPIPE from write, which ends the run quietly.
    std::signal(SIGPIPE, SIG_IGN);

    // Picture decoders are plugins; an application object lets Qt find them.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QCoreApplication app(qtArgc, qtArgv);

    quorvel::Output out(STDOUT_FILENO);
    const std::unique_ptr<quorvel::DumpWriter> writer =
        args.form->make({out, args.lines, ::isatty(STDOUT_FILENO) == 1, args.argument});
    if (!writer->Begin()) {
        return 1;
    }
    int status = 0;
    for (size_t i = 0; i < args.files.size() && !out.Failed(); ++i) {
        quorvel::DumpedFile d = quorvel::DumpBoxFile(args.files[i], args.form->dump);
        if (!d.problem.empty()) {
            quorvel::ReportProblem(d.file, d.problem);
            status = 1;
        }
        if (!writer->File(d)) {
            status = 1;
        }
        out.Flush();
    }
    writer->End();
    out.Flush();
    if (out.Failed()) {
        if (!out.ReaderGone()) {
            std::fprintf(stderr, "quorvel-dump: write error: %s\n", std::strerror(out.Error()));
        }
        return 1;
    }
    return status;
}
