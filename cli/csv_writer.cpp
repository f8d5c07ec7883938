#include "cli/csv_writer.h"

#include "boxfile/record_csv.h"

namespace quorvel {
namespace {

class CsvWriter : public DumpWriter {
public:
    explicit CsvWriter(const WriterSetup& setup) : DumpWriter(setup), m_rows(setup.terminal) {}

    bool Begin() override {
        m_rows.AppendHeader(m_out);
        return true;
    }

    bool File(DumpedFile& file) override {
        m_rows.AppendRows(m_out, file, file.record ? &*file.record : nullptr, kMaxDumpOutputBytes,
                          [this] { m_setup.out.FlushLarge(); });
        return true;
    }

private:
    CsvRows m_rows;
};

}  // namespace

std::unique_ptr<DumpWriter> MakeCsvWriter(const WriterSetup& setup) {
    return std::make_unique<CsvWriter>(setup);
}

}  // namespace quorvel
