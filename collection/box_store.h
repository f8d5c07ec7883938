// Writes boxes read for the index into the database, replacing what was
// stored for the same path, and keeps the full-text rows with them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "collection/box_read.h"
#include "collection/box_rows.h"
#include "collection/sqlite_db.h"

namespace quorvel {

struct StoredBox {
    int64_t id = 0;
    FileStamp stamp;
    std::optional<std::string> reason;  // why it could not be read
    bool seen = false;                  // found again by this run's walk
};

// Every stored box by path.
std::unordered_map<std::string, StoredBox> LoadStoredBoxes(Database& db);

// Prepared once, used inside the caller's transactions.
class BoxStore {
public:
    explicit BoxStore(Database& db);

    // Stores `box` in place of any box of its path; returns its new id.
    int64_t Put(const BoxRows& box);
    void Remove(int64_t boxId);
    // Folders that could not be read: cleared for a walked root, then added.
    void ClearFolderProblems(const std::string& root);
    void AddFolderProblem(const std::string& path, const std::string& reason);

private:
    Database& m_db;
    Statement m_findBox, m_deleteBoxText, m_deleteBox;
    Statement m_insertBox, m_insertDvd, m_insertFilm;
    std::vector<Statement> m_insertLists;  // by ListFields(FilmFields())
    Statement m_insertBoxText, m_insertFilmText, m_insertSummary;
    Statement m_clearProblems, m_addProblem;
};

}  // namespace quorvel
