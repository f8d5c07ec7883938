#include "boxfile/record_builder.h"

#include "app/limits.h"
#include "render/token_codes.h"

namespace quorvel {
namespace {

std::optional<std::string> TextOrNone(std::string_view text) {
    return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

template <typename T>
bool IsSet(const std::optional<T>& field) {
    return field.has_value();
}
bool IsSet(bool field) {
    return field;
}

}  // namespace

// The most a shown token can add: a DVD, a film, an entry and its texts.
size_t RecordBuilder::TokenBytes(std::string_view text, std::string_view detail) {
    return sizeof(DvdRecord) + sizeof(FilmRecord) + sizeof(LanguageRecord) + text.size() +
           detail.size();
}

bool RecordBuilder::Room(size_t bytes) const {
    return m_bytes + bytes <= kMaxRecordBytes;
}

void RecordBuilder::Stop() {
    m_record.cut = true;
    m_stopped = true;
}

DvdRecord& RecordBuilder::Dvd(bool startNew) {
    std::vector<DvdRecord>& dvds = m_record.dvds;
    if (dvds.empty() || startNew || !dvds.back().films.empty()) {
        dvds.emplace_back();
        Grow(sizeof(DvdRecord));
    }
    return dvds.back();
}

FilmRecord& RecordBuilder::Film(bool startNew) {
    if (m_record.dvds.empty()) {
        m_record.dvds.emplace_back();
        Grow(sizeof(DvdRecord));
    }
    std::vector<FilmRecord>& films = m_record.dvds.back().films;
    if (films.empty() || startNew) {
        films.emplace_back();
        Grow(sizeof(FilmRecord));
    }
    return films.back();
}

void RecordBuilder::Token(const RenderedValue& value, bool lineShown) {
    if (m_stopped) {
        return;
    }
    if (value.code == token::kPersonReference && !m_owner) {
        const std::vector<DvdRecord>& dvds = m_record.dvds;
        m_owner = Owner{true, 0, 0};
        if (!dvds.empty() && !dvds.back().films.empty()) {
            m_owner = Owner{false, dvds.size() - 1, dvds.back().films.size() - 1};
        }
    }
    if (!lineShown) {
        return;
    }
    if (m_owner) {
        m_held = HeldToken{value.kind, value.code, value.number, std::string(value.text),
                           std::string(value.detail)};
    } else if (Room(TokenBytes(value.text, value.detail))) {
        Apply(value);
    } else {
        Stop();
    }
}

void RecordBuilder::ApplyHeld() {
    if (m_held) {
        const HeldToken held = std::move(*m_held);
        m_held.reset();
        if (Room(TokenBytes(held.text, held.detail))) {
            Apply({held.code, held.kind, held.text, held.detail, held.number});
        } else {
            Stop();
        }
    }
}

size_t RecordBuilder::HeldBytes() const {
    return m_held ? TokenBytes(m_held->text, m_held->detail) : 0;
}

void RecordBuilder::Apply(const RenderedValue& value) {
    using Kind = RenderedValue::Kind;
    if (value.kind == Kind::kUnknown) {
        ++m_record.unknownTokens;
        return;
    }
    const std::string text(value.text);
    const uint32_t number = value.number;
    // Sets a DVD or film field, starting a new DVD or film when it is taken.
    const auto dvdField = [this](auto member, auto fieldValue) {
        DvdRecord* dvd = &Dvd(false);
        if (IsSet(dvd->*member)) {
            dvd = &Dvd(true);
        }
        dvd->*member = fieldValue;
    };
    const auto filmField = [this](auto member, auto fieldValue) {
        FilmRecord* film = &Film(false);
        if (IsSet(film->*member)) {
            film = &Film(true);
        }
        film->*member = fieldValue;
    };
    BoxRecord& box = m_record.box;
    switch (value.code) {
        case token::kBoxTitle:
            box.title = text;
            break;
        case token::kBoxEan:
            box.ean = text;
            break;
        case token::kBoxPackaging:
            box.packaging = text;
            break;
        case token::kBoxExtra:
            box.extra = text;
            break;
        case token::kBoxTags:
            box.tags = true;
            break;
        case token::kBoxDvdCount:
            box.dvdCount = number;
            break;
        case token::kDvdTitle:
            dvdField(&DvdRecord::title, text);
            break;
        case token::kDvdRegion:
            dvdField(&DvdRecord::regionMask, number);
            break;
        case token::kDvdOpt:
            dvdField(&DvdRecord::opt, number);
            break;
        case token::kDvdSerial:
            dvdField(&DvdRecord::sn, number);
            break;
        case token::kDvdLow:
            dvdField(&DvdRecord::low, number);
            break;
        case token::kDvdHigh:
            dvdField(&DvdRecord::high, number);
            break;
        case token::kDvdFormat:
            dvdField(&DvdRecord::format, text);
            break;
        case token::kDvdExtra:
            dvdField(&DvdRecord::extra, text);
            break;
        case token::kDvdYear:
            dvdField(&DvdRecord::year, number);
            break;
        case token::kDvdTags:
            dvdField(&DvdRecord::tags, true);
            break;
        case token::kDvdFilmCount:
            dvdField(&DvdRecord::filmCount, number);
            break;
        case token::kFilmTitle:
            Film(true).title = text;
            break;
        case token::kFilmOriginalTitle:
            filmField(&FilmRecord::originalTitle, text);
            break;
        case token::kFilmFurtherTitle:
            Film(false).furtherTitles.push_back(text);
            Grow(sizeof(std::string));
            break;
        case token::kFilmRating:
            filmField(&FilmRecord::fsk, number);
            break;
        case token::kFilmYear:
            filmField(&FilmRecord::year, number);
            break;
        case token::kFilmLength:
            filmField(&FilmRecord::length, number);
            break;
        case token::kFilmPictureFormat:
            filmField(&FilmRecord::pictureFormat, text);
            break;
        case token::kFilmGenre:
            filmField(&FilmRecord::genre, text);
            break;
        case token::kFilmSubtitle:
            filmField(&FilmRecord::subtitles, text);
            break;
        case token::kFilmTags:
            filmField(&FilmRecord::tags, true);
            break;
        case token::kFilmLanguage:
            if (value.kind == Kind::kLanguageText) {
                Film(false).languages.push_back({text, std::nullopt});
            } else {
                Film(false).languages.push_back({TextOrNone(value.text), TextOrNone(value.detail)});
            }
            Grow(sizeof(LanguageRecord) + value.detail.size());
            break;
        default:
            break;
    }
    Grow(text.size());
}

void RecordBuilder::Person(const PersonParts& person) {
    if (m_stopped) {
        return;
    }
    const size_t bytes =
        sizeof(PersonRecord) + person.role.size() + person.name.size() + person.note.size();
    if (!Room(sizeof(DvdRecord) + sizeof(FilmRecord) + HeldBytes() + bytes)) {
        // The record ends before this line; the token that ended the block
        // came before it.
        ApplyHeld();
        Stop();
        return;
    }
    // Every reference passes Token first, so there is an owner; kept safe
    // all the same.
    if (!m_owner || m_owner->open) {
        Film(false);
        m_owner = Owner{false, m_record.dvds.size() - 1, m_record.dvds.back().films.size() - 1};
    }
    // The token that ended the block comes after the block's film.
    if (!m_stopped) {
        ApplyHeld();
    }
    if (m_stopped) {
        return;
    }
    FilmRecord& film = m_record.dvds[m_owner->dvd].films[m_owner->film];
    PersonRecord record;
    if (person.shown) {
        record.role = std::string(person.role);
        record.name = std::string(person.name);
        if (person.hasNote) {
            record.note = std::string(person.note);
        }
    }
    film.persons.push_back(std::move(record));
    Grow(bytes);
}

void RecordBuilder::PersonsDone() {
    if (!m_stopped) {
        ApplyHeld();
    }
    m_owner.reset();
}

void RecordBuilder::Sections(std::string_view content, std::string_view comment) {
    if (m_stopped) {
        return;
    }
    if (!Room(content.size() + comment.size())) {
        Stop();
        return;
    }
    m_record.content = TextOrNone(content);
    m_record.comment = TextOrNone(comment);
    Grow(content.size() + comment.size());
}

void RecordBuilder::TextCut() {
    if (!m_stopped) {
        ApplyHeld();
    }
    Stop();
}

}  // namespace quorvel
