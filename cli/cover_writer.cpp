#include "cli/cover_writer.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <unordered_set>

#include "app/limits.h"
#include "app/platform.h"
#include "app/text_util.h"
#include "cli/safe_text.h"
#include "picture/cover_format.h"

namespace quorvel {
namespace {

// The name a box's cover is written under, without its extension.
std::string CoverStem(const std::string& path) {
    if (path == "-") {
        return "stdin";
    }
    const size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos &&
        EqualsIgnoreAsciiCase(std::string_view(name).substr(dot), ".box")) {
        name.erase(dot);
    }
    return name.empty() ? "box" : name;
}

class CoverWriter : public DumpWriter {
public:
    using DumpWriter::DumpWriter;
    bool Begin() override {
        if (const int error = CreateFolderChain(m_setup.argument + "/");
            error != 0 && error != EEXIST) {
            ReportProblem(m_setup.argument, std::strerror(error));
            return false;
        }
        if (!IsDirectory(m_setup.argument)) {
            ReportProblem(m_setup.argument, "not a folder");
            return false;
        }
        return true;
    }

    bool File(DumpedFile& d) override {
        // Every FILE claims its name, whatever becomes of it: two boxes of
        // one name would write over each other's cover, and on a file system
        // that ignores letter case so would "A" and "a".
        const std::string stem = CoverStem(d.file);
        const bool again = !m_names.insert(FoldAscii(stem)).second;
        if (!d.problem.empty()) {
            return false;  // already reported
        }
        if (again) {
            ReportProblem(d.file, "a box named " + stem + " was already given in this call");
            return false;
        }
        if (!d.cover.present) {
            ReportProblem(d.file, "no cover");
            return false;
        }
        if (d.cover.bytes > kMaxCoverBytes) {
            ReportProblem(d.file, "the cover is larger than any picture the viewer shows");
            return false;
        }
        const std::optional<CoverFormat> format = SniffCoverFormat(d.coverBytes);
        if (!format) {
            ReportProblem(d.file, "the cover is not a JPEG, BMP or GIF picture");
            return false;
        }
        const std::string path = m_setup.argument + "/" + stem + "." + format->extension;
        // Only a regular file is replaced (by a new one renamed over it, so
        // nothing there is ever opened): a FIFO, device or socket stays.
        struct stat there {};
        if (::lstat(path.c_str(), &there) == 0 && !S_ISREG(there.st_mode) &&
            !S_ISLNK(there.st_mode)) {
            ReportProblem(path, "not a regular file");
            return false;
        }
        if (const int error = WriteFileReplacing(path, d.coverBytes); error != 0) {
            ReportProblem(path, std::strerror(error));
            return false;
        }
        return true;
    }

private:
    std::unordered_set<std::string> m_names;  // the FILEs' names so far, letter case folded
};

}  // namespace

std::unique_ptr<DumpWriter> MakeCoverWriter(const WriterSetup& setup) {
    return std::make_unique<CoverWriter>(setup);
}

}  // namespace quorvel
