// Builds a box's typed record from the display's own walk: the same tokens,
// tables and person-block rules as the text lines, and only what the text
// shows. It stops where the text stops, or before a line that could take it
// past kMaxRecordBytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "boxfile/record.h"
#include "render/record_sink.h"

namespace quorvel {

// Placement: box fields belong to the box wherever they stand (a later one
// replaces an earlier one, as content and comment do). A DVD field starts a
// new DVD when the current one already has films or already has that field;
// a film title always starts a new film, any other film field when the
// current film already has it (tags count as fields; further titles,
// languages and persons add up). A person block belongs to the film that was
// current when its first reference stood, though its lines follow the token
// that ended it; a block that shows no line opens no film.
class RecordBuilder : public RecordSink {
public:
    void Token(const RenderedValue& value, bool lineShown) override;
    void Person(const PersonParts& person) override;
    void PersonsDone() override;
    void Sections(std::string_view content, std::string_view comment) override;
    void TextCut() override;

    Record Take() { return std::move(m_record); }

private:
    // A shown token held back while its person block's lines are pending,
    // its texts copied: the block's film, when it opens one, comes first.
    struct HeldToken {
        RenderedValue::Kind kind;
        unsigned char code;
        uint32_t number;
        std::string text, detail;
    };
    // The film a pending person block belongs to, as (DVD, film) indexes;
    // `open` until its first line opens it, when there was no current film.
    struct Owner {
        bool open;
        size_t dvd, film;
    };

    DvdRecord& Dvd(bool startNew);
    FilmRecord& Film(bool startNew);
    void Apply(const RenderedValue& value);
    void ApplyHeld();
    size_t HeldBytes() const;
    // The record's size is counted as it grows; each line is taken only when
    // the most it can add still fits in kMaxRecordBytes, else the record
    // stops (cut) before it.
    static size_t TokenBytes(std::string_view text, std::string_view detail);
    bool Room(size_t bytes) const;
    void Grow(size_t bytes) { m_bytes += bytes; }
    void Stop();

    Record m_record;
    std::optional<Owner> m_owner;
    std::optional<HeldToken> m_held;
    size_t m_bytes = 0;      // objects and texts taken so far
    bool m_stopped = false;  // cut: nothing more is taken
};

}  // namespace quorvel
