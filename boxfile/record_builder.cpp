#include "boxfile/record_builder.h"

#include "render/token_codes.h"

namespace quorvel {
namespace {

std::optional<std::string> TextOrNone(std::string_view text) {
    return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

}  // namespace

DvdRecord& RecordBuilder::Dvd(bool startNew) {
    std::vector<DvdRecord>& dvds = m_record.dvds;
    if (dvds.empty() || startNew || !dvds.back().films.empty()) {
        dvds.emplace_back();
    }
    return dvds.back();
}

FilmRecord& RecordBuilder::Film(bool startNew) {
    if (m_record.dvds.empty()) {
        m_record.dvds.emplace_back();
    }
    std::vector<FilmRecord>& films = m_record.dvds.back().films;
    if (films.empty() || startNew) {
        films.emplace_back();
    }
    return films.back();
}

void RecordBuilder::Token(const RenderedValue& value, bool lineShown) {
    if (value.code == token::kPersonReference && !m_personOwner) {
        Film(false);
        m_personOwner.emplace(m_record.dvds.size() - 1, m_record.dvds.back().films.size() - 1);
    }
    if (lineShown) {
        ShownToken(value);
    }
}

void RecordBuilder::ShownToken(const RenderedValue& value) {
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
        if ((dvd->*member).has_value()) {
            dvd = &Dvd(true);
        }
        dvd->*member = fieldValue;
    };
    const auto filmField = [this](auto member, auto fieldValue) {
        FilmRecord* film = &Film(false);
        if ((film->*member).has_value()) {
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
            Dvd(false).tags = true;
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
            Film(false).tags = true;
            break;
        case token::kFilmLanguage:
            if (value.kind == Kind::kLanguageText) {
                Film(false).languages.push_back({text, std::nullopt});
            } else {
                Film(false).languages.push_back({TextOrNone(value.text), TextOrNone(value.detail)});
            }
            break;
        default:
            break;
    }
}

void RecordBuilder::Person(const PersonParts& person) {
    if (!m_personOwner) {  // every reference passes Token first; kept safe all the same
        Film(false);
        m_personOwner.emplace(m_record.dvds.size() - 1, m_record.dvds.back().films.size() - 1);
    }
    FilmRecord& film = m_record.dvds[m_personOwner->first].films[m_personOwner->second];
    PersonRecord record;
    if (person.shown) {
        record.role = std::string(person.role);
        record.name = std::string(person.name);
        if (person.hasNote) {
            record.note = std::string(person.note);
        }
    }
    film.persons.push_back(std::move(record));
}

void RecordBuilder::PersonsDone() {
    m_personOwner.reset();
}

void RecordBuilder::Sections(std::string_view content, std::string_view comment) {
    m_record.content = TextOrNone(content);
    m_record.comment = TextOrNone(comment);
}

}  // namespace quorvel
