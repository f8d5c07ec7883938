#include "cli/records_writer.h"

#include <variant>

#include "boxfile/record_fields.h"
#include "cli/json_text.h"

namespace quorvel {
namespace {

// Writes "[item, item, ...]", each item by `write`.
class JsonArray {
public:
    explicit JsonArray(std::string& out) : m_out(out) { m_out += '['; }
    ~JsonArray() { m_out += ']'; }
    JsonArray(const JsonArray&) = delete;
    JsonArray& operator=(const JsonArray&) = delete;

    std::string& Next() {
        m_out += m_first ? "" : ", ";
        m_first = false;
        return m_out;
    }

private:
    std::string& m_out;
    bool m_first = true;
};

// Writes one object's members in order, with the separators between them.
class JsonObject {
public:
    explicit JsonObject(std::string& out) : m_out(out) { m_out += '{'; }
    ~JsonObject() { m_out += '}'; }
    JsonObject(const JsonObject&) = delete;
    JsonObject& operator=(const JsonObject&) = delete;

    std::string& Key(std::string_view name) {
        m_out += m_first ? "" : ", ";
        m_first = false;
        AppendJsonString(m_out, name);
        m_out += ": ";
        return m_out;
    }

private:
    std::string& m_out;
    bool m_first = true;
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

template <typename... F>
struct Overloaded : F... {
    using F::operator()...;
};

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

}  // namespace

void RecordsWriter::AppendObject(std::string& out, const DumpedFile& file) {
    static const Record kEmpty;
    JsonObject object(out);
    AppendMembers(object, BoxFileFields(), {file, file.record ? *file.record : kEmpty});
}

}  // namespace quorvel
