// Builds a box's typed record from the display's own walk: the same tokens,
// tables and person-block rules as the text lines.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

#include "boxfile/record.h"
#include "render/record_sink.h"

namespace quorvel {

// Placement: box fields belong to the box wherever they stand (a later one
// replaces an earlier one, as content and comment do). A DVD field starts a
// new DVD when the current one already has films or already has that field;
// a film title always starts a new film, any other film field when the
// current film already has it. A person block belongs to the film that was
// current when its first reference stood, though its lines follow the token
// that ended it.
class RecordBuilder : public RecordSink {
public:
    void Token(const RenderedValue& value, bool lineShown) override;
    void Person(const PersonParts& person) override;
    void PersonsDone() override;
    void Sections(std::string_view content, std::string_view comment) override;

    Record Take() { return std::move(m_record); }

private:
    DvdRecord& Dvd(bool startNew);
    FilmRecord& Film(bool startNew);
    void ShownToken(const RenderedValue& value);

    Record m_record;
    // The film a pending person block belongs to, as (DVD, film) indexes.
    std::optional<std::pair<size_t, size_t>> m_personOwner;
};

}  // namespace quorvel
