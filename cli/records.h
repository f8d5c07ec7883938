// A box's record as a tree of typed fields, built from the display's own
// walk: the same tokens, tables and person-block rules as the text lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "render/record_sink.h"

namespace quorvel {

// Texts are Windows-1252, as the record holds them.
// A resolved reference has both; one that names nothing has neither; a
// language line that is no reference has only its text as the language.
struct LanguageRecord {
    std::optional<std::string> language, detail;
};

struct PersonRecord {
    std::optional<std::string> role, name, note;  // all none when the line shows nothing
};

struct FilmRecord {
    std::optional<std::string> title, originalTitle;
    std::vector<std::string> furtherTitles;
    std::optional<uint32_t> fsk, year, length;
    std::optional<std::string> pictureFormat, genre, subtitles;
    std::vector<LanguageRecord> languages;
    std::vector<PersonRecord> persons;
    bool tags = false;
};

struct DvdRecord {
    std::optional<std::string> title;
    std::optional<uint32_t> regionMask;
    std::optional<uint32_t> opt, sn, low, high;
    std::optional<std::string> format, extra;
    std::optional<uint32_t> year;
    bool tags = false;
    std::optional<uint32_t> filmCount;
    std::vector<FilmRecord> films;
};

struct BoxRecord {
    std::optional<std::string> title, ean, packaging, extra;
    bool tags = false;
    std::optional<uint32_t> dvdCount;
};

struct Record {
    BoxRecord box;
    std::vector<DvdRecord> dvds;
    std::optional<std::string> content, comment;
    uint32_t unknownTokens = 0;
};

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

// Region numbers 1..8 of a mask; the mask 0x00 or 0xFF means region-free.
std::vector<int> RegionNumbers(uint32_t mask);
bool IsRegionFree(uint32_t mask);

}  // namespace quorvel
