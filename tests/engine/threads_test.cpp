// Run: ctest --test-dir build -R Threads   (or build/tests/engine_threads_tests)
// Under ThreadSanitizer, from the top of the checkout:
//   cmake -S . -B build-tsan -DQUORVEL_SANITIZE=thread
//   cmake --build build-tsan --target engine_threads_tests
//   build-tsan/tests/engine_threads_tests
// Boxes read and walked on several threads at once give exactly what they
// give one after the other: a loaded box and a renderer are values, and
// nothing of one box lives anywhere another box could see it.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "boxfile/box_display.h"
#include "boxfile/box_loader.h"
#include "support/box_builder.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

using testing::Append;
using testing::Bytes;
using testing::Concat;
using testing::Token;

// What a reader sees of one box: the display's text and labels, and the
// order of tokens the walk handed to its observer.
struct Seen {
    std::string text, date, time, width;
    std::string tokens;
    bool operator==(const Seen&) const = default;
};

class TokenTrail : public RecordSink {
public:
    void Token(const RenderedValue& value, bool lineShown) override {
        m_trail.push_back(static_cast<char>(value.code));
        m_trail.push_back(lineShown ? '+' : '-');
    }
    void Person(const PersonParts& person) override {
        m_trail.append(person.name);
        m_trail.append(person.note);
    }
    void PersonsDone() override { m_trail.push_back('|'); }
    void Sections(std::string_view content, std::string_view comment) override {
        m_trail.append(content);
        m_trail.append(comment);
    }
    void TextCut() override { m_trail += '%'; }
    std::string Take() { return std::move(m_trail); }

private:
    std::string m_trail;
};

Seen Read(const std::string& path) {
    const LoadedBox box = LoadBox(path);
    CRecordRenderer renderer;
    TokenTrail trail;
    renderer.SetSink(&trail);
    const CoverLoader size = [](std::span<const unsigned char> bytes) {
        return std::optional<CoverSize>(CoverSize{static_cast<int32_t>(bytes.size()), 1});
    };
    const BoxDisplay display = ShowBoxFile(box, renderer, size);
    return {display.text, display.date.value_or(""), display.time.value_or(""),
            display.width.value_or(""), trail.Take()};
}

// Boxes that differ in every part a shared state could mix up: person
// blocks with notes, language tables, content, compressed and stored blocks.
Bytes MakeBox(int n) {
    const std::string id = std::to_string(n);
    Bytes data = Concat({Token(0x10, "Box " + id), Token(0x30, "DVD " + id)});
    for (int film = 0; film < 20 + n % 7; ++film) {
        const std::string f = id + "." + std::to_string(film);
        Append(data, Concat({Token(0x50, "Film " + f), Token(0x59, "Sprache " + f),
                             Token(0x5A, "Ton " + id), Token(0x5B, "1#1"),
                             Token(0x5C, "Rolle " + f), Token(0x5D, "Name\t" + f + "\t" + id),
                             Token(0x5E, "1#1"), Token(0x5F, "1\tNotiz " + f)}));
    }
    Append(data,
           Concat({Token(0x60, "Inhalt " + id), Token(0x61, "Kommentar " + id), Token(0x80, "")}));
    testing::BoxSpec made;
    made.date = "2006" + std::to_string(10 + n % 3) + "1" + std::to_string(n % 10);
    made.cover = Bytes(100 + n, static_cast<unsigned char>(n));
    if (n % 2 == 0) {
        made.flags = 0xC0;
        made.cover = testing::Compress(made.cover);
        made.data = testing::Compress(data);
    } else {
        made.data = data;
    }
    return testing::BuildBox(made);
}

TEST(Threads, ManyBoxesAtOnceReadAsOneAfterTheOther) {
    testing::TempDir temp;
    ASSERT_TRUE(temp.ok());
    std::vector<std::string> paths;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(QUORVEL_SOURCE_DIR) + "/examples")) {
        if (entry.path().extension() == ".box") {
            paths.push_back(entry.path().string());
        }
    }
    for (int n = 0; n < 12; ++n) {
        paths.push_back(temp.path() + "box" + std::to_string(n) + ".box");
        testing::WriteFile(paths.back(), MakeBox(n));
    }
    std::vector<Seen> expected;
    for (const std::string& path : paths) {
        expected.push_back(Read(path));
        ASSERT_FALSE(expected.back().text.empty()) << path;
    }
    // Every box differs from every other, so a mix-up cannot go unseen.
    for (size_t i = 1; i < expected.size(); ++i) {
        ASSERT_NE(expected[i].text, expected[i - 1].text);
    }

    constexpr int kThreads = 4;
    constexpr int kRounds = 6;
    std::atomic<int> mismatches = 0;
    std::atomic<int> reads = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                // Each thread walks the boxes from another start, so different
                // boxes are in flight at the same moment.
                for (size_t i = 0; i < paths.size(); ++i) {
                    const size_t k = (i + static_cast<size_t>(t) * 5) % paths.size();
                    if (!(Read(paths[k]) == expected[k])) {
                        ++mismatches;
                    }
                    ++reads;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(reads.load(), kThreads * kRounds * static_cast<int>(paths.size()));
    EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
}  // namespace quorvel
