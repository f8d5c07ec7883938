#include "ui/list_export.h"

#include <QFile>
#include <chrono>
#include <cstring>

#include "app/limits.h"
#include "app/platform.h"
#include "boxfile/record_csv.h"
#include "picture/box_dump.h"
#include "ui/collection_texts.h"
#include "ui/qt_strings.h"

namespace quorvel {
namespace {

// Progress is told this often at most.
constexpr auto kProgressEvery = std::chrono::milliseconds(100);

}  // namespace

ListExport::ListExport(std::vector<std::string> paths, std::string target, QObject* parent)
    : QObject(parent), m_thread([this, paths = std::move(paths), target = std::move(target)] {
          Run(paths, target);
      }) {}

ListExport::~ListExport() {
    m_cancel = true;
    m_thread.join();
}

void ListExport::Run(const std::vector<std::string>& paths, const std::string& target) {
    LowerThreadPriority();
    std::string csv;
    const CsvRows rows;
    rows.AppendHeader(csv);
    int64_t films = 0;
    auto told = std::chrono::steady_clock::now();
    DumpOptions options;
    options.record = true;
    for (size_t i = 0; i < paths.size(); ++i) {
        if (m_cancel) {
            return;
        }
        DumpedFile file = DumpBoxFile(paths[i], options);
        rows.AppendRows(csv, file, file.record ? &*file.record : nullptr, kMaxDumpOutputBytes);
        if (file.record) {
            for (const DvdRecord& dvd : file.record->dvds) {
                films += static_cast<int64_t>(dvd.films.size());
            }
        }
        if (const auto now = std::chrono::steady_clock::now(); now - told >= kProgressEvery) {
            told = now;
            QMetaObject::invokeMethod(
                this,
                [this, done = static_cast<qint64>(i + 1),
                 total = static_cast<qint64>(paths.size())] { emit Progress(done, total); },
                Qt::QueuedConnection);
        }
    }
    const int error = WriteFileReplacing(
        target, {reinterpret_cast<const unsigned char*>(csv.data()), csv.size()});
    const QString message =
        error == 0
            ? QStringLiteral("Liste exportiert: %1 %2 mit %3 %4 in \u201E%5\u201C.")
                  .arg(GermanNumber(static_cast<int64_t>(paths.size())),
                       QString::fromUtf8(paths.size() == 1 ? "Box" : "Boxen"), GermanNumber(films),
                       QString::fromUtf8(films == 1 ? "Film" : "Filmen"), FromLocalPath(target))
            : QStringLiteral("Die Liste kann nicht nach \u201E%1\u201C geschrieben werden: %2")
                  .arg(FromLocalPath(target), QString::fromLocal8Bit(std::strerror(error)));
    QMetaObject::invokeMethod(
        this, [this, error, message] { emit Finished(error == 0, message); }, Qt::QueuedConnection);
}

}  // namespace quorvel
