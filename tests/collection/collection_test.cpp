// Run: ctest --test-dir build -R 'Collection(Query|Search|Listing|Cache|Update)'
//   (or: build/tests/collection_tests)
// The collection layer in process, with the real SQLite: query translation,
// search over the example boxes, the listing, the cache path and the
// background update.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "collection/cache_path.h"
#include "collection/collection.h"
#include "collection/query.h"
#include "collection/schema.h"
#include "support/box_builder.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

using testing::Bytes;
using testing::Concat;
using testing::TempDir;
using testing::Token;

const std::string kExamples = std::string(QUORVEL_SOURCE_DIR) + "/examples";

std::string NameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

TEST(CollectionQuery, TranslatesWordsPhrasesFieldsAndFilters) {
    Database db(":memory:");
    const QueryTokenizer tokenizer(db);
    struct Case {
        std::string input;
        std::string all;  // every term required
        std::optional<NumberRange> years = std::nullopt, fsk = std::nullopt;
    };
    const std::vector<Case> cases = {
        {"bruckner", "\"bruckner\" *"},
        {"Brückner  ILSE", "\"bruckner\" AND \"ilse\" *"},
        {"\"Nebelwald II\" rück", "\"nebelwald ii\" AND \"ruck\" *"},
        {"rück \"Nebelwald II\"", "\"ruck\" AND \"nebelwald ii\""},
        {"person:\"brückner, ilse\" titel:nebel",
         "{persons} : \"bruckner ilse\" AND "
         "{title original_title further_titles} : "
         "\"nebel\" *"},
        {"GENRE:krimi sprache:deutsch ean:4011",
         "{genre} : \"krimi\" AND {languages} : "
         "\"deutsch\" AND {ean} : \"4011\" *"},
        {"jahr:1990-1999 fsk:12", "", NumberRange{1990, 1999}, NumberRange{12, 12}},
        {"jahr:1999-1990 wald", "\"wald\" *", NumberRange{1990, 1999}},
        {"jahr:-1980 fsk:16-", "", NumberRange{0, 1980}, NumberRange{16, 999999999}},
        {"jahr:neunzig fsk: jahr:-", ""},
        {"jahr:12345678901 x", "\"x\" *"},
        // FTS5 syntax is only text: operators, stars, colons, brackets.
        {"a AND b OR NOT NEAR(c)",
         "\"a\" AND \"and\" AND \"b\" AND \"or\" AND \"not\" AND "
         "\"near c\" *"},
        {"foo:bar *^-+ {x}", "\"foo bar\" AND \"x\" *"},
        {"a\"b(c)*:^", "\"a\" AND \"b c\""},
        {"\"\" \"  \" ! ,;", ""},
        {std::string("k\xF6ln \xFF"), "\"k ln\" *"},  // invalid UTF-8 is replaced
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        const TranslatedQuery query = TranslateQuery(tokenizer, c.input);
        EXPECT_EQ(query.AllTerms(), c.all);
        EXPECT_EQ(query.years, c.years);
        EXPECT_EQ(query.fsk, c.fsk);
    }
}

// The example boxes plus two made here, indexed once for all searches.
class CollectionSearch : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new TempDir;
        for (const char* name : {"two-dvds.box", "kinderkiste.box", "krimi-abende.box"}) {
            std::filesystem::copy_file(kExamples + "/" + name, s_dir->path() + name);
        }
        // A word in the content only, and one in the title: the title ranks first.
        WriteBox("inhalt.box",
                 Concat({Token(0x10, "Sammelbox"), Token(0x60, "Ein Leuchtturm und viel Meer"),
                         Token(0x80, Bytes{})}));
        WriteBox("titel.box", Concat({Token(0x10, "Leuchtturm-Box"), Token(0x80, Bytes{})}));
        testing::WriteFile(s_dir->path() + "kaputt.box", Bytes(100, 'X'));
        s_collection = Collection::OpenFile(":memory:").release();
        const IndexSummary summary = s_collection->Update({s_dir->path()});
        ASSERT_EQ(summary.read, 6u);
        ASSERT_EQ(summary.problems.size(), 1u);
    }
    static void TearDownTestSuite() {
        delete s_collection;
        delete s_dir;
    }
    static void WriteBox(const std::string& name, const Bytes& data) {
        testing::BoxSpec made;
        made.data = data;
        testing::WriteFile(s_dir->path() + name, testing::BuildBox(made));
    }

    static TempDir* s_dir;
    static Collection* s_collection;
};
TempDir* CollectionSearch::s_dir = nullptr;
Collection* CollectionSearch::s_collection = nullptr;

