// quorvel-thumbnailer: the cover of a box file as a PNG thumbnail, for file
// managers (see res/desktop/quorvel.thumbnailer).
//
// File managers run it on every box file they list, downloads included, and
// often inside a sandbox; so it reads nothing but INPUT's header and cover,
// writes nothing but OUTPUT (into that very file, see cli/thumbnail_output.h),
// and keeps the viewer's limits on files and pictures.
#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

#include "app/terminal_text.h"
#include "cli/thumbnail.h"
#include "cli/thumbnail_output.h"

namespace {

constexpr const char* kUsage =
    "Usage: quorvel-thumbnailer -s SIZE INPUT OUTPUT\n"
    "Writes the cover of the box file INPUT to OUTPUT as a PNG picture whose\n"
    "longer side is SIZE pixels (at most twice the cover's own size).\n"
    "\n"
    "  -s SIZE      longer side in pixels, 1 to 4096\n"
    "  --help       this text\n"
    "  --version    the version\n"
    "\n"
    "OUTPUT is written in place when it is a regular file, or made with mode\n"
    "0600; a symbolic link, folder, FIFO or device is refused.\n"
    "\n"
    "Exit status: 0 when OUTPUT was written; 1 when INPUT is no box file, has no\n"
    "cover, or its cover does not load, or OUTPUT cannot or may not be written\n"
    "(it is left as it was, or empty when writing failed part way); 2 for a\n"
    "usage error.\n";

int UsageError(const char* message) {
    std::fprintf(stderr, "quorvel-thumbnailer: %s\nTry 'quorvel-thumbnailer --help'.\n", message);
    return 2;
}

int Failure(const std::string& file, const std::string& problem) {
    std::fprintf(stderr, "quorvel-thumbnailer: %s: %s\n", quorvel::ForStderr(file).c_str(),
                 quorvel::ForStderr(problem).c_str());
    return 1;
}

// A whole decimal number from 1 to kMaxThumbnailSize, else 0.
int ParseSize(const char* text) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || text[0] < '0' || text[0] > '9' || value < 1 ||
        value > quorvel::kMaxThumbnailSize) {
        return 0;
    }
    return static_cast<int>(value);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("quorvel-thumbnailer %s\n", QUORVEL_VERSION);
        return 0;
    }
    if (argc != 5 || std::strcmp(argv[1], "-s") != 0) {
        return UsageError("expected -s SIZE INPUT OUTPUT");
    }
    const int size = ParseSize(argv[2]);
    if (size == 0) {
        return UsageError("SIZE must be a whole number from 1 to 4096");
    }
    const std::string input = argv[3];
    const std::string output = argv[4];

    // Picture decoders are plugins; an application object lets Qt find them.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QCoreApplication app(qtArgc, qtArgv);

    const QImage thumbnail = quorvel::MakeBoxThumbnail(input, size);
    if (thumbnail.isNull()) {
        return Failure(input, "no box file with a readable cover");
    }
    // The whole picture is ready before OUTPUT is touched.
    const QByteArray png = quorvel::EncodePng(thumbnail);
    if (png.isEmpty()) {
        return Failure(output, "cannot make the PNG picture");
    }
    const std::string problem = quorvel::WriteThumbnailFile(
        output, std::span(reinterpret_cast<const unsigned char*>(png.constData()),
                          static_cast<size_t>(png.size())));
    if (!problem.empty()) {
        return Failure(output, problem);
    }
    return 0;
}
