// Run: ctest --test-dir build -R Dump   (or build/tests/dump_tests)
// quorvel-dump: raw bytes, human text, usage errors, the exit status per
// kind of file, and --records and --csv against the field table and each
// other. JSON labels and texts, and the status for every generated file, are
// compared with the independent model (ModelAgreement).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "boxfile/record_fields.h"
#include "support/box_builder.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

using testing::Bytes;
using testing::Token;

struct ToolRun {
    int status = -1;
    std::string out;
};

// Runs the built tool with `args` (already shell-quoted).
ToolRun RunDump(const std::string& args) {
    const std::string command =
        std::string(QUORVEL_BINARY_DIR) + "/cli/quorvel-dump " + args + " 2>/dev/null";
    ToolRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, got);
    }
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// RFC 4180 text as rows of fields.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows(1);
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
            field += text[++i];
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == ',' || text.compare(i, 2, "\r\n") == 0)) {
            rows.back().push_back(std::exchange(field, {}));
            if (c == '\r') {
                rows.emplace_back();
                ++i;
            }
        } else {
            field += c;
        }
    }
    rows.pop_back();  // after the last line end
    return rows;
}

// The CSV columns a table names, in order, the next level's in place of its
// kItems row.
void CsvColumns(std::span<const Field> fields, std::vector<const Field*>& columns) {
    for (const Field& field : fields) {
        if (field.kind == FieldKind::kItems) {
            CsvColumns(field.items, columns);
        } else if (!field.csvColumn.empty()) {
            columns.push_back(&field);
        }
    }
}

// The keys of `object` are the ones the table gives its level, group by
// group and level by level.
void ExpectKeys(const QJsonObject& object, std::span<const Field> fields, bool shown) {
    QStringList keys;
    for (const Field& field : fields) {
        const QString key = QString::fromUtf8(field.group.empty() ? field.jsonKey : field.group);
        if ((field.presence == FieldPresence::kWhenShown && !shown) ||
            (field.presence == FieldPresence::kWhenSet && !object.contains(key)) ||
            keys.contains(key)) {
            continue;
        }
        keys.push_back(key);
        if (!field.group.empty() && object[key].isObject()) {
            QStringList members;
            for (const Field& member : fields) {
                if (member.group == field.group) {
                    members.push_back(QString::fromUtf8(member.jsonKey));
                }
            }
            const QJsonObject group = object[key].toObject();
            EXPECT_EQ(group.keys(), (members.sort(), members)) << field.group;
            // A group of which nothing is known is null instead.
            EXPECT_TRUE(std::any_of(group.begin(), group.end(), [](const QJsonValue& v) {
                return !v.isNull();
            })) << field.group;
        }
        for (const QJsonValue item : object[key].toArray()) {
            if (field.kind == FieldKind::kItems) {
                ExpectKeys(item.toObject(), field.items, shown);
            }
        }
    }
    EXPECT_EQ(object.keys(), (keys.sort(), keys));
}

// A record value as its CSV cell: lists joined by "; ", languages and
// persons as the record text shows them.
std::string CellOf(const QJsonValue& value) {
    if (value.isBool()) {
        return value.toBool() ? "true" : "false";
    }
    if (value.isDouble()) {
        return std::to_string(value.toInteger());
    }
    if (value.isObject()) {
        const QJsonObject o = value.toObject();
        if (o.contains("detail")) {
            return CellOf(o["language"]) +
                   (o["detail"].isNull() ? "" : " in " + CellOf(o["detail"]));
        }
        return o["role"].isNull() ? ""
                                  : "[" + CellOf(o["role"]) + "] " + CellOf(o["name"]) +
                                        (o["note"].isNull() ? "" : " {" + CellOf(o["note"]) + "}");
    }
    std::string joined;
    for (const QJsonValue item : value.toArray()) {
        const std::string cell = CellOf(item);
        joined += joined.empty() || cell.empty() ? cell : "; " + cell;
    }
    return value.isString() ? value.toString().toStdString() : joined;
}

class Dump : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp_.ok()); }
    std::string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = (dir_ / name).string();
        testing::WriteFile(path, bytes);
        return path;
    }
    std::string GoodBox() {
        testing::BoxSpec box;
        box.flags = 0xC1;
        box.date = "20240229";
        box.time = "070809";
        box.cover = testing::Compress(testing::ToBytes("kein Bild"));
        box.data = testing::Compress(testing::Concat(
            {Token(0x10, "Sch\xF6ne \"Kiste\" \\ 1"), Token(0x55, Bytes{0x5A, 0x00}),
             Token(0x61, "Ende\r\nzwei"), Token(0x80, "")}));
        return Write("gut.box", testing::BuildBox(box));
    }
    testing::TempDir temp_;
    const std::filesystem::path dir_ = temp_.path();
};

