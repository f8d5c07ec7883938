// Person lines: one "Film-Person:" line per person reference of a block,
// built from the role, person and note tables.
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/limits.h"
#include "app/text_util.h"
#include "render/record_renderer.h"
#include "render/value_texts.h"

namespace quorvel {
namespace {

// The name a person text ("A\tB\tN") shows: "A, B", then " [N]" unless N is
// 1, which tells namesakes apart. False, and nothing appended, for a text
// without both tabs.
bool AppendPersonName(std::string& out, std::string_view person) {
    const size_t tab1 = person.find('\t');
    if (tab1 == std::string_view::npos) {
        return false;
    }
    const size_t tab2 = person.find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos) {
        return false;
    }
    out.append(person.substr(0, tab1));
    out.append(", ");
    out.append(person.substr(tab1 + 1, tab2 - tab1 - 1));
    const int32_t count = AtoI(person.substr(tab2 + 1));
    if (count != 1) {
        char digits[16];
        const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, count);
        out.append(" [");
        out.append(digits, end.ptr);
        out += ']';
    }
    return true;
}

}  // namespace

void CRecordRenderer::AppendPersonLines(std::string& text) {
    const DefinitionTable& roles = Table(RecordTable::kRole);
    const DefinitionTable& persons = Table(RecordTable::kPerson);
    const DefinitionTable& refs = Table(RecordTable::kPersonRef);
    const DefinitionTable& notes = Table(RecordTable::kPersonNote);
    // The block's definitions are complete: a large index can go before the
    // lines grow the text.
    for (DefinitionTable& table : m_tables) {
        table.ReleaseIndex();
    }

    // Group the notes by the reference they name once, so a long block stays
    // linear: firstNote[ref - 1] starts a chain through nextNote[note - 1],
    // in table order (built back to front). 0 ends a chain. A note naming an
    // id that no reference took can never be shown and is left out.
    const size_t refIds = refs.IdsTaken();
    std::vector<uint32_t> firstNote;
    std::vector<uint32_t> nextNote;
    if (!notes.Empty() && !refs.Empty()) {
        firstNote.assign(refIds, 0);
        nextNote.assign(notes.IdsTaken(), 0);
        for (size_t noteId = notes.IdsTaken(); noteId > 0; --noteId) {
            const std::optional<std::string_view> note =
                notes.FindById(static_cast<int32_t>(noteId));
            if (!note) {
                continue;
            }
            const int32_t refId = AtoI(*note);
            if (refId < 1 || static_cast<size_t>(refId) > refIds) {
                continue;
            }
            nextNote[noteId - 1] = firstNote[refId - 1];
            firstNote[refId - 1] = static_cast<uint32_t>(noteId);
        }
    }

    std::string name;  // one line's parts, the buffers kept from line to line
    std::string note;
    refs.ForEachEntry([&](int32_t refId, std::string_view refText) {
        if (text.size() >= kMaxRecordTextBytes) {
            return;  // the display cuts the text here; the rest is never shown
        }
        const size_t hash = refText.find('#');
        if (hash == std::string_view::npos || hash == 0) {
            return;
        }
        const int32_t personId = AtoI(refText);
        const int32_t roleId = AtoI(refText.substr(hash + 1));
        text.append("\r\nFilm-Person:\t");
        // A line needs both a role and a name; without either it shows
        // nothing, notes included: a note without its person would mislead.
        const std::optional<std::string_view> role = roles.FindById(roleId);
        const std::optional<std::string_view> person = persons.FindById(personId);
        name.clear();
        const bool shown = role && !role->empty() && person && AppendPersonName(name, *person);
        bool hasNote = false;
        if (shown) {
            note.clear();
            for (uint32_t n = firstNote.empty() ? 0 : firstNote[static_cast<size_t>(refId) - 1];
                 n != 0; n = nextNote[n - 1]) {
                note.append(hasNote ? ", " : "");
                hasNote = true;
                // A note without a tab still counts, with nothing after its
                // separator.
                const std::string_view noteText = *notes.FindById(static_cast<int32_t>(n));
                const size_t tab = noteText.find('\t');
                if (tab != std::string_view::npos) {
                    note.append(noteText.substr(tab + 1));
                }
            }
            AppendPersonText(text, *role, name,
                             hasNote ? std::optional<std::string_view>(note) : std::nullopt);
        }
        if (m_sink != nullptr) {
            PersonParts parts;
            if (shown) {
                parts = {true, *role, name, hasNote,
                         hasNote ? std::string_view(note) : std::string_view()};
            }
            m_sink->Person(parts);
        }
    });
    if (m_sink != nullptr) {
        m_sink->PersonsDone();
    }
    ResetRecordTables();
}

}  // namespace quorvel
