// Run: cmake --build build --target render_bench && build/bench/render_bench
// Cost of showing a box: long person blocks, many language definitions and
// the example files, from loaded bytes to the finished record text.
#include <benchmark/benchmark.h>

#include <string>

#include "boxfile/box_display.h"
#include "boxfile/box_loader.h"
#include "support/box_builder.h"

namespace {

using quorvel::testing::Bytes;
using quorvel::testing::Token;

// One person block of `definitions` tokens: a quarter each of roles,
// persons, references and notes, every note naming a reference.
Bytes PersonBlock(int definitions) {
    const int each = definitions / 4;
    Bytes data;
    for (int i = 0; i < each; ++i) {
        quorvel::testing::Append(data, Token(0x5C, "Rolle " + std::to_string(i)));
    }
    for (int i = 0; i < each; ++i) {
        quorvel::testing::Append(data, Token(0x5D, "Name" + std::to_string(i) + "\tVorname\t1"));
    }
    for (int i = 1; i <= each; ++i) {
        quorvel::testing::Append(data, Token(0x5E, std::to_string(i) + "#" + std::to_string(i)));
    }
    for (int i = 1; i <= each; ++i) {
        quorvel::testing::Append(data, Token(0x5F, std::to_string(i) + "\tals Figur"));
    }
    quorvel::testing::Append(data, Token(0x80, ""));
    return data;
}

void ShowBytes(benchmark::State& state, const Bytes& file) {
    quorvel::CRecordRenderer renderer;
    const quorvel::CoverLoader noCover = [](std::span<const unsigned char>) {
        return std::optional<quorvel::CoverSize>();
    };
    size_t textSize = 0;
    for (auto _ : state) {
        quorvel::FreeBoxFile();
        quorvel::LoadBoxBytes(file);
        textSize = quorvel::ShowBoxFile(renderer, noCover).text.size();
        benchmark::DoNotOptimize(textSize);
    }
    quorvel::FreeBoxFile();
    state.counters["text_bytes"] = static_cast<double>(textSize);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}

void BM_PersonBlock(benchmark::State& state) {
    quorvel::testing::BoxSpec box;
    box.data = PersonBlock(static_cast<int>(state.range(0)));
    ShowBytes(state, quorvel::testing::BuildBox(box));
}
BENCHMARK(BM_PersonBlock)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_PersonBlockCompressed(benchmark::State& state) {
    quorvel::testing::BoxSpec box;
    box.flags = 0x80;
    box.data = quorvel::testing::Compress(PersonBlock(static_cast<int>(state.range(0))));
    ShowBytes(state, quorvel::testing::BuildBox(box));
}
BENCHMARK(BM_PersonBlockCompressed)->Arg(100000)->Unit(benchmark::kMillisecond);

// Distinct language definitions followed by references to each: the
// de-duplication and id look-ups dominate.
void BM_LanguageReferences(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    Bytes data;
    for (int i = 0; i < count; ++i) {
        quorvel::testing::Append(data, Token(0x59, "Sprache " + std::to_string(i)));
        quorvel::testing::Append(data, Token(0x5A, "Ton " + std::to_string(i)));
    }
    for (int i = 1; i <= count; ++i) {
        quorvel::testing::Append(data, Token(0x5B, std::to_string(i) + "#" + std::to_string(i)));
    }
    quorvel::testing::BoxSpec box;
    box.data = data;
    ShowBytes(state, quorvel::testing::BuildBox(box));
}
BENCHMARK(BM_LanguageReferences)->Arg(50000)->Unit(benchmark::kMillisecond);

void BM_Example(benchmark::State& state, const char* name) {
    ShowBytes(state,
              quorvel::testing::ReadFile(std::string(QUORVEL_SOURCE_DIR) + "/examples/" + name));
}
BENCHMARK_CAPTURE(BM_Example, two_dvds, "two-dvds.box")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Example, krimi_abende, "krimi-abende.box")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
