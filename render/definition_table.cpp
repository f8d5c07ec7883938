#include "render/definition_table.h"

#include <algorithm>

#include "app/text_util.h"

namespace quorvel {
namespace {

// What a reset keeps for the next block; a table that grew beyond this gives
// its memory back, so one huge block leaves no huge buffers behind.
constexpr size_t kKeptSlots = 8192;
constexpr size_t kKeptIds = 65536;
constexpr size_t kKeptTextBytes = size_t{1} << 20;
constexpr size_t kFirstIndexSize = 16;

}  // namespace

int32_t DefinitionTable::Define(std::string_view text) {
    const int32_t id = nextId;
    // Signed 32-bit as stored, wrapping instead of overflowing.
    nextId = static_cast<int32_t>(static_cast<uint32_t>(id) + 1);
    // The text is kept at once (a lent one is only referred to), so it may
    // wait; a duplicate's copy is left unused in the buffer until the reset.
    const std::optional<TextRef> stored = Store(text);
    m_texts.push_back(stored ? *stored : TextRef{0, kDropped});
    if (!stored) {
        return id;  // no room for the text: dropped, as a failed allocation is
    }
    if (m_pendingCount == kPendingDepth) {
        const Pending oldest = m_pending[m_pendingFirst];
        m_pendingFirst = (m_pendingFirst + 1) % kPendingDepth;
        --m_pendingCount;
        AddTableEntry(oldest.hash, oldest.id);
    }
    const uint32_t hash = HashOf(text);
    if (!m_index.empty()) {
        __builtin_prefetch(&m_index[hash & (m_index.size() - 1)]);
    }
    m_pending[(m_pendingFirst + m_pendingCount) % kPendingDepth] =
        Pending{hash, static_cast<uint32_t>(m_texts.size())};
    ++m_pendingCount;
    return id;
}

void DefinitionTable::Settle() const {
    while (m_pendingCount != 0) {
        const Pending oldest = m_pending[m_pendingFirst];
        m_pendingFirst = (m_pendingFirst + 1) % kPendingDepth;
        --m_pendingCount;
        AddTableEntry(oldest.hash, oldest.id);
    }
}

uint32_t DefinitionTable::HashOf(std::string_view text) {
    const uint64_t wide = FoldedHash(text, ProcessHashKey());
    return static_cast<uint32_t>(wide ^ (wide >> 32));
}

void DefinitionTable::AddTableEntry(uint32_t hash, uint32_t id) const {
    if (m_index.empty() && m_stored != 0) {
        RebuildIndex(id);
    }
    if ((m_stored + 1) * 2 > m_index.size()) {
        GrowIndex();
    }
    TextRef& ref = m_texts[id - 1];
    const std::string_view text = TextOf(ref);
    const size_t mask = m_index.size() - 1;
    size_t at = hash & mask;
    for (; m_index[at].id != 0; at = (at + 1) & mask) {
        if (m_index[at].hash == hash &&
            EqualsIgnoreAsciiCase(TextOf(m_texts[m_index[at].id - 1]), text)) {
            ref.size = kDropped;  // the earlier entry keeps its id; this id names nothing
            return;
        }
    }
    m_index[at] = Slot{hash, id};
    ++m_stored;
}

std::optional<DefinitionTable::TextRef> DefinitionTable::Store(std::string_view text) {
    if (!m_lent.empty() && !text.empty()) {
        const auto base = reinterpret_cast<uintptr_t>(m_lent.data());
        const auto at = reinterpret_cast<uintptr_t>(text.data());
        if (at >= base && at - base <= m_lent.size() &&
            text.size() <= m_lent.size() - (at - base)) {
            return TextRef{static_cast<uint32_t>(at - base) | kLentBit,
                           static_cast<uint32_t>(text.size())};
        }
    }
    // Offsets are 31 bits wide.
    if (text.size() >= kLentBit - m_arena.size()) {
        return std::nullopt;
    }
    const auto offset = static_cast<uint32_t>(m_arena.size());
    m_arena.append(text);
    return TextRef{offset, static_cast<uint32_t>(text.size())};
}

std::string_view DefinitionTable::TextOf(TextRef ref) const {
    if (ref.offset & kLentBit) {
        return m_lent.substr(ref.offset & ~kLentBit, ref.size);
    }
    return std::string_view(m_arena).substr(ref.offset, ref.size);
}

void DefinitionTable::GrowIndex() const {
    std::vector<Slot> grown(std::max(kFirstIndexSize, m_index.size() * 2), Slot{0, 0});
    const size_t mask = grown.size() - 1;
    for (const Slot& slot : m_index) {
        if (slot.id != 0) {
            size_t at = slot.hash & mask;
            while (grown[at].id != 0) {
                at = (at + 1) & mask;
            }
            grown[at] = slot;
        }
    }
    m_index = std::move(grown);
}

void DefinitionTable::RebuildIndex(uint32_t settledIds) const {
    size_t size = kFirstIndexSize;
    while (size < 2 * (m_stored + 1)) {
        size *= 2;
    }
    m_index.assign(size, Slot{0, 0});
    const size_t mask = size - 1;
    for (uint32_t id = 1; id < settledIds; ++id) {
        const TextRef ref = m_texts[id - 1];
        if (ref.size != kDropped) {
            const uint32_t hash = HashOf(TextOf(ref));
            size_t at = hash & mask;
            while (m_index[at].id != 0) {
                at = (at + 1) & mask;
            }
            m_index[at] = Slot{hash, id};
        }
    }
}

void DefinitionTable::ReleaseIndex() {
    Settle();
    if (m_index.size() > kKeptSlots) {
        std::vector<Slot>().swap(m_index);
    }
}

std::optional<std::string_view> DefinitionTable::FindById(int32_t id) const {
    Settle();
    if (id < 1 || static_cast<uint64_t>(id) > m_texts.size()) {
        return std::nullopt;
    }
    const TextRef ref = m_texts[static_cast<size_t>(id) - 1];
    if (ref.size == kDropped) {
        return std::nullopt;
    }
    return TextOf(ref);
}

void DefinitionTable::FreeTable() {
    nextId = 1;
    m_pendingCount = 0;
    if (m_texts.empty()) {
        return;  // nothing defined since the last reset
    }
    // Clearing the index costs its size: keep it only while that size is in
    // proportion to what was stored.
    if (m_index.size() > kKeptSlots || m_index.size() > 4 * m_stored + 64) {
        std::vector<Slot>().swap(m_index);
    } else {
        std::fill(m_index.begin(), m_index.end(), Slot{0, 0});
    }
    if (m_texts.capacity() > kKeptIds) {
        std::vector<TextRef>().swap(m_texts);
    } else {
        m_texts.clear();
    }
    if (m_arena.capacity() > kKeptTextBytes) {
        std::string().swap(m_arena);
    } else {
        m_arena.clear();
    }
    m_stored = 0;
}

void DefinitionTable::LendSource(std::string_view source) {
    if (!m_lent.empty()) {
        EndLoan();  // no entry may keep referring to an earlier source
    }
    // Lent offsets are 31 bits wide too; a larger source is simply copied from.
    m_lent = source.size() < kLentBit ? source : std::string_view();
}

void DefinitionTable::EndLoan() {
    FreeTable();
    m_lent = {};
}

}  // namespace quorvel
