#include "cli/human_writer.h"

#include "app/text_util.h"
#include "cli/safe_text.h"

namespace quorvel {
namespace {

std::string FormatHuman(const DumpedFile& f) {
    std::string out = "== " + SanitizeUtf8(f.file) + "\n";
    if (!f.shown) {
        out += "(not shown: " + f.problem + ")\n";
        return out;
    }
    out += f.type + "   " + f.width + "   " + f.height + "\n";
    out += "Komprimierung: " + f.compression + "\n";
    out += "Export-Zeitpunkt: " + f.date + " " + f.time + "\n";
    const std::string& text = f.recordText;
    const size_t start = out.size();
    out.reserve(out.size() + text.size() + text.size() / 8 + 1);
    ForEachShownByte(text, [&out](unsigned char c) { AppendUtf8(out, Cp1252ToUnicode(c)); });
    if (out.size() > start && out.back() != '\n') {
        out += '\n';
    }
    return out;
}

class HumanWriter : public DumpWriter {
public:
    using DumpWriter::DumpWriter;
    bool File(DumpedFile& file) override {
        if (!m_first) {
            m_out += '\n';
        }
        m_first = false;
        m_out += m_setup.terminal ? MakeVisible(FormatHuman(file)) : FormatHuman(file);
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
