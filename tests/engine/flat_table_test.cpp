// Run: ctest --test-dir build -R 'FlatTable|FoldedHash'
// The definition table's ids, ASCII-folded de-duplication and resets, and
// the keyed hash behind it. How notes group by reference is the model
// agreement's.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/text_util.h"
#include "render/definition_table.h"
#include "render/folded_hash.h"

namespace quorvel {
namespace {

using Lookup = std::optional<std::string>;

std::vector<Lookup> LookUpAll(const DefinitionTable& table, int32_t lastId) {
    std::vector<Lookup> found;
    for (int32_t id = 0; id <= lastId; ++id) {
        const std::optional<std::string_view> text = table.FindById(id);
        found.push_back(text ? Lookup(std::string(*text)) : std::nullopt);
    }
    return found;
}

TEST(FlatTable, IdsAndFoldedDuplicates) {
    struct Case {
        const char* name;
        std::vector<std::string> texts;
        std::vector<Lookup> byId;  // ids 0 .. texts.size() + 1
    };
    const std::vector<Case> cases = {
        {"a duplicate uses up its id", {"abc", "ABC", "xyz"}, {{}, "abc", {}, "xyz", {}}},
        {"empty texts", {"", "", "a"}, {{}, "", {}, "a", {}}},
        {"folding reaches past the first word",
         {"Film-Person Regie", "FILM-PERSON REGIE", "film-person regiE"},
         {{}, "Film-Person Regie", {}, {}, {}}},
        {"tails after a full word differ",
         {"abcdefgh1", "ABCDEFGH2", "abcdefgh"},
         {{}, "abcdefgh1", "ABCDEFGH2", "abcdefgh", {}}},
        {"neighbours of the letters are not letters",
         {"@@@@@@@@[", "````````{", "@@@@@@@@{"},
         {{}, "@@@@@@@@[", "````````{", "@@@@@@@@{", {}}},
        {"only ASCII letters fold",
         {"\xE4rger", "\xC4rger", "\xE4RGER"},
         {{}, "\xE4rger", "\xC4rger", {}, {}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DefinitionTable table;
        for (size_t i = 0; i < c.texts.size(); ++i) {
            EXPECT_EQ(table.Define(c.texts[i]), static_cast<int32_t>(i + 1));
        }
        EXPECT_EQ(LookUpAll(table, static_cast<int32_t>(c.texts.size() + 1)), c.byId);
        EXPECT_EQ(table.NextId(), static_cast<int32_t>(c.texts.size() + 1));
        std::vector<int32_t> listed;
        table.ForEachEntry([&](int32_t id, std::string_view text) {
            listed.push_back(id);
            EXPECT_EQ(table.FindById(id), text);
        });
        EXPECT_EQ(listed.size(), table.Size());
        EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end()));
    }
}

// Sizes on both sides of what a reset keeps, so both the cleared and the
// released index are used again, and an index released mid-block is rebuilt.
TEST(FlatTable, ResetForgetsTextsAndIds) {
    for (const int count : {3, 300, 20000}) {
        SCOPED_TRACE(count);
        DefinitionTable table;
        for (int round = 0; round < 3; ++round) {
            for (int i = 0; i < count; ++i) {
                table.Define("Name" + std::to_string(i));
            }
            if (round == 1) {
                table.ReleaseIndex();  // the next definition rebuilds it
            }
            EXPECT_EQ(table.Define("neu"), count + 1);
            // Every text again in upper case: all duplicates, ids still taken.
            for (int i = 0; i < count; ++i) {
                table.Define("NAME" + std::to_string(i));
            }
            ASSERT_EQ(table.Size(), static_cast<size_t>(count + 1));
            EXPECT_EQ(table.NextId(), 2 * count + 2);
            EXPECT_EQ(table.FindById(count), "Name" + std::to_string(count - 1));
            EXPECT_EQ(table.FindById(count + 1), "neu");
            EXPECT_EQ(table.FindById(count + 2), std::nullopt);
            table.FreeTable();
            EXPECT_TRUE(table.Empty());
            EXPECT_EQ(table.NextId(), 1);
            EXPECT_EQ(table.FindById(1), std::nullopt);
        }
    }
}

TEST(FoldedHash, EqualForCaseVariantsOnly) {
    const HashKey key{0x0123456789ABCDEFull, 0xFEDCBA9876543210ull};
    // Every byte value at every position of texts up to two words long.
    for (size_t length = 1; length <= 17; ++length) {
        for (size_t at = 0; at < length; ++at) {
            for (int byte = 1; byte < 256; ++byte) {
                std::string text(length, 'q');
                text[at] = static_cast<char>(byte);
                ASSERT_EQ(FoldedHash(text, key), FoldedHash(FoldAscii(text), key))
                    << length << " " << at << " " << byte;
            }
        }
    }
    EXPECT_NE(FoldedHash("abcdefgh", key), FoldedHash("abcdefgh" + std::string(1, '\0'), key));
    EXPECT_NE(FoldedHash("Regie", key), FoldedHash("Regie", HashKey{key.k0, key.k1 + 1}));
}

}  // namespace
}  // namespace quorvel
