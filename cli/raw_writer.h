// --raw: exactly the record text's bytes (Windows-1252, CR LF).
#pragma once

#include "cli/dump_writer.h"

namespace quorvel {

class RawWriter : public DumpWriter {
public:
    explicit RawWriter(const WriterSetup& setup) : m_out(setup.out.Buffer()) {}
    bool File(DumpedFile& file) override {
        // The buffer is empty after each flush: hand it the text.
        if (m_out.empty()) {
            m_out = std::move(file.recordText);
        } else {
            m_out += file.recordText;
        }
        return true;
    }

private:
    std::string& m_out;
};

}  // namespace quorvel
