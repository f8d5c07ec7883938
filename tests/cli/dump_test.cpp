// Run: ctest --test-dir build -R Dump   (or build/tests/dump_tests)
// quorvel-dump: raw bytes, human text, usage errors and the exit status per
// kind of file. JSON labels and texts, and the status for every generated
// file, are compared with the independent model (ModelAgreement).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <filesystem>

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

}  // namespace
}  // namespace quorvel
