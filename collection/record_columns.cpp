#include "collection/record_columns.h"

#include "app/text_util.h"

namespace quorvel {
namespace {

ColumnValue Text(const std::optional<std::string>& cp1252) {
    if (!cp1252) {
        return std::monostate{};
    }
    return Cp1252ToUtf8(*cp1252);
}

ColumnValue Number(const std::optional<uint32_t>& value) {
    if (!value) {
        return std::monostate{};
    }
    return int64_t{*value};
}

ColumnValue Flag(bool value) {
    return int64_t{value ? 1 : 0};
}

constexpr RecordColumn<BoxRecord> kBox[] = {
    {"title", ColumnKind::kText, [](const BoxRecord& b) { return Text(b.title); }},
    {"ean", ColumnKind::kText, [](const BoxRecord& b) { return Text(b.ean); }},
    {"packaging", ColumnKind::kText, [](const BoxRecord& b) { return Text(b.packaging); }},
    {"extra", ColumnKind::kText, [](const BoxRecord& b) { return Text(b.extra); }},
    {"tags", ColumnKind::kInteger, [](const BoxRecord& b) { return Flag(b.tags); }},
    {"dvd_count", ColumnKind::kInteger, [](const BoxRecord& b) { return Number(b.dvdCount); }},
};

constexpr RecordColumn<DvdRecord> kDvd[] = {
    {"title", ColumnKind::kText, [](const DvdRecord& d) { return Text(d.title); }},
    {"region_mask", ColumnKind::kInteger, [](const DvdRecord& d) { return Number(d.regionMask); }},
    {"opt", ColumnKind::kInteger, [](const DvdRecord& d) { return Number(d.opt); }},
    {"sn", ColumnKind::kInteger, [](const DvdRecord& d) { return Number(d.sn); }},
    {"low", ColumnKind::kInteger, [](const DvdRecord& d) { return Number(d.low); }},
    {"high", ColumnKind::kInteger, [](const DvdRecord& d) { return Number(d.high); }},
    {"format", ColumnKind::kText, [](const DvdRecord& d) { return Text(d.format); }},
    {"extra", ColumnKind::kText, [](const DvdRecord& d) { return Text(d.extra); }},
    {"year", ColumnKind::kInteger, [](const DvdRecord& d) { return Number(d.year); }},
    {"tags", ColumnKind::kInteger, [](const DvdRecord& d) { return Flag(d.tags); }},
    {"film_count", ColumnKind::kInteger, [](const DvdRecord& d) { return Number(d.filmCount); }},
};

constexpr RecordColumn<FilmRecord> kFilm[] = {
    {"title", ColumnKind::kText, [](const FilmRecord& f) { return Text(f.title); }},
    {"original_title", ColumnKind::kText,
     [](const FilmRecord& f) { return Text(f.originalTitle); }},
    {"fsk", ColumnKind::kInteger, [](const FilmRecord& f) { return Number(f.fsk); }},
    {"year", ColumnKind::kInteger, [](const FilmRecord& f) { return Number(f.year); }},
    {"length", ColumnKind::kInteger, [](const FilmRecord& f) { return Number(f.length); }},
    {"picture_format", ColumnKind::kText,
     [](const FilmRecord& f) { return Text(f.pictureFormat); }},
    {"genre", ColumnKind::kText, [](const FilmRecord& f) { return Text(f.genre); }},
    {"subtitles", ColumnKind::kText, [](const FilmRecord& f) { return Text(f.subtitles); }},
    {"tags", ColumnKind::kInteger, [](const FilmRecord& f) { return Flag(f.tags); }},
};

}  // namespace

std::span<const RecordColumn<BoxRecord>> BoxColumns() {
    return kBox;
}
std::span<const RecordColumn<DvdRecord>> DvdColumns() {
    return kDvd;
}
std::span<const RecordColumn<FilmRecord>> FilmColumns() {
    return kFilm;
}

}  // namespace quorvel
