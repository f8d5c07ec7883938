// Run: ctest --test-dir build -R VersionInfo
#include "app/version_info.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <string_view>

#include "about/version_test_support.h"
#include "app/log.h"
#include "app/text_util.h"
#include "support/fixed_clock.h"

namespace quorvel {
namespace {

using test::Bytes;
using test::VersionBlock;

const std::string kBuildFolder = std::string(QUORVEL_BINARY_DIR) + "/viewer/";

// The committed description the build turned into the block.
QJsonObject Description() {
    QFile file(QStringLiteral(QUORVEL_SOURCE_DIR "/res/version.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QJsonDocument::fromJson(file.readAll()).object();
}

std::string DescribedString(const char* key) {
    const QJsonObject table = Description()["stringTables"].toObject()["040704b0"].toObject();
    return Utf8ToCp1252(table[QLatin1String(key)].toString().toStdString());
}

struct Outputs {
    std::string fileVersion = "keep file";
    std::string productVersion = "keep product";
    std::string comments = "keep comments";
    std::string legalNotice = "keep legal";

    bool Read(const std::string& folder, const std::string& name) {
        return ReadVersionInfo(folder, name, fileVersion, productVersion, comments, legalNotice);
    }
};

Bytes GermanBlock(uint32_t fileMS, uint32_t fileLS) {
    return VersionBlock(
        test::FixedPart(fileMS, fileLS, 0x00030000, 0x00000001),
        {{u"040704b0", {{u"Comments", u"Kommentar"}, {u"LegalCopyright", u"Recht"}}}});
}

// An ELF file in `dir` named `name` whose version section holds `block`.
std::string WriteProgram(const test::TempDir& dir, const std::string& name, const Bytes& block) {
    const std::string path = dir.path() + name;
    test::WriteFile(path, test::BuildElf({{".text", Bytes(16, 0x90)},
                                          {std::string(kVersionSectionName), block}})
                              .bytes);
    return path;
}

TEST(VersionInfo, VersionNumberTextHasNoLeadingZeros) {
    const struct {
        uint32_t ms, ls;
        const char* text;
    } cases[] = {
        {0x00010000, 0x00030000, "1.0.3.0"},
        {0x0002000A, 0x00000007, "2.10.0.7"},
        {0x00000000, 0x00000000, "0.0.0.0"},
        {0xFFFF0100, 0x00100009, "65535.256.16.9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatVersionNumber(c.ms, c.ls), c.text);
    }
}

TEST(VersionInfo, BuiltExecutableCarriesTheDescribedBlock) {
    Outputs out;
    ASSERT_TRUE(out.Read(kBuildFolder, "quorvel"));
    EXPECT_EQ(out.fileVersion, "1.0.3.0");
    EXPECT_EQ(out.productVersion, "1.0.3.0");
    EXPECT_EQ(out.comments, "Quorvel");
    EXPECT_EQ(out.legalNotice, DescribedString("LegalCopyright"));
    EXPECT_FALSE(out.legalNotice.empty());

    const auto block = test::ReadText(QUORVEL_VERSION_BLOCK_FILE);
    const std::span<const unsigned char> bytes(reinterpret_cast<const unsigned char*>(block.data()),
                                               block.size());
    const auto fixed = QueryFixedFileInfo(bytes);
    ASSERT_TRUE(fixed.has_value());
    EXPECT_EQ(fixed->fileFlags, 0x28u);
    EXPECT_EQ(fixed->fileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->fileOS, 0x4u);    // 32-bit Windows
    EXPECT_EQ(fixed->fileType, 0x1u);  // application
    EXPECT_EQ(fixed->structVersion, 0x00010000u);

    const char* keys[] = {"Comments",     "CompanyName",    "FileDescription", "FileVersion",
                          "InternalName", "LegalCopyright", "LegalTrademarks", "OriginalFilename",
                          "PrivateBuild", "ProductName",    "ProductVersion",  "SpecialBuild"};
    for (const char* key : keys) {
        SCOPED_TRACE(key);
        const auto value =
            QueryVersionString(bytes, std::string("\\StringFileInfo\\040704b0\\") + key);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value, DescribedString(key));
    }
    EXPECT_EQ(*QueryVersionString(bytes, "\\StringFileInfo\\040704b0\\PrivateBuild"),
              "Schnell-Betrachter f\xFCr MIRAX-Box-Dateien");
    EXPECT_EQ(*QueryVersionString(bytes, "\\StringFileInfo\\040704b0\\LegalTrademarks"), " ");

    const auto translation = QueryVersionValue(bytes, "\\VarFileInfo\\Translation");
    ASSERT_TRUE(translation.has_value());
    EXPECT_EQ(Bytes(translation->begin(), translation->end()), (Bytes{0x07, 0x04, 0xB0, 0x04}));
}

TEST(VersionInfo, LookupFollowsTheFileName) {
    test::TempDir dir;
    ASSERT_TRUE(dir.ok());
    std::filesystem::copy_file(kBuildFolder + "quorvel", dir.path() + "anderer-name");

    Outputs renamed;
    EXPECT_TRUE(renamed.Read(dir.path(), "anderer-name"));
    EXPECT_EQ(renamed.fileVersion, "1.0.3.0");
    EXPECT_EQ(renamed.comments, "Quorvel");

    Outputs oldName;
    EXPECT_FALSE(oldName.Read(dir.path(), "quorvel"));
    EXPECT_EQ(oldName.fileVersion, "keep file");
}

TEST(VersionInfo, NothingReadableLeavesEveryOutputAsGiven) {
    test::TempDir dir;
    ASSERT_TRUE(dir.ok());
    test::WriteFile(dir.path() + "text", Bytes{'n', 'o', ' ', 'E', 'L', 'F', '\n'});
    test::WriteFile(dir.path() + "plain-elf", test::BuildElf({{".text", Bytes(8, 1)}}).bytes);
    test::WriteFile(
        dir.path() + "huge",
        test::BuildElf({{std::string(kVersionSectionName), Bytes(kMaxVersionBlockSize + 1, 0)}})
            .bytes);
    std::filesystem::create_directory(dir.path() + "folder");

    for (const char* name : {"missing", "text", "plain-elf", "huge", "folder", ""}) {
        SCOPED_TRACE(name);
        Outputs out;
        EXPECT_FALSE(out.Read(dir.path(), name));
        EXPECT_EQ(out.fileVersion, "keep file");
        EXPECT_EQ(out.productVersion, "keep product");
        EXPECT_EQ(out.comments, "keep comments");
        EXPECT_EQ(out.legalNotice, "keep legal");
    }
}

TEST(VersionInfo, CraftedBlocksInAProgramFile) {
    test::TempDir dir;
    ASSERT_TRUE(dir.ok());

    WriteProgram(dir, "german", GermanBlock(0x0002000A, 0x00000007));
    Outputs german;
    EXPECT_TRUE(german.Read(dir.path(), "german"));
    EXPECT_EQ(german.fileVersion, "2.10.0.7");
    EXPECT_EQ(german.productVersion, "3.0.0.1");
    EXPECT_EQ(german.comments, "Kommentar");
    EXPECT_EQ(german.legalNotice, "Recht");

    // Only an English table: the numbers, but no comment and no notice.
    WriteProgram(
        dir, "english",
        VersionBlock(test::FixedPart(0x00010000, 0x00030000, 0x00010000, 0x00030000),
                     {{u"040904b0", {{u"Comments", u"Comment"}, {u"LegalCopyright", u"Notice"}}}}));
    Outputs english;
    EXPECT_TRUE(english.Read(dir.path(), "english"));
    EXPECT_EQ(english.fileVersion, "1.0.3.0");
    EXPECT_EQ(english.comments, "keep comments");
    EXPECT_EQ(english.legalNotice, "keep legal");

    // A fixed part without its signature is not read, yet the strings are.
    WriteProgram(dir, "unsigned",
                 VersionBlock(test::FixedPart(0x00010000, 0, 0x00010000, 0, 0x12345678),
                              {{u"040704b0", {{u"Comments", u"Nur Text"}}}}));
    Outputs unsignedBlock;
    EXPECT_FALSE(unsignedBlock.Read(dir.path(), "unsigned"));
    EXPECT_EQ(unsignedBlock.fileVersion, "keep file");
    EXPECT_EQ(unsignedBlock.comments, "Nur Text");
    EXPECT_EQ(unsignedBlock.legalNotice, "keep legal");
}

TEST(VersionInfo, KeysMatchWithoutRegardToCase) {
    const Bytes block =
        VersionBlock(test::FixedPart(0x00010000, 0, 0x00010000, 0),
                     {{u"040704B0", {{u"COMMENTS", u"gross"}, {u"legalcopyright", u"klein"}}}});
    EXPECT_EQ(QueryVersionString(block, "\\StringFileInfo\\040704B0\\Comments"), "gross");
    EXPECT_EQ(QueryVersionString(block, "\\STRINGFILEINFO\\040704b0\\comments"), "gross");
    EXPECT_EQ(QueryVersionString(block, "\\StringFileInfo\\040704B0\\LegalCopyright"), "klein");
    EXPECT_FALSE(QueryVersionString(block, "\\StringFileInfo\\040704B0\\Comment").has_value());
    EXPECT_FALSE(QueryVersionString(block, "\\StringFileInfo\\040704B1\\Comments").has_value());
    // The root carries the fixed part, which is no string.
    EXPECT_FALSE(QueryVersionString(block, "\\").has_value());
}

TEST(VersionInfo, StringsBecomeWindows1252) {
    const struct {
        std::u16string value;
        std::string expected;
    } cases[] = {
        {u"F\u00fcr Datenmodell 4.0", "F\xFCr Datenmodell 4.0"},
        {u"\u00a9 2024", "\xA9 2024"},
        {u"\u20ac", "\x80"},
        {u"\u4e2d", "?"},
        {u"a\U0001F600b", "a?b"},                                 // one character, one '?'
        {std::u16string(u"x") + char16_t(0xD800) + u"y", "x?y"},  // lone surrogate
        {u"", ""},
    };
    for (const auto& c : cases) {
        const Bytes block =
            VersionBlock(test::FixedPart(0, 0, 0, 0), {{u"040704b0", {{u"Comments", c.value}}}});
        EXPECT_EQ(QueryVersionString(block, "\\StringFileInfo\\040704b0\\Comments"), c.expected);
    }
}

TEST(VersionInfo, ValuesStopAtTheirBlock) {
    // A text value whose stated length runs past its block, with no NUL.
    Bytes entry = test::Block(u"Comments", Bytes{'a', 0, 'b', 0}, 500, 1);
    const Bytes table =
        test::Block(u"040704b0", {}, 0, 1, {entry, test::StringEntry(u"LegalCopyright", u"Recht")});
    const Bytes block = test::Block(u"VS_VERSION_INFO", test::FixedPart(0, 0, 0, 0), 52, 0,
                                    {test::Block(u"StringFileInfo", {}, 0, 1, {table})});
    EXPECT_EQ(QueryVersionString(block, "\\StringFileInfo\\040704b0\\Comments"), "ab");
    EXPECT_EQ(QueryVersionString(block, "\\StringFileInfo\\040704b0\\LegalCopyright"), "Recht");
}

// Damaged blocks: the fixed part and the strings are simply not found.
TEST(VersionInfo, DamagedBlocksAreRefused) {
    const Bytes good = GermanBlock(0x00010000, 0x00030000);
    struct Case {
        const char* what;
        Bytes block;
        bool fixedFound;
        bool stringFound;
    };
    auto withLength = [&](size_t at, uint16_t length) {
        Bytes b = good;
        test::PutLe(b, at, length, 2);
        return b;
    };
    // Header and "VS_VERSION_INFO\0" padded to 40 bytes, then the fixed part.
    const size_t stringInfoAt = 40 + 52;
    // Header and "StringFileInfo\0" take 36 bytes, already on a boundary.
    const size_t tableAt = stringInfoAt + 36;
    Bytes unterminatedKey(64, 'A');
    test::PutLe(unterminatedKey, 0, 64, 2);
    std::vector<Case> cases = {
        {"empty", {}, false, false},
        {"shorter than a header", Bytes(good.begin(), good.begin() + 5), false, false},
        {"root length 0", withLength(0, 0), false, false},
        {"root length 4", withLength(0, 4), false, false},
        {"root longer than the data", withLength(0, static_cast<uint16_t>(good.size() + 1)), false,
         false},
        {"root key without terminator", unterminatedKey, false, false},
        {"child length 0", withLength(stringInfoAt, 0), true, false},
        {"child past its parent", withLength(tableAt, 0x7FFF), true, false},
        {"short fixed part",
         [&] {
             Bytes b = good;
             test::PutLe(b, 2, 40, 2);
             return b;
         }(),
         false, false},
    };
    {
        Bytes b = test::Block(u"VS_VERSION_INF0", test::FixedPart(0, 0, 0, 0), 52, 0);
        cases.push_back({"other root key", b, false, false});
    }
    ASSERT_TRUE(QueryFixedFileInfo(good).has_value());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(QueryFixedFileInfo(c.block).has_value(), c.fixedFound);
        EXPECT_EQ(QueryVersionString(c.block, "\\StringFileInfo\\040704b0\\Comments").has_value(),
                  c.stringFound);
    }
}

TEST(VersionInfo, EveryTruncatedBlockIsRefused) {
    const Bytes good = GermanBlock(0x00010000, 0x00030000);
    for (size_t length = 0; length < good.size(); ++length) {
        const std::span<const unsigned char> prefix(good.data(), length);
        ASSERT_FALSE(QueryFixedFileInfo(prefix).has_value()) << length;
        ASSERT_FALSE(QueryVersionString(prefix, "\\StringFileInfo\\040704B0\\LegalCopyright"))
            << length;
    }
}

// Cuts `prefix` off the front of `text`; false when it is not there.
bool Consume(std::string_view& text, std::string_view prefix) {
    if (text.substr(0, prefix.size()) != prefix) {
        return false;
    }
    text.remove_prefix(prefix.size());
    return true;
}

// Takes the characters of `allowed` from the front of `text`.
std::string TakeSpan(std::string_view& text, std::string_view allowed) {
    const size_t n = std::min(text.find_first_not_of(allowed), text.size());
    std::string taken(text.substr(0, n));
    text.remove_prefix(n);
    return taken;
}

struct MemoryLines {
    std::string size;
    std::string newAddress;
    std::string deleteAddress;
};

// The log as exactly the two memory lines, stamped with the fixed clock.
std::optional<MemoryLines> ParseMemoryLines(std::string_view log) {
    const std::string_view kStamp = testing::kFixedPrefix;
    constexpr std::string_view kHex = "0123456789abcdef";
    MemoryLines lines;
    if (!Consume(log, kStamp) || !Consume(log, "new char[")) {
        return std::nullopt;
    }
    lines.size = TakeSpan(log, "0123456789");
    if (lines.size.empty() || !Consume(log, "] = ")) {
        return std::nullopt;
    }
    lines.newAddress = TakeSpan(log, kHex);
    if (!Consume(log, "\n") || !Consume(log, kStamp) || !Consume(log, "delete ")) {
        return std::nullopt;
    }
    lines.deleteAddress = TakeSpan(log, kHex);
    if (!Consume(log, "\n") || !log.empty() || lines.newAddress.size() < 8 ||
        lines.deleteAddress.size() < 8) {
        return std::nullopt;
    }
    return lines;
}

class VersionInfoLog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.ok());
        m_savedFile = g_strLogFile;
        m_savedBackup = g_strLogBackupFile;
        m_savedMask = g_nLogMask;
        g_strLogFile = m_dir.path() + "q.log";
        g_strLogBackupFile = m_dir.path() + "q.bak";
        SetLogClockForTesting(testing::FixedTime);
    }
    void TearDown() override {
        SetLogClockForTesting(nullptr);
        g_strLogFile = m_savedFile;
        g_strLogBackupFile = m_savedBackup;
        g_nLogMask = m_savedMask;
    }
    std::string Log() const { return test::ReadText(m_dir.path() + "q.log"); }

