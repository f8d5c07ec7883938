// Helpers shared by the app-area tests: a private temporary folder, small file
// helpers and guards that restore the process-wide state tests change.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "app/log.h"
#include "app/platform.h"
#include "support/fixed_clock.h"
#include "support/temp_dir.h"

namespace quorvel::testing {

inline std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline bool Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::symlink_status(path, ec).type() !=
           std::filesystem::file_type::not_found;
}

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (m_old) {
            ::setenv(m_name, m_old->c_str(), 1);
        } else {
            ::unsetenv(m_name);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// Saves and restores the log's globals, the test clock, the executable path
// and the current directory.
class AppStateGuard {
public:
    AppStateGuard()
        : m_logFile(g_strLogFile),
          m_backupFile(g_strLogBackupFile),
          m_mask(g_nLogMask),
          m_cwd(CurrentDirectory()) {}
    ~AppStateGuard() {
        g_strLogFile = m_logFile;
        g_strLogBackupFile = m_backupFile;
        g_nLogMask = m_mask;
        SetLogClockForTesting(nullptr);
        SetExecutablePathForTesting({});
        std::error_code ec;
        std::filesystem::current_path(m_cwd, ec);
    }
    AppStateGuard(const AppStateGuard&) = delete;
    AppStateGuard& operator=(const AppStateGuard&) = delete;

private:
    std::string m_logFile;
    std::string m_backupFile;
    uint32_t m_mask;
    std::string m_cwd;
};

}  // namespace quorvel::testing
