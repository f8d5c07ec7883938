// Fuzzes the search's query translation: any bytes are a query. Each one is
// translated and run against a real FTS5 index in memory; an SQL error, a
// token that is not a plain word, or a word of the query that does not reach
// the expression stops the run.
// Build with libFuzzer (clang), from the top of the checkout:
//   cmake -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DQUORVEL_LIBFUZZER=ON -DQUORVEL_SANITIZE=ON
//   cmake --build build-fuzz --target fuzz_query
//   cd build-fuzz && mkdir -p new-query && fuzz/fuzz_query -rss_limit_mb=1024 -timeout=5
//       -max_len=4096 -max_total_time=600 new-query ../fuzz/corpus/fuzz_query
// Replay the seeds and crashers in any build (CTest: Fuzz.fuzz_query):
//   build/fuzz/fuzz_query fuzz/corpus/fuzz_query fuzz/crashers
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/text_util.h"
#include "collection/query.h"
#include "collection/schema.h"
#include "collection/search.h"
#include "fuzz/fuzz_check.h"

namespace {

struct Index {
    quorvel::OpenedDatabase opened = quorvel::OpenCollectionDatabase(":memory:");
    quorvel::QueryTokenizer tokenizer{*opened.db};
    Index() {
        opened.db->Exec(
            "INSERT INTO boxes (id, path, status) VALUES (1, '/a.box', 'ok');"
            "INSERT INTO dvds (id, box_id) VALUES (1, 1);"
            "INSERT INTO films (id, box_id, dvd_id, year, fsk, title) VALUES (1, 1, 1, 1998, 12, "
            "'Nebelwald');"
            "INSERT INTO box_fts (rowid, title, persons) VALUES (1, 'Nebelwald', 'Brückner, Ilse');"
            "INSERT INTO film_text (film_id, title, persons) VALUES (1, 'Nebelwald', 'Brückner, "
            "Ilse')");
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Index index;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const quorvel::TranslatedQuery query = quorvel::TranslateQuery(index.tokenizer, text);

    // Every token is a plain word: no blank, no quote, nothing empty.
    std::vector<std::string> searched;
    for (const quorvel::SearchTerm& term : query.terms) {
        QUORVEL_FUZZ_CHECK(!term.tokens.empty());
        for (const std::string& token : term.tokens) {
            QUORVEL_FUZZ_CHECK(!token.empty());
            QUORVEL_FUZZ_CHECK(token.find_first_of("\" \t\r\n") == std::string::npos);
            searched.push_back(token);
        }
    }
    // Without quotes and field words, the words searched are exactly the
    // query's words as the index cuts them.
    if (text.find_first_of("\":") == std::string_view::npos) {
        QUORVEL_FUZZ_CHECK(searched == index.tokenizer.Tokens(quorvel::SanitizeUtf8(text)));
    }
    // A valid statement: SQLite's errors are exceptions, and escape here.
    quorvel::SearchBoxes(*index.opened.db, index.tokenizer, text);
    return 0;
}
