// Run: ctest --test-dir build -R Truncation   (or build/tests/engine_tests)
// Every prefix of every example file, and copies with a flipped byte, load
// and render without a crash or a read outside a buffer (run under
// -DQUORVEL_SANITIZE=ON to have reads past a block reported).
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "boxfile/box_display.h"
#include "boxfile/box_loader.h"
#include "support/box_builder.h"

namespace quorvel {
namespace {

std::vector<std::filesystem::path> Examples() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(QUORVEL_SOURCE_DIR) + "/examples")) {
        if (entry.path().extension() == ".box") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Loads and shows `bytes` from an exact-size heap copy, so any read past the
// end touches memory the sanitizers watch. Returns the record text.
std::string ShowCopy(std::span<const unsigned char> bytes, CRecordRenderer& renderer) {
    auto copy = std::make_unique<unsigned char[]>(bytes.size() + 1);
    std::copy(bytes.begin(), bytes.end(), copy.get());
    FreeBoxFile();
    LoadBoxBytes({copy.get(), bytes.size()});
    const CoverLoader anyCover = [](std::span<const unsigned char> cover) {
        return cover.empty() ? std::nullopt : std::optional<CoverSize>(CoverSize{1, 1});
    };
    std::string text = g_pBoxHeader ? ShowBoxFile(renderer, anyCover).text : std::string();
    FreeBoxFile();
    return text;
}

TEST(Truncation, ExamplesArePresent) {
    EXPECT_GE(Examples().size(), 3u);
}

TEST(Truncation, EveryPrefixOfEveryExample) {
    for (const auto& path : Examples()) {
        const testing::Bytes file = testing::ReadFile(path.string());
        ASSERT_GT(file.size(), 64u) << path;
        CRecordRenderer renderer;
        const std::string whole = ShowCopy(file, renderer);
        EXPECT_NE(whole.find("Box-Titel:"), std::string::npos) << path;
        size_t shownPrefixes = 0;
        for (size_t length = 0; length < file.size(); ++length) {
            const std::string text = ShowCopy({file.data(), length}, renderer);
            shownPrefixes += text.empty() ? 0 : 1;
            // A cut file never shows more than the whole one.
            EXPECT_LE(text.size(), whole.size() + 64) << path << " length " << length;
        }
        // Stored data blocks render partly from a prefix; compressed ones do
        // not inflate at all.
        SCOPED_TRACE(path.string());
        if ((file[54] & 0x80) == 0) {
            EXPECT_GT(shownPrefixes, 0u);
        }
    }
}

TEST(Truncation, FlippedBytes) {
    for (const auto& path : Examples()) {
        testing::Bytes file = testing::ReadFile(path.string());
        CRecordRenderer renderer;
        // Every byte of the header and the first block starts, then a spread
        // over the rest.
        for (size_t at = 0; at < file.size(); at += (at < 1024 ? 1 : 13)) {
            for (const unsigned char mask : {0x01, 0x80, 0xFF}) {
                file[at] ^= mask;
                ShowCopy(file, renderer);
                file[at] ^= mask;
            }
        }
        // The untouched file still renders as before after all that.
        EXPECT_NE(ShowCopy(file, renderer).find("Box-Titel:"), std::string::npos);
    }
}

}  // namespace
}  // namespace quorvel
