// A definition table: numbered texts that the token stream defines and later
// tokens refer to by number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace quorvel {

struct TableEntry {
    int32_t id;
    std::string text;
};

// Entries keep the order in which they were added. Texts are unique when
// ASCII letter case is ignored: the first one added wins. Look-ups by id and
// by text are hashed so a long person block stays linear.
class DefinitionTable {
public:
    // A definition token: takes nextId as its id and advances it (also when
    // the text is a duplicate and so names nothing), then adds the entry.
    // Returns the id taken.
    int32_t Define(std::string_view text);

    // Adds (id, text) unless a text equal to it ignoring ASCII case is
    // present. Returns whether the text is in the table afterwards.
    bool AddTableEntry(int32_t id, std::string_view text);

    // The text of the first entry with this id, or nullptr.
    const std::string* FindById(int32_t id) const;

    // Empties the table and sets nextId back to 1.
    void FreeTable();

    const std::vector<TableEntry>& Entries() const { return m_entries; }
    bool Empty() const { return m_entries.empty(); }
    int32_t NextId() const { return nextId; }

private:
    int32_t nextId = 1;
    std::vector<TableEntry> m_entries;
    std::unordered_set<std::string> m_foldedTexts;
    std::unordered_map<int32_t, size_t> m_indexById;
};

}  // namespace quorvel
