// A box's record as a tree of typed fields (RecordBuilder makes it from the
// display's own walk), and the facts of its file besides the record. Writers
// read both through one field table (record_fields.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "boxfile/box_display.h"

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

// The cover block as the display met it.
struct CoverFacts {
    bool present = false;
    const char* format = nullptr;   // "jpeg", "bmp", "gif", or nullptr for none of them
    size_t bytes = 0;               // after inflating
    std::optional<CoverSize> size;  // when the picture decoded
};

// What a box file tells besides its record.
struct BoxFileFacts {
    std::string file;  // the path as given
    bool shown = false;
    std::string problem;  // why this is no readable box file (UTF-8); empty when it is
    std::optional<unsigned char> flags;   // the header's flag byte, when read
    std::optional<ExportStamp> exported;  // the header's time stamp, when read
    CoverFacts cover;
};

}  // namespace quorvel
