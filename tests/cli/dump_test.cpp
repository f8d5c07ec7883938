// Run: ctest --test-dir build -R Dump   (or build/tests/dump_tests)
// quorvel-dump: JSON shape and labels, raw bytes, human text, exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <filesystem>

#include "cli/dump.h"
#include "cli/json_text.h"
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

Bytes JpegBytes(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return Bytes(bytes.begin(), bytes.end());
}

class Dump : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "dump_tests";
        static char* argv[] = {name, nullptr};
        // Picture plugins are found through the application object; it lives
        // for the whole run.
        static QCoreApplication app(argc, argv);
    }
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
        box.cover = testing::Compress(JpegBytes(30, 42));
        box.data = testing::Compress(testing::Concat(
            {Token(0x10, "Sch\xF6ne \"Kiste\" \\ 1"), Token(0x55, Bytes{0x5A, 0x00}),
             Token(0x61, "Ende\r\nzwei"), Token(0x80, "")}));
        return Write("gut.box", testing::BuildBox(box));
    }
    testing::TempDir temp_;
    const std::filesystem::path dir_ = temp_.path();
};

TEST_F(Dump, LabelsAndTextAsTheViewerShowsThem) {
    const DumpedFile d = DumpBoxFile(GoodBox());
    EXPECT_TRUE(d.shown);
    EXPECT_TRUE(d.problem.empty()) << d.problem;
    EXPECT_EQ(d.type, "Typ: Jpg");
    EXPECT_EQ(d.width, "Breite: 30");
    EXPECT_EQ(d.height, "H\xC3\xB6he: 42");
    EXPECT_EQ(d.compression, "Cover & Daten");
    EXPECT_EQ(d.date, "29.02.2024");
    EXPECT_EQ(d.time, "07:08:09");
    EXPECT_EQ(d.recordText,
              "\r\nBox-Titel:\t\tSch\xF6ne \"Kiste\" \\ 1\r\nFilm-L\xE4nge:\t90"
              "\r\n[Kommentar]\r\nEnde\r\nzwei");
}

TEST_F(Dump, FilesNotShownKeepTheTemplateTexts) {
    for (const std::string& path :
         {Write("kurz.box", Bytes(10, 'x')), Write("falsch.txt", Bytes(100, 0)),
          (dir_ / "fehlt.box").string()}) {
        const DumpedFile d = DumpBoxFile(path);
        EXPECT_FALSE(d.shown) << path;
        EXPECT_FALSE(d.problem.empty()) << path;
        EXPECT_EQ(d.type, "Typ:");
        EXPECT_EQ(d.width, "Breite: ");
        EXPECT_EQ(d.height, "H\xC3\xB6he: ");
        EXPECT_EQ(d.compression, "keine");
        EXPECT_EQ(d.date, "TT.MM.JJJJ");
        EXPECT_EQ(d.time, "HH:MM:SS");
        EXPECT_EQ(d.recordText, "");
    }
    // Wrong magic: shown, header labels set, but not a readable box.
    testing::BoxSpec box;
    box.magic = "MIRAX4.1";
    box.flags = 0x80;
    const DumpedFile d = DumpBoxFile(Write("alt.box", testing::BuildBox(box)));
    EXPECT_TRUE(d.shown);
    EXPECT_FALSE(d.problem.empty());
    EXPECT_EQ(d.compression, "Daten");
    EXPECT_EQ(d.type, "Typ:");
}