    test::TempDir m_dir;

private:
    std::string m_savedFile;
    std::string m_savedBackup;
    uint32_t m_savedMask = 0;
};

TEST_F(VersionInfoLog, MemoryLinesAtLevelEight) {
    const struct {
        std::string folder, name;
        uint32_t expectedSize;
    } cases[] = {
        {kBuildFolder, "quorvel", GetFileVersionInfoSize(kBuildFolder + "quorvel") + 1},
        {m_dir.path(), "missing", 1},
    };
    ASSERT_GT(cases[0].expectedSize, 100u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(m_dir.path() + "q.log");
        g_nLogMask = 8;
        Outputs out;
        out.Read(c.folder, c.name);
        const std::string log = Log();
        const auto lines = ParseMemoryLines(log);
        ASSERT_TRUE(lines.has_value()) << log;
        EXPECT_EQ(std::stoul(lines->size), c.expectedSize);
        EXPECT_EQ(lines->newAddress, lines->deleteAddress);
        EXPECT_NE(std::stoull(lines->newAddress, nullptr, 16), 0u);
    }
}

TEST_F(VersionInfoLog, NoLinesWithTheMaskAtZero) {
    g_nLogMask = 0;
    Outputs out;
    EXPECT_TRUE(out.Read(kBuildFolder, "quorvel"));
    EXPECT_EQ(Log(), "");
}

}  // namespace
}  // namespace quorvel
