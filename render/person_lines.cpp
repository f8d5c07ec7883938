// Person lines: one "Film-Person:" line per person reference of a block,
// built from the role, person and note tables.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/limits.h"
#include "app/text_util.h"
#include "render/record_renderer.h"

namespace quorvel {
namespace {

// The notes of one reference, joined by ", ". Empty optional: no note names
// the reference (a tabless note still counts as one, with nothing after it).
struct Notes {
    bool any = false;
    std::string joined;

    void Add(std::string_view noteText) {
        if (any) {
            joined += ", ";
        }
        any = true;
        const size_t tab = noteText.find('\t');
        if (tab != std::string_view::npos) {
            joined += noteText.substr(tab + 1);
        }
    }
};

// "A, B" when N is 1, else "A, B [N]"; empty when either tab is missing.
std::string FormatName(const std::string* entry) {
    if (entry == nullptr) {
        return {};
    }
    const std::string_view text = *entry;
    const size_t tab1 = text.find('\t');
    if (tab1 == std::string_view::npos) {
        return {};
    }
    const size_t tab2 = text.find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos) {
        return {};
    }
    std::string name(text.substr(0, tab1));
    name += ", ";
    name += text.substr(tab1 + 1, tab2 - tab1 - 1);
    const int32_t count = AtoI(text.substr(tab2 + 1));
    if (count != 1) {
        name += " [" + std::to_string(count) + "]";
    }
    return name;
}

// A line needs both a role and a name. Without either the text after the
// label stays empty, notes included: a note without the person it belongs to
// would only mislead.
std::string Compose(const std::string* role, const std::string& name, const Notes& notes) {
    if (role == nullptr || role->empty() || name.empty()) {
        return {};
    }
    std::string text = "[" + *role + "] " + name;
    if (notes.any) {
        text += " {" + notes.joined + "}";
    }
    return text;
}

}  // namespace

std::string CRecordRenderer::FormatPersonEntry(int32_t roleId, int32_t personId,
                                               int32_t refId) const {
    Notes notes;
    for (const TableEntry& note : Table(RecordTable::kPersonNote).Entries()) {
        if (AtoI(note.text) == refId) {
            notes.Add(note.text);
        }
    }
    return Compose(Table(RecordTable::kRole).FindById(roleId),
                   FormatName(Table(RecordTable::kPerson).FindById(personId)), notes);
}

void CRecordRenderer::AppendPersonLines(std::string& text) {
    // Group the notes by the reference they name once, so a long block stays
    // linear; each group keeps the notes' table order.
    std::unordered_map<int32_t, Notes> notesByRef;
    for (const TableEntry& note : Table(RecordTable::kPersonNote).Entries()) {
        notesByRef[AtoI(note.text)].Add(note.text);
    }
    static const Notes kNoNotes;

    for (const TableEntry& ref : Table(RecordTable::kPersonRef).Entries()) {
        if (text.size() >= kMaxRecordTextBytes) {
            break;  // the display cuts the text here; the rest is never shown
        }
        const std::string_view refText = ref.text;
        const size_t hash = refText.find('#');
        if (hash == std::string_view::npos || hash == 0) {
            continue;
        }
        const int32_t personId = AtoI(refText);
        const int32_t roleId = AtoI(refText.substr(hash + 1));
        const auto found = notesByRef.find(ref.id);
        const Notes& notes = found == notesByRef.end() ? kNoNotes : found->second;
        const std::string* role = Table(RecordTable::kRole).FindById(roleId);
        const std::string name = FormatName(Table(RecordTable::kPerson).FindById(personId));
        const std::string shown = Compose(role, name, notes);
        text += "\r\nFilm-Person:\t";
        text += shown;
        if (m_sink != nullptr) {
            PersonParts parts;
            if (!shown.empty()) {
                parts = {true, *role, name, notes.any, notes.joined};
            }
            m_sink->Person(parts);
        }
    }
    if (m_sink != nullptr) {
        m_sink->PersonsDone();
    }
    ResetRecordTables();
}

}  // namespace quorvel