TEST_F(Dump, JsonParsesAndKeepsOrderAndText) {
    const std::string good = GoodBox();
    const std::string bad = Write("b\xFC.box", Bytes(3, 0));  // Latin-1 name byte
    const std::string json = FormatJson({DumpBoxFile(good), DumpBoxFile(bad)});
    ASSERT_FALSE(json.empty());
    EXPECT_EQ(json.back(), '\n');
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << json;
    const QJsonArray files = doc.array();
    ASSERT_EQ(files.size(), 2);
    const QJsonObject first = files[0].toObject();
    EXPECT_EQ(first.keys(), (QStringList{"file", "labels", "shown", "text"}));
    EXPECT_EQ(first["file"].toString().toStdString(), good);
    EXPECT_TRUE(first["shown"].toBool());
    const QJsonObject labels = first["labels"].toObject();
    EXPECT_EQ(labels["height"].toString(), QString::fromUtf8("H\xC3\xB6he: 42"));
    EXPECT_EQ(labels["compression"].toString(), "Cover & Daten");
    EXPECT_EQ(
        first["text"].toString(),
        QString::fromUtf8("\r\nBox-Titel:\t\tSch\xC3\xB6ne \"Kiste\" \\ 1\r\nFilm-L\xC3\xA4nge:\t90"
                          "\r\n[Kommentar]\r\nEnde\r\nzwei"));
    const QJsonObject second = files[1].toObject();
    EXPECT_FALSE(second["shown"].toBool());
    EXPECT_TRUE(second["file"].toString().contains(QChar(0xFFFD)));
    // Key order in the text is the documented one.
    EXPECT_LT(json.find("\"file\""), json.find("\"shown\""));
    EXPECT_LT(json.find("\"shown\""), json.find("\"labels\""));
    EXPECT_LT(json.find("\"labels\""), json.find("\"text\""));
}

TEST(JsonText, EscapesAndUtf8Repair) {
    EXPECT_EQ(JsonString("a\"b\\c\n\r\t\x01\x1f\x7f"),
              "\"a\\\"b\\\\c\\n\\r\\t\\u0001\\u001f\x7f\"");
    EXPECT_EQ(JsonString("\xC3\xA4\xC2\x81"), "\"\xC3\xA4\xC2\x81\"");
    EXPECT_EQ(SanitizeUtf8("ok \xC3\xA4"), "ok \xC3\xA4");
    EXPECT_EQ(SanitizeUtf8("\xFC"), "\xEF\xBF\xBD");
    EXPECT_EQ(SanitizeUtf8("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");                  // overlong
    EXPECT_EQ(SanitizeUtf8("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");  // surrogate
    EXPECT_EQ(SanitizeUtf8("\xE2\x82"), "\xEF\xBF\xBD\xEF\xBF\xBD");                  // cut short
}

TEST(LabelText, MnemonicRule) {
    EXPECT_EQ(LabelAsShown("Cover && Daten"), "Cover & Daten");
    EXPECT_EQ(LabelAsShown("&Datei"), "Datei");
    EXPECT_EQ(LabelAsShown("H\xF6he: 1"), "H\xC3\xB6he: 1");
}

TEST_F(Dump, ToolExitStatusAndOutputs) {
    const std::string good = GoodBox();
    const std::string bad = Write("kurz.box", Bytes(10, 'x'));

    ToolRun run = RunDump("--json '" + good + "' '" + bad + "'");
    EXPECT_EQ(run.status, 1);
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError);
    EXPECT_EQ(doc.array().size(), 2);

    run = RunDump("--json '" + good + "'");
    EXPECT_EQ(run.status, 0);

    run = RunDump("--raw '" + good + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, DumpBoxFile(good).recordText);

    run = RunDump("'" + good + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("Box-Titel:\t\tSch\xC3\xB6ne"), std::string::npos);
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
    EXPECT_NE(run.out.find("Cover & Daten"), std::string::npos);

    EXPECT_EQ(RunDump("").status, 2);
    EXPECT_EQ(RunDump("--bogus x.box").status, 2);
    EXPECT_EQ(RunDump("--raw a.box b.box").status, 2);
    EXPECT_EQ(RunDump("--json --raw a.box").status, 2);
    run = RunDump("--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("--json"), std::string::npos);
    run = RunDump("--version");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("1.0.3.0"), std::string::npos);
}

}  // namespace
}  // namespace quorvel
