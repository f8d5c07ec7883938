// The diagnostic log: time-stamped lines appended one at a time, written only
// when the line's level passes the process-wide mask.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

namespace quorvel {

extern std::string g_strLogFile;        // full path of the log file
extern std::string g_strLogBackupFile;  // where the log goes when it rotates
extern uint32_t g_nLogMask;             // levels whose bits are all set here are written

// Lines rotate to the backup once the file grows past this many bytes.
inline constexpr long long kLogRotateBytes = 5'242'880;

// printf-style; the message is cut to 1000 characters so a line never
// exceeds 1024 characters.
void WriteLog(uint32_t level, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Points the log and its backup at `path` (see the implementation for the
// folder rules).
void SetLogFile(std::string path);

// For tests: replaces the clock that stamps log lines (nullptr restores the
// real local time).
void SetLogClockForTesting(std::function<std::tm()> clock);

}  // namespace quorvel
