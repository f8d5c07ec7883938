// Fuzzes the record renderer: the input is a data block's token stream.
// Build with libFuzzer (clang), from the top of the checkout:
//   cmake -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DQUORVEL_LIBFUZZER=ON -DQUORVEL_SANITIZE=ON
//   cmake --build build-fuzz --target fuzz_render
// Run it, new inputs going to a scratch folder, not into the seeds; inputs
// up to 1 MiB reach amplifying streams, and a slow or fat input counts as a
// crash:
//   cd build-fuzz && mkdir -p new-render && export UBSAN_OPTIONS=halt_on_error=1
//   fuzz/fuzz_render -rss_limit_mb=1024 -timeout=5 -max_len=1048576
//       -max_total_time=1200 new-render ../fuzz/corpus/fuzz_render
// Replay the seeds and crashers in any build (CTest: Fuzz.fuzz_render):
//   build/fuzz/fuzz_render fuzz/corpus/fuzz_render fuzz/crashers
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "boxfile/box_display.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/render_walk.h"
#include "render/record_renderer.h"

namespace {

// The record text exactly as the display assembles it.
std::string RenderBlock(quorvel::CRecordRenderer& renderer, std::span<const unsigned char> block) {
    renderer.BeginFile();
    std::string text = quorvel::AssembleRecordText(renderer, block);
    if (!block.empty()) {
        // The walk ends with a person flush, which empties every table.
        QUORVEL_FUZZ_CHECK(renderer.Table(quorvel::RecordTable::kPersonRef).Empty() &&
                           renderer.Table(quorvel::RecordTable::kLanguage).Empty());
        QUORVEL_FUZZ_CHECK(renderer.Table(quorvel::RecordTable::kPersonRef).NextId() == 1);
    }
    renderer.ResetRecordTables();
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const unsigned char> block(data, size);
    quorvel::fuzz::CheckTokenWalk(block);
    quorvel::CRecordRenderer renderer;
    const std::string first = RenderBlock(renderer, block);
    // Texts end at their first NUL, so none can reach the shown text.
    QUORVEL_FUZZ_CHECK(first.find('\0') == std::string::npos);
    // The same renderer shows the same block the same way again: nothing of
    // one display may leak into the next.
    const std::string again = RenderBlock(renderer, block);
    QUORVEL_FUZZ_CHECK(again == first);
    return 0;
}
