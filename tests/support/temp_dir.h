// A fresh folder for one test under $TMPDIR (else /tmp), removed with its
// content at the end. Its name has no '-', which would cut a command line.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace quorvel::testing {

class TempDir {
public:
    TempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern =
            std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/quorvel_test_XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern + "/";
        }
    }
    ~TempDir() {
        if (!m_path.empty()) {
            // Tests take rights away from folders; give them back so all goes.
            std::error_code ec;
            std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
            std::filesystem::remove_all(m_path, ec);
        }
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, ending in '/'; empty when it could not be made.
    const std::string& path() const { return m_path; }
    bool ok() const { return !m_path.empty(); }

private:
    std::string m_path;
};

}  // namespace quorvel::testing
