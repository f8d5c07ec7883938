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

namespace quorvel {
namespace {

// Appends the display text of one reference: "[role] A, B" with " [N]"
// unless N is 1, then " {notes}" when any note names it. A line needs both a
// role and a name (a person text with two tabs); without either nothing is
// appended, notes included: a note without the person it belongs to would
// only mislead. forEachNote(emit) calls emit(noteText) for the reference's
// notes in table order.
// Where the parts of an appended entry lie in the text, for an observer that
// wants them without a second copy.
struct EntrySpans {
    bool shown = false;
    size_t nameBegin = 0;
    size_t nameEnd = 0;
    bool hasNote = false;
    size_t noteBegin = 0;
    size_t noteEnd = 0;
};

template <typename ForEachNote>
EntrySpans AppendPersonEntry(std::string& out, std::optional<std::string_view> role,
                             std::optional<std::string_view> person, ForEachNote&& forEachNote) {
    EntrySpans spans;
    if (!role || role->empty() || !person) {
        return spans;
    }
    const size_t tab1 = person->find('\t');
    if (tab1 == std::string_view::npos) {
        return spans;
    }
    const size_t tab2 = person->find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos) {
        return spans;
    }
    spans.shown = true;
    out += '[';
    out.append(*role);
    out.append("] ");
    spans.nameBegin = out.size();
    out.append(person->substr(0, tab1));
    out.append(", ");
    out.append(person->substr(tab1 + 1, tab2 - tab1 - 1));
    const int32_t count = AtoI(person->substr(tab2 + 1));
    if (count != 1) {
        char digits[16];
        const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, count);
        out.append(" [");
        out.append(digits, end.ptr);
        out += ']';
    }
    spans.nameEnd = out.size();
    bool any = false;
    forEachNote([&out, &any, &spans](std::string_view note) {
        out.append(any ? ", " : " {");
        if (!any) {
            spans.noteBegin = out.size();
        }
        any = true;
        // A note without a tab still counts, with nothing after its separator.
        const size_t tab = note.find('\t');
        if (tab != std::string_view::npos) {
            out.append(note.substr(tab + 1));
        }
    });
    if (any) {
        spans.hasNote = true;
        spans.noteEnd = out.size();
        out += '}';
    }
    return spans;
}

}  // namespace

std::string CRecordRenderer::FormatPersonEntry(int32_t roleId, int32_t personId,
                                               int32_t refId) const {
    const DefinitionTable& notes = Table(RecordTable::kPersonNote);
    std::string text;
    AppendPersonEntry(text, Table(RecordTable::kRole).FindById(roleId),
                      Table(RecordTable::kPerson).FindById(personId), [&](auto&& emit) {
                          notes.ForEachEntry([&](int32_t, std::string_view note) {
                              if (AtoI(note) == refId) {
                                  emit(note);
                              }
                          });
                      });
    return text;
}

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
        const std::optional<std::string_view> role = roles.FindById(roleId);
        const EntrySpans spans =
            AppendPersonEntry(text, role, persons.FindById(personId), [&](auto&& emit) {
                if (firstNote.empty()) {
                    return;
                }
                for (uint32_t n = firstNote[static_cast<size_t>(refId) - 1]; n != 0;
                     n = nextNote[n - 1]) {
                    emit(*notes.FindById(static_cast<int32_t>(n)));
                }
            });
        if (m_sink != nullptr) {
            // The parts are read back from the text just appended: no copies
            // unless someone listens, and none even then.
            PersonParts parts;
            if (spans.shown) {
                const std::string_view all = text;
                parts = {true, *role, all.substr(spans.nameBegin, spans.nameEnd - spans.nameBegin),
                         spans.hasNote,
                         spans.hasNote
                             ? all.substr(spans.noteBegin, spans.noteEnd - spans.noteBegin)
                             : std::string_view{}};
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
