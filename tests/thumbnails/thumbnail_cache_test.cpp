// Run: ctest --test-dir build -R ThumbnailCache   (or build/tests/thumbnail_cache_tests)
// The shared thumbnail cache as file managers keep it: the entry's name and
// URI as GLib makes them, the text chunks as ImageMagick reads them, the
// folder and file modes, and which entries count as valid.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <QCoreApplication>
#include <array>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "picture/thumbnail_cache.h"
#include "support/box_builder.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

using State = ThumbnailCache::State;

// What a command prints on its standard output.
std::string Output(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        std::array<char, 4096> buffer{};
        while (const size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe)) {
            out.append(buffer.data(), got);
        }
        ::pclose(pipe);
    }
    return out;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

int Mode(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
}

void SetMtime(const std::string& path, time_t when) {
    const utimbuf times{when, when};
    ::utime(path.c_str(), &times);
}

class ThumbnailCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_temp.ok());
        m_cache = m_temp.path() + "cache/thumbnails/";
        m_box = m_temp.path() + "Die Kiste [1]; #2.box";
        std::filesystem::copy_file(QUORVEL_SOURCE_DIR "/examples/two-dvds.box", m_box);
        SetMtime(m_box, 1'700'000'000);
    }
    testing::TempDir m_temp;
    std::string m_cache;
    std::string m_box;
};

TEST_F(ThumbnailCacheTest, UriAndNameAsGlibMakesThem) {
    for (const std::string& path :
         {m_box, std::string("/tmp/a b/\xC3\xA4#x?%.box"), std::string("/t/[x];!$&'()*+,=:@~.box"),
          std::string("/t/\xFF\x01\n.box")}) {
        SCOPED_TRACE(path);
        const std::string glib = Output(
            "/usr/bin/python3 -c 'import sys; from gi.repository import GLib; "
            "sys.stdout.write(GLib.filename_to_uri(sys.argv[1].encode(\"utf-8\", "
            "\"surrogateescape\"), None))' " +
            Quoted(path));
        ASSERT_FALSE(glib.empty()) << "python3-gi with GLib is needed";
        EXPECT_EQ(FileUri(path), glib);
        const std::string md5 = Output("printf %s " + Quoted(glib) + " | md5sum");
        EXPECT_EQ(ThumbnailName(FileUri(path)), md5.substr(0, 32) + ".png");
    }
}

TEST_F(ThumbnailCacheTest, EntryAsTheStandardWantsIt) {
    const ThumbnailCache cache(m_cache, "Quorvel 9.8");
    const QImage made = cache.Make(m_box, ThumbnailFlavor::kNormal);
    ASSERT_FALSE(made.isNull());
    EXPECT_EQ(std::max(made.width(), made.height()), 128);
    const std::string entry = cache.EntryPath(m_box, ThumbnailFlavor::kNormal);
    EXPECT_EQ(entry, m_cache + "normal/" + ThumbnailName(FileUri(m_box)));
    EXPECT_EQ(Mode(entry), 0600);
    for (const std::string& folder : {m_cache, m_cache + "normal"}) {
        EXPECT_EQ(Mode(folder), 0700) << folder;
    }
    // Read back by another program's PNG reader.
    const std::string texts = Output(
        "identify -format '%[Thumb::URI]|%[Thumb::MTime]|%[Thumb::Size]|%[Thumb::Mimetype]|"
        "%[Software]' " +
        Quoted(entry));
    EXPECT_EQ(texts, FileUri(m_box) + "|1700000000|" +
                         std::to_string(std::filesystem::file_size(m_box)) +
                         "|application/x-mirax-box|Quorvel 9.8");
    // Nothing else is left in the folder: the temporary name was renamed.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_cache + "normal"),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(ThumbnailCacheTest, WhichEntriesAreValid) {
    const ThumbnailCache cache(m_cache, "Quorvel");
    const std::string other = m_temp.path() + "andere.box";
    std::filesystem::copy_file(QUORVEL_SOURCE_DIR "/examples/kinderkiste.box", other);
    ASSERT_FALSE(cache.Make(other, ThumbnailFlavor::kLarge).isNull());
    struct Case {
        const char* name;
        std::function<void()> change;  // after a fresh entry was made
        State expected;
    };
    const std::string entry = cache.EntryPath(m_box, ThumbnailFlavor::kLarge);
    const Case cases[] = {
        {"fresh", [] {}, State::kValid},
        {"file touched", [&] { SetMtime(m_box, 1'700'000'001); }, State::kMissing},
        {"entry damaged",
         [&] { std::filesystem::resize_file(entry, std::filesystem::file_size(entry) / 2); },
         State::kMissing},
        {"entry of another file",
         [&] {
             std::filesystem::copy_file(cache.EntryPath(other, ThumbnailFlavor::kLarge), entry,
                                        std::filesystem::copy_options::overwrite_existing);
         },
         State::kMissing},
        {"entry is a link",
         [&] {
             std::filesystem::remove(entry);
             std::filesystem::create_symlink(cache.EntryPath(other, ThumbnailFlavor::kLarge),
                                             entry);
         },
         State::kMissing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetMtime(m_box, 1'700'000'000);
        std::filesystem::remove(entry);
        ASSERT_FALSE(cache.Make(m_box, ThumbnailFlavor::kLarge).isNull());
        c.change();
        const ThumbnailCache::Lookup found = cache.Find(m_box, ThumbnailFlavor::kLarge);
        EXPECT_EQ(found.state, c.expected);
        EXPECT_EQ(found.image.isNull(), c.expected != State::kValid);
        // Made again, it is valid once more.
        std::filesystem::remove(entry);
        cache.Make(m_box, ThumbnailFlavor::kLarge);
        EXPECT_EQ(cache.Find(m_box, ThumbnailFlavor::kLarge).state, State::kValid);
    }
    EXPECT_EQ(cache.Find(m_box, ThumbnailFlavor::kNormal).state, State::kMissing);
}

TEST_F(ThumbnailCacheTest, BoxWithoutCoverGetsAFailureEntry) {
    const ThumbnailCache cache(m_cache, "Quorvel 9.8");
    const std::string bare = m_temp.path() + "ohne.box";
    testing::WriteFile(bare, testing::BuildBox({}));
    EXPECT_TRUE(cache.Make(bare, ThumbnailFlavor::kNormal).isNull());
    EXPECT_FALSE(std::filesystem::exists(cache.EntryPath(bare, ThumbnailFlavor::kNormal)));
    EXPECT_EQ(cache.FailurePath(bare),
              m_cache + "fail/Quorvel-9.8/" + ThumbnailName(FileUri(bare)));
    EXPECT_EQ(Mode(cache.FailurePath(bare)), 0600);
    EXPECT_EQ(cache.Find(bare, ThumbnailFlavor::kNormal).state, State::kFailed);
    // Once the file changes, it is tried again.
    SetMtime(bare, 1'600'000'000);
    EXPECT_EQ(cache.Find(bare, ThumbnailFlavor::kNormal).state, State::kMissing);
}

}  // namespace
}  // namespace quorvel

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // lets Qt find its picture plugins
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
