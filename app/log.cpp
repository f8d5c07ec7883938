// The diagnostic log file.
//
// Where the log goes: SetLogFile(path) puts the log at `path` (".log" added
// when the name has no extension) and its backup beside it with ".bak" in
// place of the extension. The folder is created when missing, including
// missing parents. When it can be neither found nor created, the log goes to
// the temporary folder ($TMPDIR, else /tmp) under the same file name; a path
// without any folder part goes there too. The current directory is never
// changed: a relative folder is taken from the folder the program was
// started in.
//
// Each line is appended with its own open and close, so the file is complete
// on disk after every line. The log is only ever written as a regular file: a
// symbolic link, FIFO, device or folder at its path drops the line. When a
// line takes the file past kLogRotateBytes, it is renamed to the backup path,
// replacing the old backup; when that rename is impossible, the log stays
// where it is with all its lines.
#include "app/log.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <utility>

#include "app/platform.h"

namespace quorvel {

std::string g_strLogFile = TempFolder() + "Log.log";
std::string g_strLogBackupFile = TempFolder() + "Log.bak";
uint32_t g_nLogMask = 0;

namespace {

// One line, prefix and line feed included, holds at most this many bytes.
constexpr std::size_t kMaxLineBytes = 1024;

std::function<std::tm()>& LogClock() {
    static std::function<std::tm()> clock;
    return clock;
}

}  // namespace

void SetLogClockForTesting(std::function<std::tm()> clock) {
    LogClock() = std::move(clock);
}

void WriteLog(uint32_t level, const char* format, ...) {
    if ((level & g_nLogMask) != level) {
        return;
    }

    char message[kMaxLineBytes + 1];
    va_list args;
    va_start(args, format);
    const int formatted = std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    if (formatted < 0) {
        return;
    }

    const std::tm now = LogClock() ? LogClock()() : LocalTimeNow();
    char prefix[64];
    const int prefixLength =
        std::snprintf(prefix, sizeof prefix, "<%.2d.%.2d.%.4d %.2d:%.2d:%.2d>: ", now.tm_mday,
                      now.tm_mon + 1, now.tm_year + 1900, now.tm_hour, now.tm_min, now.tm_sec);
    if (prefixLength < 0) {
        return;
    }

    // The normal 23-byte prefix leaves room for a 1000-byte message; a longer
    // message is cut so the line never exceeds kMaxLineBytes.
    std::string line(
        prefix, std::min<std::size_t>(static_cast<std::size_t>(prefixLength), sizeof prefix - 1));
    const std::size_t room = line.size() < kMaxLineBytes - 1 ? kMaxLineBytes - 1 - line.size() : 0;
    const std::size_t messageLength = std::min<std::size_t>(
        std::min<std::size_t>(static_cast<std::size_t>(formatted), sizeof message - 1), room);
    line.append(message, messageLength);
    line.push_back('\n');

    const std::optional<long long> length = AppendToRegularFile(g_strLogFile, line);
    if (length && *length > kLogRotateBytes) {
        // A rename either moves every line to the backup or leaves the log
        // untouched; nothing is deleted.
        RenameReplacing(g_strLogFile, g_strLogBackupFile);
    }
}

void SetLogFile(std::string path) {
    const PathParts parts = SplitPath(path);
    std::string folder = parts.drive + parts.dir;
    AppendSlash(folder);

    if (!IsDirectory(folder)) {
        const int result = CreateFolderChain(folder);
        if (result != 0 && result != EEXIST) {
            folder = TempFolder();
        }
    }

    const std::string base = folder + parts.fname;
    g_strLogFile = base + (parts.ext.empty() ? std::string(".log") : parts.ext);
    g_strLogBackupFile = base + ".bak";
}

}  // namespace quorvel