TEST_F(Dump, ExitStatusAndShownPerKindOfFile) {
    testing::BoxSpec wrongMagic;
    wrongMagic.magic = "MIRAX4.1";
    wrongMagic.flags = 0x80;
    const Bytes header = testing::BuildBox({});
    ASSERT_EQ(header.size(), 64u);
    struct Case {
        const char* what;
        std::string path;
        int status;
        bool shown;
    };
    const Case cases[] = {
        {"good", GoodBox(), 0, true},
        {"header only, 64 bytes", Write("leer.box", header), 0, true},
        {"63 bytes", Write("kurz.box", Bytes(header.begin(), header.end() - 1)), 1, false},
        {"wrong magic", Write("alt.box", testing::BuildBox(wrongMagic)), 1, true},
        {"not .box", Write("falsch.txt", header), 1, false},
        {"missing", (dir_ / "fehlt.box").string(), 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ToolRun run = RunDump("--json '" + c.path + "'");
        EXPECT_EQ(run.status, c.status);
        const QJsonArray files =
            QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).array();
        ASSERT_EQ(files.size(), 1);
        EXPECT_EQ(files[0].toObject()["shown"].toBool(), c.shown);
    }
    // One unreadable file among good ones makes the whole run fail.
    EXPECT_EQ(
        RunDump("'" + cases[0].path + "' '" + cases[2].path + "' '" + cases[1].path + "'").status,
        1);
}

TEST_F(Dump, ToolOutputsAndUsage) {
    const std::string good = GoodBox();
    ToolRun run = RunDump("--raw '" + good + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "\r\nBox-Titel:\t\tSch\xF6ne \"Kiste\" \\ 1\r\nFilm-L\xE4nge:\t90"
              "\r\n[Kommentar]\r\nEnde\r\nzwei");

    run = RunDump("'" + good + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("Komprimierung: Cover & Daten\n"), std::string::npos);
    EXPECT_NE(run.out.find("\nBox-Titel:\t\tSch\xC3\xB6ne \"Kiste\" \\ 1\nFilm-L\xC3\xA4nge:\t90\n"
                           "[Kommentar]\nEnde\nzwei\n"),
              std::string::npos);
    EXPECT_EQ(run.out.find('\r'), std::string::npos);

    const std::pair<const char*, int> usage[] = {
        {"", 2}, {"--bogus x.box", 2}, {"--raw a.box b.box", 2}, {"--json --raw a.box", 2}};
    for (const auto& [args, status] : usage) {
        EXPECT_EQ(RunDump(args).status, status) << args;
    }
    run = RunDump("--version");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "quorvel-dump " QUORVEL_VERSION "\n");
}

TEST_F(Dump, RecordsKeysCsvHeaderAndFieldTableAgree) {
    std::string files = " '" + Write("kurz.box", Bytes(10, 'x')) + "' '" +
                        Write("leer.box", testing::BuildBox({})) + "'";
    for (const char* name : {"two-dvds", "kinderkiste", "krimi-abende"}) {
        files += std::string(" ") + QUORVEL_SOURCE_DIR + "/examples/" + name + ".box";
    }
    const QJsonArray records =
        QJsonDocument::fromJson(QByteArray::fromStdString(RunDump("--records" + files).out))
            .array();
    const std::vector<std::vector<std::string>> csv = ParseCsv(RunDump("--csv" + files).out);
    std::vector<const Field*> columns;
    CsvColumns(BoxFileFields(), columns);
    ASSERT_FALSE(csv.empty());
    ASSERT_EQ(csv[0].size(), columns.size());
    for (size_t i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(csv[0][i], columns[i]->csvColumn);
    }

    ASSERT_EQ(records.size(), 5);
    size_t row = 1;
    for (const QJsonValue value : records) {
        const QJsonObject record = value.toObject();
        SCOPED_TRACE(record["file"].toString().toStdString());
        ExpectKeys(record, BoxFileFields(), record["shown"].toBool());
        // One CSV row per film, a DVD without films and a box without DVDs
        // one of their own; each cell is the record's value of its field.
        std::vector<std::pair<QJsonObject, QJsonObject>> expected;
        for (const QJsonValue dvd : record["dvds"].toArray()) {
            for (const QJsonValue film : dvd["films"].toArray()) {
                expected.emplace_back(dvd.toObject(), film.toObject());
            }
            if (dvd["films"].toArray().isEmpty()) {
                expected.emplace_back(dvd.toObject(), QJsonObject());
            }
        }
        if (expected.empty()) {
            expected.emplace_back();
        }
        for (const auto& [dvd, film] : expected) {
            ASSERT_LT(row, csv.size());
            ASSERT_EQ(csv[row].size(), columns.size());
            for (size_t i = 0; i < columns.size(); ++i) {
                const Field& f = *columns[i];
                const QJsonObject& owner = f.level == FieldLevel::kDvd    ? dvd
                                           : f.level == FieldLevel::kFilm ? film
                                           : f.group.empty()
                                               ? record
                                               : record[QString::fromUtf8(f.group)].toObject();
                EXPECT_EQ(csv[row][i], CellOf(owner[QString::fromUtf8(f.jsonKey)])) << f.csvColumn;
            }
            ++row;
        }
    }
    EXPECT_EQ(row, csv.size());
}

}  // namespace
}  // namespace quorvel
