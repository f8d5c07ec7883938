// Run: ctest --test-dir build -R CollectionWatch   (or: build/tests/collection_tests)
// The tree watcher on a real folder tree with the real inotify: which changes
// it reports, and that folders made or moved in later are watched too.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "collection/tree_watcher.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& text = "MIRAX4.0") {
    std::ofstream(path, std::ios::binary) << text;
}

// The kernel queues an event within the call that caused it, so the
// watcher has it to read at once.
bool ChangedSoon(TreeWatcher& watcher) {
    return watcher.ReadChanges();
}

TEST(CollectionWatch, ReportsChangesToBoxFilesAndFoldersOnly) {
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> change;
        bool reported;
    };
    const std::vector<Case> cases = {
        {"a box written", [](const fs::path& t) { Write(t / "neu.box"); }, true},
        {"a box in capitals", [](const fs::path& t) { Write(t / "a" / "NEU.BOX"); }, true},
        {"an existing box rewritten", [](const fs::path& t) { Write(t / "a" / "alt.box", "x"); },
         true},
        {"a box removed", [](const fs::path& t) { fs::remove(t / "a" / "alt.box"); }, true},
        {"a box renamed into its name",
         [](const fs::path& t) { fs::rename(t / "a" / "teil.part", t / "a" / "teil.box"); }, true},
        {"a box touched",
         [](const fs::path& t) {
             fs::last_write_time(t / "a" / "alt.box", fs::file_time_type::clock::now());
         },
         true},
        {"a folder removed", [](const fs::path& t) { fs::remove_all(t / "a"); }, true},
        {"another file written", [](const fs::path& t) { Write(t / "a" / "notiz.txt"); }, false},
        {"another file removed", [](const fs::path& t) { fs::remove(t / "a" / "alt.txt"); }, false},
        {"a box outside the tree", [](const fs::path& t) { Write(t.parent_path() / "x.box"); },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempDir dir;
        const fs::path tree = fs::path(dir.path()) / "tree";
        fs::create_directories(tree / "a");
        Write(tree / "a" / "alt.box");
        Write(tree / "a" / "alt.txt");
        Write(tree / "a" / "teil.part");
        TreeWatcher watcher(tree.string());
        ASSERT_TRUE(watcher.Complete());
        c.change(tree);
        EXPECT_EQ(ChangedSoon(watcher), c.reported);
    }
}

TEST(CollectionWatch, WatchesFoldersMadeOrMovedInLater) {
    testing::TempDir dir;
    const fs::path tree = fs::path(dir.path()) / "tree";
    const fs::path outside = fs::path(dir.path()) / "draussen";
    fs::create_directories(tree);
    fs::create_directories(outside / "tief");
    TreeWatcher watcher(tree.string());
    EXPECT_EQ(watcher.WatchedFolders(), 1u);

    fs::create_directories(tree / "neu" / "unten");
    EXPECT_TRUE(ChangedSoon(watcher));
    Write(tree / "neu" / "unten" / "a.box");
    EXPECT_TRUE(ChangedSoon(watcher)) << "a box in a folder made after the start";

    fs::rename(outside, tree / "geholt");
    EXPECT_TRUE(ChangedSoon(watcher));
    Write(tree / "geholt" / "tief" / "b.box");
    EXPECT_TRUE(ChangedSoon(watcher)) << "a box deep in a folder moved in";
    EXPECT_EQ(watcher.WatchedFolders(), 5u);
}

}  // namespace
}  // namespace quorvel
