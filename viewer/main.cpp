// The viewer: the application object's start-up runs the main window
// modally; the program ends when the window closes.
#include <QApplication>
#include <QTranslator>
#include <cstdio>
#include <cstring>

#include "app/display_check.h"
#include "ui/quit_after_show.h"
#include "ui/translations.h"
#include "ui/viewer_commands.h"
#include "viewer/viewer_app.h"

namespace {

void PrintUsage() {
    std::fputs(
        "Usage: quorvel FILE.box\n"
        "       quorvel FOLDER\n"
        "       quorvel [-log N] [-logdatei '\"PATH\"']\n"
        "\n"
        "Shows a .box file (the export of one item of a DVD collection): the cover,\n"
        "the export summary and the whole record. Drop another .box file on the text\n"
        "to show it.\n"
        "\n"
        "A FOLDER opens the collection window: every box file below it, one row\n"
        "each, searched as you type and sorted by any column; Enter opens a box in\n"
        "the viewer, where Ctrl+PgDown and Ctrl+PgUp follow the window's rows.\n"
        "\n"
        "  -log N               log level N\n"
        "  -logdatei '\"PATH\"'   write the log to PATH instead of mirax.log beside the\n"
        "                       program (or in ~/.local/state/quorvel/ when that\n"
        "                       cannot be written); the double quotes belong to\n"
        "                       the option\n"
        "  --help               this text\n"
        "  --version            the version\n"
        "\n"
        "The whole command line is the file's path, options included: a line with\n"
        "an option opens no file.\n"
        "\n",
        stdout);
    std::fputs(quorvel::CommandHelpText().c_str(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        PrintUsage();
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("quorvel %s\n", QUORVEL_VERSION);
        return 0;
    }
    if (!quorvel::HasDisplay(argc, argv)) {
        std::fputs(quorvel::kNoDisplayMessage, stderr);
        return 1;
    }
    QApplication app(argc, argv);  // takes Qt's own options out of argv
    // The desktop entry's id, so X11 and Wayland give the window its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(QUORVEL_APP_ID));
    QTranslator qtGerman;  // without the file Qt's texts stay English
    quorvel::InstallGermanQtTranslations(qtGerman);
    quorvel::QuitAfterFirstPaintIfAsked(app);
    quorvel::g_viewerApp.SetCommandLine(argc, argv);
    quorvel::g_viewerApp.InitInstance();
    return quorvel::g_viewerApp.ExitInstance();
}
