#include "cli/records_json.h"

#include <cstdio>

#include "boxfile/box_loader.h"
#include "cli/json_text.h"

namespace quorvel {
namespace {

// Writes one object's members in order, with the separators between them.
class JsonObject {
public:
    explicit JsonObject(std::string& out) : m_out(out) { m_out += '{'; }
    ~JsonObject() { m_out += '}'; }
    JsonObject(const JsonObject&) = delete;
    JsonObject& operator=(const JsonObject&) = delete;

    std::string& Key(std::string_view name) {
        if (!m_first) {
            m_out += ", ";
        }
        m_first = false;
        AppendJsonString(m_out, name);
        m_out += ": ";
        return m_out;
    }
    void Text(std::string_view name, const std::optional<std::string>& cp1252) {
        std::string& out = Key(name);
        if (cp1252) {
            AppendJsonCp1252(out, *cp1252);
        } else {
            out += "null";
        }
    }
    void Number(std::string_view name, const std::optional<int64_t>& value) {
        std::string& out = Key(name);
        out += value ? std::to_string(*value) : "null";
    }
    void Number(std::string_view name, const std::optional<uint32_t>& value) {
        Number(name, value ? std::optional<int64_t>(*value) : std::nullopt);
    }
    void Bool(std::string_view name, bool value) { Key(name) += value ? "true" : "false"; }

private:
    std::string& m_out;
    bool m_first = true;
};

// Appends "[item, item, ...]", each item written by `write`.
template <typename Items, typename Write>
void Array(std::string& out, const Items& items, Write write) {
    out += '[';
    bool first = true;
    for (const auto& item : items) {
        if (!first) {
            out += ", ";
        }
        first = false;
        write(item);
    }
    out += ']';
}

void AppendFilm(std::string& out, const FilmRecord& film) {
    JsonObject o(out);
    o.Text("title", film.title);
    o.Text("originalTitle", film.originalTitle);
    Array(o.Key("furtherTitles"), film.furtherTitles,
          [&out](const std::string& title) { AppendJsonCp1252(out, title); });
    o.Number("fsk", film.fsk);
    o.Number("year", film.year);
    o.Number("length", film.length);
    o.Text("pictureFormat", film.pictureFormat);
    o.Text("genre", film.genre);
    o.Text("subtitles", film.subtitles);
    Array(o.Key("languages"), film.languages, [&out](const LanguageRecord& language) {
        JsonObject l(out);
        l.Text("language", language.language);
        l.Text("detail", language.detail);
    });
    Array(o.Key("persons"), film.persons, [&out](const PersonRecord& person) {
        JsonObject p(out);
        p.Text("role", person.role);
        p.Text("name", person.name);
        p.Text("note", person.note);
    });
    o.Bool("tags", film.tags);
}

void AppendDvd(std::string& out, const DvdRecord& dvd) {
    JsonObject o(out);
    o.Text("title", dvd.title);
    if (dvd.regionMask) {
        Array(o.Key("regions"), RegionNumbers(*dvd.regionMask),
              [&out](int region) { out += std::to_string(region); });
        o.Bool("regionFree", IsRegionFree(*dvd.regionMask));
    } else {
        o.Key("regions") += "null";
        o.Key("regionFree") += "null";
    }
    o.Number("opt", dvd.opt);
    o.Number("sn", dvd.sn);
    o.Number("low", dvd.low);
    o.Number("high", dvd.high);
    o.Text("format", dvd.format);
    o.Text("extra", dvd.extra);
    o.Number("year", dvd.year);
    o.Bool("tags", dvd.tags);
    o.Number("filmCount", dvd.filmCount);
    Array(o.Key("films"), dvd.films, [&out](const FilmRecord& film) { AppendFilm(out, film); });
}

void AppendCover(std::string& out, const CoverFacts& cover) {
    if (!cover.present) {
        out += "null";
        return;
    }
    JsonObject o(out);
    std::string& format = o.Key("format");
    if (cover.format != nullptr) {
        AppendJsonString(format, cover.format);
    } else {
        format += "null";
    }
    o.Number("width", cover.size ? std::optional<int64_t>(cover.size->width) : std::nullopt);
    o.Number("height", cover.size ? std::optional<int64_t>(cover.size->height) : std::nullopt);
    o.Number("bytes", std::optional<int64_t>(cover.bytes));
}

bool IsLeapYear(int32_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

}  // namespace

std::string IsoTimestamp(const ExportStamp& s) {
    static constexpr int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
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
    return text;
}

void AppendRecordJson(std::string& out, const DumpedFile& f) {
    JsonObject o(out);
    AppendJsonString(o.Key("file"), SanitizeUtf8(f.file));
    o.Bool("shown", f.shown);
    if (!f.problem.empty()) {
        AppendJsonString(o.Key("error"), f.problem);
    }
    if (!f.shown) {
        return;
    }
    std::string& exported = o.Key("exported");
    const std::string iso = f.exported ? IsoTimestamp(*f.exported) : std::string();
    if (iso.empty()) {
        exported += "null";
    } else {
        AppendJsonString(exported, iso);
    }
    {
        std::string& compression = o.Key("compression");
        JsonObject c(compression);
        const unsigned char flags = f.flags.value_or(0);
        c.Bool("cover", (flags & BOX_COVER_COMPRESSED) != 0);
        c.Bool("data", (flags & BOX_DATA_COMPRESSED) != 0);
    }
    AppendCover(o.Key("cover"), f.cover);
    static const Record kEmpty;
    const Record& record = f.record ? *f.record : kEmpty;
    {
        JsonObject b(o.Key("box"));
        b.Text("title", record.box.title);
        b.Text("ean", record.box.ean);
        b.Text("packaging", record.box.packaging);
        b.Text("extra", record.box.extra);
        b.Bool("tags", record.box.tags);
        b.Number("dvdCount", record.box.dvdCount);
    }
    Array(o.Key("dvds"), record.dvds, [&out](const DvdRecord& dvd) { AppendDvd(out, dvd); });
    o.Text("content", record.content);
    o.Text("comment", record.comment);
    o.Number("unknownTokens", std::optional<uint32_t>(record.unknownTokens));
}

}  // namespace quorvel
