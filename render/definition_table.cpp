#include "render/definition_table.h"

#include "app/text_util.h"

namespace quorvel {

int32_t DefinitionTable::Define(std::string_view text) {
    const int32_t id = nextId;
    // Signed 32-bit as stored, wrapping instead of overflowing.
    nextId = static_cast<int32_t>(static_cast<uint32_t>(id) + 1);
    AddTableEntry(id, text);
    return id;
}

bool DefinitionTable::AddTableEntry(int32_t id, std::string_view text) {
    std::string folded = FoldAscii(text);
    if (m_foldedTexts.contains(folded)) {
        return true;  // the earlier entry keeps its id; this id names nothing
    }
    m_foldedTexts.insert(std::move(folded));
    // Ids are unique within a table (nextId only grows until the reset that
    // empties it), so the first entry with an id is the only one.
    m_indexById.try_emplace(id, m_entries.size());
    m_entries.push_back(TableEntry{id, std::string(text)});
    return true;
}

const std::string* DefinitionTable::FindById(int32_t id) const {
    auto it = m_indexById.find(id);
    return it == m_indexById.end() ? nullptr : &m_entries[it->second].text;
}

void DefinitionTable::FreeTable() {
    m_entries.clear();
    m_foldedTexts.clear();
    m_indexById.clear();
    nextId = 1;
}

}  // namespace quorvel
