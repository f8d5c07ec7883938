// "Liste exportieren...": the films of a list of box files as the dump
// tool's CSV (boxfile/record_csv.h), each file read as the dump tool reads
// it, on a thread of its own; the file is written whole or not at all.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace quorvel {

class ListExport : public QObject {
    Q_OBJECT
public:
    // Starts at once; the signals arrive on the thread that made it.
    ListExport(std::vector<std::string> paths, std::string target, QObject* parent = nullptr);
    // Stops a run still going; nothing is written then.
    ~ListExport() override;

signals:
    void Progress(qint64 done, qint64 total);
    // `message` says in German what was written where, or why nothing was.
    void Finished(bool written, const QString& message);

private:
    void Run(const std::vector<std::string>& paths, const std::string& target);

    std::atomic<bool> m_cancel{false};
    std::thread m_thread;
};

}  // namespace quorvel
