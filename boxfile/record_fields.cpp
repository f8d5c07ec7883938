#include "boxfile/record_fields.h"

#include <cstdio>
#include <type_traits>

#include "app/text_util.h"
#include "boxfile/box_loader.h"
#include "render/value_texts.h"

namespace quorvel {
namespace {

using Kind = FieldKind;
using Level = FieldLevel;
using Presence = FieldPresence;

// ---- values of record members, by member type

FieldValue ValueOf(const std::optional<std::string>& text) {
    return text ? FieldValue(Cp1252Text{*text}) : FieldValue();
}
FieldValue ValueOf(const std::optional<uint32_t>& number) {
    return number ? FieldValue(int64_t{*number}) : FieldValue();
}
FieldValue ValueOf(uint32_t number) {
    return int64_t{number};
}
FieldValue ValueOf(bool flag) {
    return flag;
}
template <typename Item>
FieldValue ValueOf(const std::vector<Item>& items) {
    return std::span<const Item>(items);
}

template <typename T>
constexpr Kind KindOf() {
    if constexpr (std::is_same_v<T, std::optional<std::string>>) {
        return Kind::kText;
    } else if constexpr (std::is_same_v<T, bool>) {
        return Kind::kBool;
    } else if constexpr (std::is_same_v<T, std::vector<std::string>>) {
        return Kind::kTextList;
    } else if constexpr (std::is_same_v<T, std::vector<LanguageRecord>>) {
        return Kind::kLanguages;
    } else if constexpr (std::is_same_v<T, std::vector<PersonRecord>>) {
        return Kind::kPersons;
    } else {
        static_assert(std::is_same_v<T, uint32_t> || std::is_same_v<T, std::optional<uint32_t>>);
        return Kind::kNumber;
    }
}

// The object of the source a member belongs to, and its level and group.
template <typename Owner>
struct Place;
template <>
struct Place<Record> {
    static const Record& Of(const FieldSource& s) { return s.record; }
    static constexpr Level kLevel = Level::kBox;
    static constexpr std::string_view kGroup = "";
};
template <>
struct Place<BoxRecord> {
    static const BoxRecord& Of(const FieldSource& s) { return s.record.box; }
    static constexpr Level kLevel = Level::kBox;
    static constexpr std::string_view kGroup = "box";
};
template <>
struct Place<DvdRecord> {
    static const DvdRecord& Of(const FieldSource& s) { return *s.dvd; }
    static constexpr Level kLevel = Level::kDvd;
    static constexpr std::string_view kGroup = "";
};
template <>
struct Place<FilmRecord> {
    static const FilmRecord& Of(const FieldSource& s) { return *s.film; }
    static constexpr Level kLevel = Level::kFilm;
    static constexpr std::string_view kGroup = "";
};

template <typename Owner, typename T>
Owner OwnerOf(T Owner::*);
template <typename Owner, typename T>
T TypeOf(T Owner::*);

template <auto Member>
FieldValue ReadMember(const FieldSource& source) {
    using Owner = decltype(OwnerOf(Member));
    return ValueOf(Place<Owner>::Of(source).*Member);
}

// A row for a record member: level, group and kind follow from the member.
template <auto Member>
constexpr Field Of(std::string_view name, std::string_view key, std::string_view column) {
    using Owner = decltype(OwnerOf(Member));
    using Type = decltype(TypeOf(Member));
    return {Place<Owner>::kLevel,
            name,
            Place<Owner>::kGroup,
            key,
            column,
            KindOf<Type>(),
            Presence::kWhenShown,
            &ReadMember<Member>,
            {}};
}

constexpr Field Items(Level level, std::string_view name, std::span<const Field> items) {
    return {level, name, "", name, "", Kind::kItems, Presence::kWhenShown, nullptr, items};
}

// ---- values of the file and of the DVD's region mask

bool IsLeapYear(int32_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// "2007-03-14T20:15:00"; none when unset or no real date and time.
FieldValue Exported(const FieldSource& source) {
    static constexpr int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (!source.file.exported) {
        return {};
    }
    const ExportStamp& s = *source.file.exported;
    if (s.year < 1 || s.year > 9999 || s.month < 1 || s.month > 12 || s.day < 1 || s.hour < 0 ||
        s.hour > 23 || s.minute < 0 || s.minute > 59 || s.second < 0 || s.second > 59) {
        return {};
    }
    const int32_t days = kDays[s.month - 1] + (s.month == 2 && IsLeapYear(s.year) ? 1 : 0);
    if (s.day > days) {
        return {};
    }
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", s.year, s.month, s.day,
                  s.hour, s.minute, s.second);
    return std::string(text);
}

FieldValue FileName(const FieldSource& source) {
    return SanitizeUtf8(source.file.file);
}
FieldValue Shown(const FieldSource& source) {
    return source.file.shown;
}
FieldValue Problem(const FieldSource& source) {
    return source.file.problem.empty() ? FieldValue() : FieldValue(source.file.problem);
}
template <unsigned char kFlag>
FieldValue Compressed(const FieldSource& source) {
    return (source.file.flags.value_or(0) & kFlag) != 0;
}
FieldValue CoverFormatName(const FieldSource& source) {
    const CoverFacts& cover = source.file.cover;
    return cover.present && cover.format != nullptr ? FieldValue(std::string(cover.format))
                                                    : FieldValue();
}
template <int32_t CoverSize::*kSide>
FieldValue CoverSide(const FieldSource& source) {
    const CoverFacts& cover = source.file.cover;
    return cover.present && cover.size ? FieldValue(int64_t{(*cover.size).*kSide}) : FieldValue();
}
FieldValue CoverBytes(const FieldSource& source) {
    const CoverFacts& cover = source.file.cover;
    return cover.present ? FieldValue(static_cast<int64_t>(cover.bytes)) : FieldValue();
}
FieldValue Regions(const FieldSource& source) {
    const std::optional<uint32_t>& mask = source.dvd->regionMask;
    return mask ? FieldValue(RegionNumbers(*mask)) : FieldValue();
}
FieldValue RegionFree(const FieldSource& source) {
    const std::optional<uint32_t>& mask = source.dvd->regionMask;
    return mask ? FieldValue(IsRegionFree(*mask)) : FieldValue();
}

// A row whose value is worked out rather than a record member.
constexpr Field Computed(Level level, std::string_view name, std::string_view group,
                         std::string_view key, std::string_view column, Kind kind,
                         Presence presence, FieldValue (*read)(const FieldSource&)) {
    return {level, name, group, key, column, kind, presence, read, {}};
}
constexpr Field File(std::string_view name, std::string_view group, std::string_view key,
                     std::string_view column, Kind kind, Presence presence,
                     FieldValue (*read)(const FieldSource&)) {
    return Computed(Level::kFile, name, group, key, column, kind, presence, read);
}

constexpr Field kFilmFields[] = {
    Of<&FilmRecord::title>("title", "title", "film.title"),
    Of<&FilmRecord::originalTitle>("original_title", "originalTitle", "film.originalTitle"),
    Of<&FilmRecord::furtherTitles>("further_titles", "furtherTitles", "film.furtherTitles"),
    Of<&FilmRecord::fsk>("fsk", "fsk", "film.fsk"),
    Of<&FilmRecord::year>("year", "year", "film.year"),
    Of<&FilmRecord::length>("length", "length", "film.length"),
    Of<&FilmRecord::pictureFormat>("picture_format", "pictureFormat", "film.pictureFormat"),
    Of<&FilmRecord::genre>("genre", "genre", "film.genre"),
    Of<&FilmRecord::subtitles>("subtitles", "subtitles", "film.subtitles"),
    Of<&FilmRecord::languages>("languages", "languages", "film.languages"),
    Of<&FilmRecord::persons>("persons", "persons", "film.persons"),
    Of<&FilmRecord::tags>("tags", "tags", "film.tags"),
};

constexpr Field kDvdFields[] = {
    Of<&DvdRecord::title>("title", "title", "dvd.title"),
    Computed(Level::kDvd, "regions", "", "regions", "dvd.regions", Kind::kRegions,
             Presence::kWhenShown, &Regions),
    Computed(Level::kDvd, "region_free", "", "regionFree", "dvd.regionFree", Kind::kBool,
             Presence::kWhenShown, &RegionFree),
    Of<&DvdRecord::opt>("opt", "opt", "dvd.opt"),
    Of<&DvdRecord::sn>("sn", "sn", "dvd.sn"),
    Of<&DvdRecord::low>("low", "low", "dvd.low"),
    Of<&DvdRecord::high>("high", "high", "dvd.high"),
    Of<&DvdRecord::format>("format", "format", "dvd.format"),
    Of<&DvdRecord::extra>("extra", "extra", "dvd.extra"),
    Of<&DvdRecord::year>("year", "year", "dvd.year"),
    Of<&DvdRecord::tags>("tags", "tags", "dvd.tags"),
    Of<&DvdRecord::filmCount>("film_count", "filmCount", "dvd.filmCount"),
    Items(Level::kDvd, "films", kFilmFields),
};

constexpr Field kBoxFileFields[] = {
    File("file", "", "file", "file", Kind::kText, Presence::kAlways, &FileName),
    File("shown", "", "shown", "", Kind::kBool, Presence::kAlways, &Shown),
    File("error", "", "error", "error", Kind::kText, Presence::kWhenSet, &Problem),
    File("exported", "", "exported", "exported", Kind::kText, Presence::kWhenShown, &Exported),
    File("cover_compressed", "compression", "cover", "", Kind::kBool, Presence::kWhenShown,
         &Compressed<BOX_COVER_COMPRESSED>),
    File("data_compressed", "compression", "data", "", Kind::kBool, Presence::kWhenShown,
         &Compressed<BOX_DATA_COMPRESSED>),
    File("cover_format", "cover", "format", "cover.format", Kind::kText, Presence::kWhenShown,
         &CoverFormatName),
    File("cover_width", "cover", "width", "cover.width", Kind::kNumber, Presence::kWhenShown,
         &CoverSide<&CoverSize::width>),
    File("cover_height", "cover", "height", "cover.height", Kind::kNumber, Presence::kWhenShown,
         &CoverSide<&CoverSize::height>),
    File("cover_bytes", "cover", "bytes", "cover.bytes", Kind::kNumber, Presence::kWhenShown,
         &CoverBytes),
    Of<&BoxRecord::title>("title", "title", "box.title"),
    Of<&BoxRecord::ean>("ean", "ean", "box.ean"),
    Of<&BoxRecord::packaging>("packaging", "packaging", "box.packaging"),
    Of<&BoxRecord::extra>("extra", "extra", "box.extra"),
    Of<&BoxRecord::tags>("tags", "tags", "box.tags"),
    Of<&BoxRecord::dvdCount>("dvd_count", "dvdCount", "box.dvdCount"),
    Items(Level::kBox, "dvds", kDvdFields),
    Of<&Record::content>("content", "content", "content"),
    Of<&Record::comment>("comment", "comment", "comment"),
    Of<&Record::unknownTokens>("unknown_tokens", "unknownTokens", ""),
};

// Appends items joined by "; ": a separator before each once the text holds
// anything.
template <typename Items, typename Append>
std::string Joined(const Items& items, Append append) {
    std::string text;
    for (const auto& item : items) {
        const size_t before = text.size();
        if (before != 0) {
            text += "; ";
        }
        if (!append(text, item)) {
            text.resize(before);  // an item that shows nothing is left out
        }
    }
    return text;
}

}  // namespace

std::span<const Field> BoxFileFields() {
    return kBoxFileFields;
}

size_t GroupEnd(std::span<const Field> fields, size_t at) {
    size_t end = at + 1;
    while (!fields[at].group.empty() && end < fields.size() &&
           fields[end].group == fields[at].group) {
        ++end;
    }
    return end;
}

std::optional<FieldValue> PresentValue(const Field& field, const FieldSource& source) {
    if ((field.level == Level::kDvd && source.dvd == nullptr) ||
        (field.level == Level::kFilm && source.film == nullptr) ||
        (field.presence == Presence::kWhenShown && !source.file.shown)) {
        return std::nullopt;
    }
    FieldValue value = field.read != nullptr ? field.read(source) : FieldValue();
    if (field.presence == Presence::kWhenSet && std::holds_alternative<std::monostate>(value)) {
        return std::nullopt;
    }
    return value;
}

std::string ValueText(const FieldValue& value) {
    return std::visit(
        Overloaded{
            [](std::monostate) { return std::string(); },
            [](Cp1252Text text) { return Cp1252ToUtf8(text.text); },
            [](const std::string& utf8) { return utf8; },
            [](int64_t number) { return std::to_string(number); },
            [](bool flag) { return std::string(flag ? "true" : "false"); },
            [](const RegionList& regions) {
                return Joined(regions, [](std::string& out, int region) {
                    out += std::to_string(region);
                    return true;
                });
            },
            [](std::span<const std::string> texts) {
                return Cp1252ToUtf8(Joined(texts, [](std::string& out, const std::string& text) {
                    out += text;
                    return true;
                }));
            },
            [](std::span<const LanguageRecord> languages) {
                return Cp1252ToUtf8(
                    Joined(languages, [](std::string& out, const LanguageRecord& l) {
                        if (l.language && l.detail) {
                            AppendLanguageText(out, *l.language, *l.detail);
                        } else if (l.language) {
                            out += *l.language;
                        }
                        return l.language.has_value();
                    }));
            },
            [](std::span<const PersonRecord> persons) {
                return Cp1252ToUtf8(Joined(persons, [](std::string& out, const PersonRecord& p) {
                    if (p.role && p.name) {
                        AppendPersonText(out, *p.role, *p.name, p.note);
                    }
                    return p.role && p.name;
                }));
            },
        },
        value);
}

}  // namespace quorvel
