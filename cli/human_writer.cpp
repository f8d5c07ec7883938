#include "cli/human_writer.h"

#include "app/limits.h"
#include "app/terminal_text.h"
#include "app/text_util.h"
#include "cli/byte_forms.h"
#include "cli/safe_text.h"

namespace quorvel {
namespace {

// Kept back from a file's share of the output for the cut line and the end.
constexpr uint64_t kCloseBytes = 4096;

class HumanWriter : public DumpWriter {
public:
    using DumpWriter::DumpWriter;
    bool File(DumpedFile& f) override {
        Output& output = m_setup.out;
        const uint64_t start = output.Appended();
        std::string head = m_first ? "" : "\n";
        m_first = false;
        head += "== " + SanitizeUtf8(f.file) + "\n";
        if (!f.shown) {
            head += "(not shown: " + f.problem + ")\n";
        } else {
            head += f.type + "   " + f.width + "   " + f.height + "\n";
            head += "Komprimierung: " + f.compression + "\n";
            head += "Export-Zeitpunkt: " + f.date + " " + f.time + "\n";
        }
        m_out += m_setup.terminal ? MakeVisible(head) : head;
        const std::string_view text = f.recordText;
        if (!f.shown || text.empty()) {
            return true;
        }
        const uint64_t room = RoomLeft(output.Appended() - start, kCloseBytes);
        if (!AppendLinesWithin(output, text, TextCp1252Forms(m_setup.terminal), "\n", room)) {
            m_out.append("\n").append(kRecordTextCutLine).append("\n");
        } else if (text.back() != '\n') {
            m_out += '\n';
        }
        return true;
    }

private:
    bool m_first = true;
};

}  // namespace

std::unique_ptr<DumpWriter> MakeHumanWriter(const WriterSetup& setup) {
    return std::make_unique<HumanWriter>(setup);
}

}  // namespace quorvel
