// Fuzzes quorvel-dump's --records and --csv writers: the input's first byte
// says whether they write for a terminal, the rest is a data block's token
// stream, shown as a stored box file. Both outputs stay within the bound,
// parse, hold no control byte a terminal acts on, and the record holds no
// more than the text shows.
// Build with libFuzzer (clang), from the top of the checkout:
//   cmake -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DQUORVEL_LIBFUZZER=ON -DQUORVEL_SANITIZE=ON
//   cmake --build build-fuzz --target fuzz_records
// Run it, new inputs going to a scratch folder, not into the seeds:
//   cd build-fuzz && mkdir -p new-records && export UBSAN_OPTIONS=halt_on_error=1
//   fuzz/fuzz_records -rss_limit_mb=1024 -timeout=5 -max_len=1048576
//       -max_total_time=900 new-records ../fuzz/corpus/fuzz_records
// Replay the seeds and crashers in any build (CTest: Fuzz.fuzz_records):
//   build/fuzz/fuzz_records fuzz/corpus/fuzz_records fuzz/crashers
#include <sys/mman.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/unique_fd.h"
#include "boxfile/box_loader.h"
#include "cli/csv_writer.h"
#include "cli/records_writer.h"
#include "fuzz/fuzz_check.h"
#include "tests/support/box_builder.h"

namespace {

using quorvel::kMaxDumpOutputBytes;

// What a writer writes for `file` alone, header and framing included.
std::string Write(quorvel::WriterFactory make, quorvel::DumpedFile& file, bool terminal) {
    const quorvel::UniqueFd fd(::memfd_create("fuzz_records", MFD_CLOEXEC));
    QUORVEL_FUZZ_CHECK(fd.Valid());
    quorvel::Output out(fd.Get());
    const auto writer = make({out, false, terminal, ""});
    QUORVEL_FUZZ_CHECK(writer->Begin() && writer->File(file));
    writer->End();
    QUORVEL_FUZZ_CHECK(out.Flush());
    std::string written(static_cast<size_t>(::lseek(fd.Get(), 0, SEEK_END)), '\0');
    QUORVEL_FUZZ_CHECK(::pread(fd.Get(), written.data(), written.size(), 0) ==
                       static_cast<ssize_t>(written.size()));
    return written;
}

size_t Count(std::string_view text, std::string_view line) {
    size_t count = 0;
    for (size_t at = text.find(line); at != std::string_view::npos; at = text.find(line, at + 1)) {
        ++count;
    }
    return count;
}

// No C0 control but those `allowed`, and on a terminal no DEL and no C1
// control in UTF-8.
void CheckBytes(std::string_view out, std::string_view allowed, bool terminal) {
    for (size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        QUORVEL_FUZZ_CHECK(c >= 0x20 || allowed.find(out[i]) != std::string_view::npos);
        QUORVEL_FUZZ_CHECK(!terminal || c != 0x7F);
        QUORVEL_FUZZ_CHECK(!terminal || c != 0xC2 || i + 1 == out.size() ||
                           (static_cast<unsigned char>(out[i + 1]) & 0xE0) != 0x80);
    }
}

// Whole rows, each as wide as the header; no cell that a spreadsheet would
// take for a formula.
void CheckCsv(std::string_view csv) {
    size_t columns = 0, fields = 0, cell = 0;
    bool quoted = false;
    for (size_t i = 0; i <= csv.size(); ++i) {
        const char c = i < csv.size() ? csv[i] : '\r';
        if (c == '"') {
            quoted = !quoted;  // a doubled quote toggles twice
        }
        if (quoted || (c != ',' && c != '\r')) {
            continue;
        }
        const size_t first = cell < i && csv[cell] == '"' ? cell + 1 : cell;
        QUORVEL_FUZZ_CHECK(first >= i ||
                           std::string_view("=+-@\t\r").find(csv[first]) == std::string_view::npos);
        ++fields;
        if (c == '\r' && i < csv.size()) {
            QUORVEL_FUZZ_CHECK(i + 1 < csv.size() && csv[++i] == '\n');
            QUORVEL_FUZZ_CHECK(columns == 0 || fields == columns);
            columns = fields;
            fields = 0;
        }
        cell = i + 1;
    }
    QUORVEL_FUZZ_CHECK(!quoted && fields == 1 && cell == csv.size() + 1 && columns > 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool terminal = (data[0] & 1) != 0;
    quorvel::testing::BoxSpec made;
    made.data.assign(data + 1, data + size);
    const quorvel::LoadedBox box = quorvel::LoadBoxBytes(quorvel::testing::BuildBox(made));
    quorvel::DumpedFile file = quorvel::DumpLoadedBox("fuzz.box", box, {.record = true});
    QUORVEL_FUZZ_CHECK(file.shown && file.record);
    const std::string_view text = file.recordText;

    const std::string records = Write(&quorvel::MakeRecordsWriter, file, terminal);
    QUORVEL_FUZZ_CHECK(records.size() <= kMaxDumpOutputBytes + 1024);  // the array besides
    CheckBytes(records, "\n", terminal);
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(records), &error);
    QUORVEL_FUZZ_CHECK(error.error == QJsonParseError::NoError && json.array().size() == 1);

    // The record holds no more than the text shows.
    const quorvel::Record& record = *file.record;
    size_t persons = 0;
    for (const quorvel::DvdRecord& dvd : record.dvds) {
        for (const quorvel::FilmRecord& film : dvd.films) {
            persons += film.persons.size();
        }
    }
    QUORVEL_FUZZ_CHECK(record.unknownTokens <= Count(text, "\r\nunbekanntes Token..."));
    QUORVEL_FUZZ_CHECK(persons <= Count(text, "\r\nFilm-Person:\t"));

    const std::string csv = Write(&quorvel::MakeCsvWriter, file, terminal);
    QUORVEL_FUZZ_CHECK(csv.size() <= kMaxDumpOutputBytes + 1024);  // the header row besides
    if (terminal) {
        CheckBytes(csv, "\r\n\t", true);
    }
    CheckCsv(csv);
    return 0;
}
