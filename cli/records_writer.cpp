#include "cli/records_writer.h"

#include <variant>

#include "boxfile/record_fields.h"
#include "cli/json_text.h"
#include "cli/json_writer.h"

namespace quorvel {
namespace {

// Writes a JSON array or object: its brackets, and ", " between members.
class JsonList {
public:
    JsonList(std::string& out, char open, char close) : m_out(out), m_close(close) {
        m_out += open;
    }
    ~JsonList() { m_out += m_close; }
    JsonList(const JsonList&) = delete;
    JsonList& operator=(const JsonList&) = delete;

    // Where the next member goes.
    std::string& Next() {
        m_out += m_first ? "" : ", ";
        m_first = false;
        return m_out;
    }
    // Where the value of the next member, named `name`, goes.
    std::string& Key(std::string_view name) {
        AppendJsonString(Next(), name);
        return m_out += ": ";
    }

private:
    std::string& m_out;
    char m_close;
    bool m_first = true;
};

struct JsonArray : JsonList {
    explicit JsonArray(std::string& out) : JsonList(out, '[', ']') {}
};
struct JsonObject : JsonList {
    explicit JsonObject(std::string& out) : JsonList(out, '{', '}') {}
};

void AppendText(std::string& out, const std::optional<std::string>& cp1252) {
    if (cp1252) {
        AppendJsonCp1252(out, *cp1252);
    } else {
        out += "null";
    }
}

template <typename Entry, size_t kCount>
void AppendEntries(std::string& out, std::span<const Entry> entries,
                   const EntryMember<Entry> (&members)[kCount]) {
    JsonArray array(out);
    for (const Entry& entry : entries) {
        JsonObject object(array.Next());
        for (const EntryMember<Entry>& member : members) {
            AppendText(object.Key(member.key), entry.*member.member);
        }
    }
}

void AppendValue(std::string& out, const FieldValue& value) {
    std::visit(Overloaded{
                   [&out](std::monostate) { out += "null"; },
                   [&out](Cp1252Text text) { AppendJsonCp1252(out, text.text); },
                   [&out](const std::string& utf8) { AppendJsonString(out, utf8); },
                   [&out](int64_t number) { out += std::to_string(number); },
                   [&out](bool flag) { out += flag ? "true" : "false"; },
                   [&out](const RegionList& regions) {
                       JsonArray array(out);
                       for (const int region : regions) {
                           array.Next() += std::to_string(region);
                       }
                   },
                   [&out](std::span<const std::string> texts) {
                       JsonArray array(out);
                       for (const std::string& text : texts) {
                           AppendJsonCp1252(array.Next(), text);
                       }
                   },
                   [&out](std::span<const LanguageRecord> languages) {
                       AppendEntries(out, languages, kLanguageMembers);
                   },
                   [&out](std::span<const PersonRecord> persons) {
                       AppendEntries(out, persons, kPersonMembers);
                   },
               },
               value);
}

// The members `fields` give for `source`. A run of rows of one group is an
// object of its own, null when none of its members has a value; a kItems row
// is an array of the next level's objects.
void AppendMembers(JsonObject& object, std::span<const Field> fields, const FieldSource& source) {
    for (size_t i = 0; i < fields.size();) {
        const Field& field = fields[i];
        const size_t end = GroupEnd(fields, i);
        if (!field.group.empty()) {
            std::vector<std::pair<std::string_view, FieldValue>> members;
            bool any = false;
            for (size_t j = i; j < end; ++j) {
                if (std::optional<FieldValue> value = PresentValue(fields[j], source)) {
                    any = any || !std::holds_alternative<std::monostate>(*value);
                    members.emplace_back(fields[j].jsonKey, std::move(*value));
                }
            }
            if (!members.empty() && !any) {
                object.Key(field.group) += "null";
            } else if (!members.empty()) {
                JsonObject group(object.Key(field.group));
                for (const auto& [key, value] : members) {
                    AppendValue(group.Key(key), value);
                }
            }
        } else if (const std::optional<FieldValue> value = PresentValue(field, source)) {
            std::string& out = object.Key(field.jsonKey);
            if (field.kind == FieldKind::kItems) {
                JsonArray array(out);
                ForEachItem(field, source, [&](const FieldSource& item) {
                    JsonObject itemObject(array.Next());
                    AppendMembers(itemObject, field.items, item);
                });
            } else {
                AppendValue(out, *value);
            }
        }
        i = end;
    }
}

void AppendRecordObject(std::string& out, const DumpedFile& file) {
    static const Record kEmpty;
    JsonObject object(out);
    AppendMembers(object, BoxFileFields(), {file, file.record ? *file.record : kEmpty});
}

}  // namespace

std::unique_ptr<DumpWriter> MakeRecordsWriter(const WriterSetup& setup) {
    return MakeJsonListWriter(setup, ",\n", &AppendRecordObject);
}

}  // namespace quorvel
