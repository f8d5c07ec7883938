// The viewer: the application object's start-up runs the main window
// modally; the program ends when the window closes.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "app/quit_after_show.h"
#include "app/viewer_app.h"

namespace {

void PrintUsage() {
    std::fputs(
        "Usage: quorvel FILE.box\n"
        "       quorvel [-log N] [-logdatei '\"PATH\"']\n"
        "\n"
        "Shows a .box file (the export of one item of a DVD collection): the cover,\n"
        "the export summary and the whole record. Drop another .box file on the text\n"
        "to show it; Ctrl+O opens one, F5 shows the last one again, F1 shows the\n"
        "program information, Escape ends the viewer.\n"
        "\n"
        "  -log N               log level N\n"
        "  -logdatei '\"PATH\"'   write the log to PATH instead of mirax.log beside the\n"
        "                       program; the double quotes belong to the option\n"
        "  --help               this text\n"
        "\n"
        "The whole command line is the file's path, options included: a line with\n"
        "an option opens no file.\n",
        stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        PrintUsage();
        return 0;
    }
    QApplication app(argc, argv);  // takes Qt's own options out of argv
    quorvel::QuitAfterFirstPaintIfAsked(app);
    quorvel::g_viewerApp.SetCommandLine(argc, argv);
    quorvel::g_viewerApp.InitInstance();
    return quorvel::g_viewerApp.ExitInstance();
}
