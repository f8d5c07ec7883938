#include "cli/raw_writer.h"

namespace quorvel {
namespace {

class RawWriter : public DumpWriter {
public:
    using DumpWriter::DumpWriter;
    bool File(DumpedFile& file) override {
        // The buffer is empty after each flush: hand it the text.
        if (m_out.empty()) {
            m_out = std::move(file.recordText);
        } else {
            m_out += file.recordText;
        }
        return true;
    }
};

}  // namespace

std::unique_ptr<DumpWriter> MakeRawWriter(const WriterSetup& setup) {
    return std::make_unique<RawWriter>(setup);
}

}  // namespace quorvel
