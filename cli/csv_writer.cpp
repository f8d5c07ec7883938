#include "cli/csv_writer.h"

#include "boxfile/record_csv.h"
#include "cli/safe_text.h"

namespace quorvel {
namespace {

class CsvWriter : public DumpWriter {
public:
    using DumpWriter::DumpWriter;
    bool Begin() override {
        AppendCsvHeader(m_out);
        return true;
    }
    bool File(DumpedFile& file) override {
        static const CsvCellText kVisible = [](std::string_view utf8) { return MakeVisible(utf8); };
        static const CsvCellText kAsItIs;
        AppendCsvRows(m_out, file, file.record ? &*file.record : nullptr,
                      m_setup.terminal ? kVisible : kAsItIs);
        return true;
    }
};

}  // namespace

std::unique_ptr<DumpWriter> MakeCsvWriter(const WriterSetup& setup) {
    return std::make_unique<CsvWriter>(setup);
}

}  // namespace quorvel
