// The boxes of the collection as the window lists them: one row per box.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "collection/sqlite_db.h"

namespace quorvel {

struct BoxRow {
    int64_t id = 0;
    std::string path;
    std::string fileName;              // the path's last component
    std::optional<std::string> title;  // the box title, else the first DVD title
    int64_t dvdCount = 0;              // DVDs found in the record
    int64_t filmCount = 0;
    std::optional<int64_t> yearMin, yearMax;  // over the films' years
    std::optional<int64_t> fsk;               // the highest rating of its films
    std::optional<std::string> genre;         // the films' genres, each once, by ", "
    std::optional<std::string> ean;
    std::string status;                 // "ok" or why not ("wrong-magic", ...)
    std::optional<std::string> reason;  // the loader's words when not "ok"
};

// Every box, by path.
std::vector<BoxRow> ListBoxes(Database& db);
// The boxes of these ids (rows just stored), by path; ids no longer there
// are left out.
std::vector<BoxRow> ListBoxes(Database& db, const std::vector<int64_t>& ids);

}  // namespace quorvel
