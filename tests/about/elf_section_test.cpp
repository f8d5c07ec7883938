// Run: ctest --test-dir build -R ElfSection
#include "app/elf_section.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "about/version_test_support.h"
#include "app/version_info.h"

namespace quorvel {
namespace {

using test::BuildElf;
using test::Bytes;
using test::ElfImage;

const std::string kExecutable = std::string(QUORVEL_BINARY_DIR) + "/viewer/quorvel";

Bytes Payload(size_t size, unsigned char seed) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<unsigned char>(seed + i * 7);
    }
    return bytes;
}

TEST(ElfSection, FindsSectionsInBothClassesAndByteOrders) {
    const Bytes text = Payload(37, 1);
    const Bytes version = Payload(64, 9);
    for (const bool is64 : {false, true}) {
        for (const bool bigEndian : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "64-bit " << is64 << ", big-endian " << bigEndian);
            const ElfImage image =
                BuildElf({{".text", text}, {".quorvel_version", version}}, is64, bigEndian);
            const auto found = FindElfSection(image.bytes, ".quorvel_version");
            ASSERT_TRUE(found.has_value());
            EXPECT_EQ(found->offset, image.dataOffsets[1]);
            ASSERT_EQ(found->size, version.size());
            EXPECT_TRUE(std::equal(version.begin(), version.end(),
                                   image.bytes.begin() + static_cast<long>(found->offset)));
            const auto first = FindElfSection(image.bytes, ".text");
            ASSERT_TRUE(first.has_value());
            EXPECT_EQ(first->offset, image.dataOffsets[0]);
            EXPECT_EQ(first->size, text.size());
        }
    }
}

TEST(ElfSection, NamesMustMatchWhole) {
    const ElfImage image =
        BuildElf({{".quorvel_versio", Payload(8, 1)}, {".quorvel_version2", Payload(8, 2)}});
    EXPECT_FALSE(FindElfSection(image.bytes, ".quorvel_version").has_value());
    EXPECT_TRUE(FindElfSection(image.bytes, ".quorvel_version2").has_value());
}

// Each case damages one field of a valid image; the section must then be
// reported missing, never read from outside the file.
TEST(ElfSection, DamagedHeadersHideTheSection) {
    struct Case {
        const char* what;
        std::function<void(ElfImage&)> damage;
    };
    const std::vector<Case> cases = {
        {"magic", [](ElfImage& i) { i.bytes[1] = 'X'; }},
        {"class 0", [](ElfImage& i) { i.bytes[4] = 0; }},
        {"class 3", [](ElfImage& i) { i.bytes[4] = 3; }},
        {"byte order 0", [](ElfImage& i) { i.bytes[5] = 0; }},
        {"no section table", [](ElfImage& i) { i.Set(i.shoffAt, 0, 8); }},
        {"table past the end", [](ElfImage& i) { i.Set(i.shoffAt, i.bytes.size(), 8); }},
        {"table offset wraps", [](ElfImage& i) { i.Set(i.shoffAt, ~uint64_t{0} - 15, 8); }},
        {"entries too small", [](ElfImage& i) { i.Set(i.shentsizeAt, 16, 2); }},
        {"too many entries", [](ElfImage& i) { i.Set(i.shnumAt, 0xFF00, 2); }},
        {"name table index out of range",
         [](ElfImage& i) { i.Set(i.shstrndxAt, i.namesIndex + 1, 2); }},
        {"name table past the end",
         [](ElfImage& i) { i.Set(i.HeaderField(i.namesIndex, "offset"), i.bytes.size() - 2, 8); }},
        {"data past the end",
         [](ElfImage& i) { i.Set(i.HeaderField(1, "offset"), i.bytes.size() - 4, 8); }},
        {"data size wraps", [](ElfImage& i) { i.Set(i.HeaderField(1, "size"), ~uint64_t{0}, 8); }},
        {"name offset past the name table",
         [](ElfImage& i) { i.Set(i.HeaderField(1, "name"), i.namesSize + 3, 4); }},
        {"name table cut before the name's end",
         [](ElfImage& i) { i.Set(i.HeaderField(i.namesIndex, "size"), 10, 8); }},
        {"section without bytes", [](ElfImage& i) { i.Set(i.HeaderField(1, "type"), 8, 4); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ElfImage image = BuildElf({{".quorvel_version", Payload(40, 3)}});
        ASSERT_TRUE(FindElfSection(image.bytes, ".quorvel_version").has_value());
        c.damage(image);
        EXPECT_FALSE(FindElfSection(image.bytes, ".quorvel_version").has_value());
    }
}

TEST(ElfSection, ExtendedSectionCountAndNameIndex) {
    ElfImage image = BuildElf({{".a", Payload(4, 1)}, {".quorvel_version", Payload(12, 2)}});
    const uint64_t count = image.namesIndex + 1;
    image.Set(image.shnumAt, 0, 2);
    image.Set(image.HeaderField(0, "size"), count, 8);
    image.Set(image.shstrndxAt, 0xFFFF, 2);
    image.Set(image.HeaderField(0, "link"), image.namesIndex, 4);
    const auto found = FindElfSection(image.bytes, ".quorvel_version");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->offset, image.dataOffsets[1]);

    // A count in section 0 that the file cannot hold is refused.
    image.Set(image.HeaderField(0, "size"), uint64_t{1} << 60, 8);
    EXPECT_FALSE(FindElfSection(image.bytes, ".quorvel_version").has_value());
}

TEST(ElfSection, EveryTruncatedFileHidesTheSection) {
    // The section headers come last, so no proper prefix holds them all.
    const ElfImage image = BuildElf({{".quorvel_version", Payload(24, 5)}}, true, false);
    for (size_t length = 0; length < image.bytes.size(); ++length) {
        const std::span<const unsigned char> prefix(image.bytes.data(), length);
        ASSERT_FALSE(FindElfSection(prefix, ".quorvel_version").has_value()) << length;
    }
}

TEST(ElfSection, ReadsOnlyRegularFilesAndHonoursTheSizeLimit) {
    test::TempDir dir;
    ASSERT_TRUE(dir.ok());
    const Bytes data = Payload(100, 4);
    const std::string file = dir.path() + "prog";
    ASSERT_TRUE(test::WriteFile(file, BuildElf({{".quorvel_version", data}}).bytes));

    const auto read = ReadElfSection(file, ".quorvel_version", 100);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, data);
    EXPECT_FALSE(ReadElfSection(file, ".quorvel_version", 99).has_value());
    EXPECT_FALSE(ReadElfSection(dir.path() + "missing", ".quorvel_version", 100).has_value());
    EXPECT_FALSE(ReadElfSection(dir.path(), ".quorvel_version", 100).has_value());

    // A FIFO has no section and must not make the reader wait for a writer.
    const std::string fifo = dir.path() + "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ReadElfSection(fifo, ".quorvel_version", 100).has_value());
}

TEST(ElfSection, BuiltExecutableCarriesTheGeneratedBlock) {
    const auto read = ReadElfSection(kExecutable, kVersionSectionName, kMaxVersionBlockSize);
    ASSERT_TRUE(read.has_value()) << kExecutable;
    const std::string expected = test::ReadText(QUORVEL_VERSION_BLOCK_FILE);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(std::string(read->begin(), read->end()), expected);
}

}  // namespace
}  // namespace quorvel
