// A definition table: numbered texts that the token stream defines and later
// tokens refer to by number.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "render/folded_hash.h"

namespace quorvel {

// Every definition takes the next id, 1, 2, 3 ... from the last reset; a
// text equal to a stored one when ASCII letter case is ignored is not stored
// (the first one keeps its id) but its id is used up all the same. So ids
// index one array, the texts lie in one buffer, and the de-duplication index
// is an open-addressing table of ids under a per-process random hash key:
// no entry costs an allocation of its own, and no set of names can be made
// to collide on purpose.
class DefinitionTable {
public:
    DefinitionTable() = default;
    DefinitionTable(const DefinitionTable&) = delete;
    DefinitionTable& operator=(const DefinitionTable&) = delete;

    // A definition token: takes nextId as its id and advances it (also when
    // the text is a duplicate and so names nothing), then adds the entry.
    // Returns the id taken.
    int32_t Define(std::string_view text);

    // The text of the entry with this id; none for an id that no stored
    // entry carries.
    std::optional<std::string_view> FindById(int32_t id) const;

    // Calls visit(id, text) for every stored entry in the order added.
    template <typename Visit>
    void ForEachEntry(Visit&& visit) const {
        Settle();
        for (size_t i = 0; i < m_texts.size(); ++i) {
            if (m_texts[i].size != kDropped) {
                visit(static_cast<int32_t>(i + 1), TextOf(m_texts[i]));
            }
        }
    }

    // Empties the table and sets nextId back to 1. Costs what the table held
    // since the last reset; after a huge block its memory is given back.
    void FreeTable();

    // Gives a large de-duplication index back before the reset that would:
    // once a block's definitions are complete only look-ups by id remain.
    // A later definition rebuilds it.
    void ReleaseIndex();

    // Texts lying inside `source` are referred to there instead of being
    // copied, until EndLoan; the caller keeps `source` alive and unchanged
    // until then. Entries stored before stay as they are.
    void LendSource(std::string_view source);
    // Empties the table and forgets the lent source.
    void EndLoan();

    // Stored entries, and ids taken since the last reset (NextId() - 1).
    size_t Size() const {
        Settle();
        return m_stored;
    }
    size_t IdsTaken() const { return m_texts.size(); }
    bool Empty() const { return Size() == 0; }
    int32_t NextId() const { return nextId; }

private:
    // Where one id's text lies: in the lent source when kLentBit is set in
    // the offset, else in m_arena; size kDropped for a dropped duplicate.
    struct TextRef {
        uint32_t offset;
        uint32_t size;
    };
    // One slot of the de-duplication index: 32 bits of the text's hash (to
    // skip unequal texts without reading them) and the id, 0 when empty.
    struct Slot {
        uint32_t hash;
        uint32_t id;
    };
    // A definition not yet checked against the index.
    struct Pending {
        uint32_t hash;
        uint32_t id;
    };
    static constexpr uint32_t kDropped = UINT32_MAX;
    static constexpr uint32_t kLentBit = 0x80000000u;
    // Definitions wait this many deep before they are checked, so the slot
    // each one probes is fetched while the next tokens are read: a large
    // block's index does not fit in the cache, and each probe would
    // otherwise wait for memory.
    static constexpr size_t kPendingDepth = 16;

    // Checks the pending definition of `id` against the index: stores it,
    // or drops it when a text equal to it ignoring ASCII case is stored.
    // Every earlier id is settled.
    void AddTableEntry(uint32_t hash, uint32_t id) const;
    // Settles every pending definition; reading the table needs this.
    void Settle() const;
    std::string_view TextOf(TextRef ref) const;
    std::optional<TextRef> Store(std::string_view text);
    void GrowIndex() const;
    // The index of the ids before `settledIds`, after ReleaseIndex.
    void RebuildIndex(uint32_t settledIds) const;
    static uint32_t HashOf(std::string_view text);

    int32_t nextId = 1;
    std::string m_arena;  // copied texts, back to back
    std::string_view m_lent;
    // Settling changes no observable state, so const readers may do it.
    mutable size_t m_stored = 0;
    mutable std::vector<TextRef> m_texts;  // [id - 1]
    mutable std::vector<Slot> m_index;     // open addressing, linear probing; size 0 or 2^n
    mutable std::array<Pending, kPendingDepth> m_pending{};
    mutable size_t m_pendingFirst = 0;
    mutable size_t m_pendingCount = 0;
};

}  // namespace quorvel