TEST_F(CollectionSearch, FindsBoxesInRankOrderWithTheFilmsThatMatched) {
    struct Case {
        std::string query;
        std::vector<std::string> boxes;  // in rank order
        std::vector<std::string> films;  // of the first box, in any order
    };
    const std::vector<Case> cases = {
        {"bruckner",
         {"two-dvds.box"},
         {"Nebelwald", "Nebelwald II – Die Rückkehr", "Hinter den Kulissen: Nebelwald",
          "Der Schäfer von Grünau"}},
        {"BRÜCKNER schafer",
         {"two-dvds.box"},
         {"Nebelwald", "Nebelwald II – Die Rückkehr", "Hinter den Kulissen: Nebelwald",
          "Der Schäfer von Grünau"}},
        {"grabowski jahr:2007", {"krimi-abende.box"}, {"Stille Wasser von Kappeln"}},
        {"jahr:1990-1999", {"two-dvds.box"}, {"Nebelwald", "Der Schäfer von Grünau"}},
        {"fsk:6", {"kinderkiste.box", "two-dvds.box"}, {"Zirkus Kunterbunt zieht weiter"}},
        {"fsk:16 jahr:2008", {"krimi-abende.box"}, {"Die Tote im Watt"}},
        {"leuchtturm", {"titel.box", "krimi-abende.box", "inhalt.box"}, {}},
        {"person:nebelwald", {}, {}},
        {"titel:hausmann", {}, {}},
        {"person:hausm",
         {"kinderkiste.box"},
         {"Lotte und der Drachenbäcker", "Zirkus Kunterbunt zieht weiter"}},
        {"\"rückkehr nebelwald\"", {}, {}},
        {"\"nebelwald ii\"", {"two-dvds.box"}, {"Nebelwald II – Die Rückkehr"}},
        {"ean:4011223344556", {"krimi-abende.box"}, {}},
        {"genre:thriller", {"krimi-abende.box"}, {"Die Tote im Watt"}},
        {"k", {"kinderkiste.box", "two-dvds.box", "krimi-abende.box"}, {}},
        {"nebelwald drachen", {}, {}},
        {"", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query);
        const std::vector<BoxHit> hits = s_collection->Search(c.query);
        std::vector<std::string> boxes;
        for (const BoxHit& hit : hits) {
            boxes.push_back(NameOf(hit.path));
        }
        if (c.query == "k") {  // many tie; only which boxes
            std::sort(boxes.begin(), boxes.end());
            std::vector<std::string> want = c.boxes;
            std::sort(want.begin(), want.end());
            EXPECT_EQ(boxes, want);
            continue;
        }
        EXPECT_EQ(boxes, c.boxes);
        if (!hits.empty() && !c.films.empty()) {
            std::vector<std::string> films;
            for (const FilmHit& film : hits.front().films) {
                films.push_back(film.title.value_or("(none)"));
            }
            EXPECT_TRUE(
                std::is_permutation(films.begin(), films.end(), c.films.begin(), c.films.end()))
                << ::testing::PrintToString(films);
        }
    }
    const std::vector<BoxHit> limited = s_collection->Search("k", {.limit = 1});
    EXPECT_EQ(limited.size(), 1u);
}

TEST_F(CollectionSearch, ListsEveryBoxWithTheWindowsColumns) {
    std::vector<BoxRow> rows = s_collection->List();
    ASSERT_EQ(rows.size(), 6u);
    const auto row = [&rows](const std::string& name) {
        return *std::find_if(rows.begin(), rows.end(),
                             [&name](const BoxRow& r) { return r.fileName == name; });
    };
    const BoxRow two = row("two-dvds.box");
    EXPECT_EQ(two.title, "Die Nebelwald-Sammlung");
    EXPECT_EQ(two.dvdCount, 2);
    EXPECT_EQ(two.filmCount, 4);
    EXPECT_EQ(two.yearMin, 1996);
    EXPECT_EQ(two.yearMax, 2004);
    EXPECT_EQ(two.fsk, 16);
    EXPECT_EQ(two.genre, "Abenteuer, Abenteuer, Drama, Dokumentation, Kurzfilm");
    EXPECT_EQ(two.ean, "4099876543210");
    EXPECT_EQ(two.status, "ok");
    EXPECT_EQ(two.path, s_dir->path() + "two-dvds.box");
    const BoxRow broken = row("kaputt.box");
    EXPECT_EQ(broken.status, "wrong-magic");
    EXPECT_TRUE(broken.reason.has_value());
    EXPECT_EQ(broken.title, std::nullopt);
    EXPECT_EQ(broken.filmCount, 0);
    const BoxRow titled = row("titel.box");
    EXPECT_EQ(titled.filmCount, 0);
    EXPECT_EQ(titled.yearMin, std::nullopt);
    // The rows of given ids, as a window adds the rows of one batch.
    const std::vector<BoxRow> some = s_collection->List({two.id, titled.id, 999999});
    ASSERT_EQ(some.size(), 2u);
    EXPECT_EQ(some[0].fileName, "titel.box");
}

