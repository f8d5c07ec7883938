#include "cli/cover_writer.h"

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
        if (const int error = MakeDirectory(m_setup.argument); error != 0 && error != EEXIST) {
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
        if (!d.problem.empty()) {
            return false;  // already reported
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
        const std::string name = CoverStem(d.file) + "." + format->extension;
        // Two boxes of one name would overwrite each other's cover.
        if (!m_written.insert(name).second) {
            ReportProblem(d.file, "a cover named " + name + " was already written by this call");
            return false;
        }
        const std::string path = m_setup.argument + "/" + name;
        if (const int error = WriteFileReplacing(path, d.coverBytes); error != 0) {
            ReportProblem(path, std::strerror(error));
            return false;
        }
        return true;
    }

private:
    std::unordered_set<std::string> m_written;  // the names this run wrote
};

}  // namespace

std::unique_ptr<DumpWriter> MakeCoverWriter(const WriterSetup& setup) {
    return std::make_unique<CoverWriter>(setup);
}

}  // namespace quorvel