TEST(CollectionCache, OnePathPerFolderUnderTheCacheHomeElseMemory) {
    TempDir dir;
    ASSERT_EQ(::setenv("XDG_CACHE_HOME", (dir.path() + "cache").c_str(), 1), 0);
    const std::string path = CacheDatabasePath("/srv/dvds");
    EXPECT_EQ(path.rfind(dir.path() + "cache/quorvel/collection-", 0), 0u) << path;
    EXPECT_EQ(CacheDatabasePath("/srv/dvds/"), path);
    EXPECT_EQ(CacheDatabasePath("/srv/./filme/../dvds"), path);
    EXPECT_NE(CacheDatabasePath("/srv/dvds2"), path);
    {
        auto collection = Collection::OpenForFolder("/srv/dvds");
        EXPECT_FALSE(collection->InMemory());
        EXPECT_TRUE(std::filesystem::exists(path));
    }
    // A cache home that cannot hold a folder: the index lives in memory.
    testing::WriteFile(dir.path() + "file", Bytes{1});
    ASSERT_EQ(::setenv("XDG_CACHE_HOME", (dir.path() + "file/cache").c_str(), 1), 0);
    auto memory = Collection::OpenForFolder(kExamples);
    EXPECT_TRUE(memory->InMemory());
    EXPECT_NE(memory->Notice().find("in memory"), std::string::npos);
    EXPECT_EQ(memory->Update({kExamples}).read, 3u);
    EXPECT_EQ(memory->Search("bruckner").size(), 1u);
    ::unsetenv("XDG_CACHE_HOME");
}

TEST(CollectionUpdate, ReportsProgressAndStoredRowsAndCanBeCancelled) {
    TempDir dir;
    for (int i = 0; i < 600; ++i) {
        std::filesystem::create_hard_link(kExamples + "/krimi-abende.box",
                                          dir.path() + "k" + std::to_string(i) + ".box");
    }
    for (const bool memory : {false, true}) {
        SCOPED_TRACE(memory);
        auto collection = Collection::OpenFile(memory ? ":memory:" : dir.path() + "db.sqlite");
        std::vector<IndexProgress> reports;
        std::vector<int64_t> stored;
        BackgroundUpdate update(*collection, {dir.path()}, [&](const IndexProgress& progress) {
            reports.push_back(progress);
            stored.insert(stored.end(), progress.stored.begin(), progress.stored.end());
        });
        const IndexSummary summary = update.Wait();
        EXPECT_FALSE(summary.cancelled);
        EXPECT_EQ(summary.read, 600u);
        ASSERT_FALSE(reports.empty());
        EXPECT_EQ(reports.back().done, 600u);
        EXPECT_EQ(reports.back().found, 600u);
        EXPECT_FALSE(reports.back().walking);
        for (size_t i = 1; i < reports.size(); ++i) {
            EXPECT_LE(reports[i - 1].done, reports[i].done);
        }
        EXPECT_EQ(stored.size(), 600u);
        EXPECT_EQ(collection->List(stored).size(), 600u);
        EXPECT_EQ(collection->Search("grabowski").size(), 600u);
    }
    // Cancelled after its first batch, readers waiting with full hands: it
    // stops, keeps what it stored, drops nothing, and the next run completes.
    auto collection = Collection::OpenFile(dir.path() + "cancel.sqlite");
    {
        std::atomic<bool> cancel{false};
        IndexOptions options;
        options.cancel = &cancel;
        options.progress = [&cancel](const IndexProgress& progress) {
            if (!progress.stored.empty()) {
                cancel = true;
            }
        };
        const IndexSummary summary = collection->Update({dir.path()}, options);
        EXPECT_TRUE(summary.cancelled);
        EXPECT_LT(summary.read, 600u);
    }
    const size_t kept = collection->List().size();
    EXPECT_EQ(collection->Update({dir.path()}).read, 600u - kept);
    EXPECT_EQ(collection->List().size(), 600u);
}

TEST(CollectionSchema, AnythingFoundIsRebuiltIntoTheCurrentSchema) {
    TempDir dir;
    struct Case {
        const char* name;
        Bytes content;  // written as the database file; empty for none
        bool rebuilt;
    };
    const std::vector<Case> cases = {
        {"missing", {}, false},
        {"garbage", Bytes(9000, 0x5A), true},
        {"header only", testing::ToBytes("SQLite format 3"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.path() + c.name + ".sqlite";
        if (!c.content.empty()) {
            testing::WriteFile(path, c.content);
        }
        OpenedDatabase opened = OpenCollectionDatabase(path);
        EXPECT_EQ(!opened.rebuilt.empty(), c.rebuilt) << opened.rebuilt;
        EXPECT_EQ(opened.db->QueryInt("PRAGMA user_version"), kSchemaVersion);
        EXPECT_EQ(opened.db->QueryInt("SELECT count(*) FROM boxes"), 0);
    }
}

}  // namespace
}  // namespace quorvel
