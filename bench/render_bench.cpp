// Run: cmake --build build --target render_bench && build/bench/render_bench
// Cost of showing a box: long person blocks, many language definitions and
// the example files, from loaded bytes to the finished record text. The
// Render/* cases time the renderer alone on one data block and report its
// output bytes per second; each Memcpy/* case beside it copies as many bytes,
// the floor for writing that much text.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "boxfile/box_display.h"
#include "boxfile/box_loader.h"
#include "render/record_renderer.h"
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
        textSize = quorvel::ShowBoxFile(quorvel::LoadBoxBytes(file), renderer, noCover).text.size();
        benchmark::DoNotOptimize(textSize);
    }
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

// Made-up words on lines of 250 characters, one text token each: the
// renderer's plain path at full length.
Bytes ProseBlock(size_t bytes) {
    static const char* const kSyllables[] = {"ba", "de", "ki",  "lo", "mu",  "na",  "re",
                                             "si", "to", "ver", "ge", "ung", "sch", "ei"};
    uint32_t seed = 12345;
    const auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    Bytes data;
    std::string line;
    while (data.size() < bytes) {
        line.clear();
        while (line.size() < 250) {
            for (uint32_t s = 0, n = 1 + next(4); s < n; ++s) {
                line += kSyllables[next(std::size(kSyllables))];
            }
            line += ' ';
        }
        line.resize(250);
        quorvel::testing::Append(data, Token(0x13, line));
    }
    quorvel::testing::Append(data, Token(0x80, ""));
    return data;
}

// Ten roles, `persons` persons, one reference each and a note on every
// tenth: one film's cast, as bench/make_inputs.py writes it.
Bytes CastBlock(int persons) {
    Bytes data;
    for (int r = 1; r <= 10; ++r) {
        quorvel::testing::Append(data, Token(0x5C, "Rolle " + std::to_string(r)));
    }
    for (int i = 0; i < persons; ++i) {
        quorvel::testing::Append(
            data, Token(0x5D, "Name" + std::to_string(i) + "\tVorname\t" + (i % 7 ? "1" : "2")));
    }
    for (int i = 1; i <= persons; ++i) {
        quorvel::testing::Append(data,
                                 Token(0x5E, std::to_string(i) + "#" + std::to_string(1 + i % 10)));
    }
    for (int i = 1; i <= persons; i += 10) {
        quorvel::testing::Append(data, Token(0x5F, std::to_string(i) + "\tals Figur"));
    }
    quorvel::testing::Append(data, Token(0x80, ""));
    return data;
}

std::string RenderOnce(quorvel::CRecordRenderer& renderer, const Bytes& block) {
    renderer.BeginFile();
    return quorvel::AssembleRecordText(renderer, block);
}

void RenderBlock(benchmark::State& state, const Bytes& block) {
    quorvel::CRecordRenderer renderer;
    size_t textSize = 0;
    for (auto _ : state) {
        const std::string text = RenderOnce(renderer, block);
        textSize = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["text_bytes"] = static_cast<double>(textSize);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * textSize));
}

void CopyBytes(benchmark::State& state, size_t bytes) {
    const std::vector<char> from(bytes, 'x');
    std::vector<char> to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

// Each block with its memcpy twin; the twin's size is the text the renderer
// writes, so the two bytes-per-second columns compare directly.
void RegisterRendererAlone() {
    struct Input {
        const char* name;
        Bytes block;
    };
    static const std::vector<Input> inputs = {
        {"prose_12MiB", ProseBlock(size_t{12} << 20)},
        {"cast_100k", CastBlock(100000)},
        {"cast_1M", CastBlock(1000000)},
    };
    quorvel::CRecordRenderer renderer;
    for (const Input& input : inputs) {
        const size_t textSize = RenderOnce(renderer, input.block).size();
        benchmark::RegisterBenchmark((std::string("Render/") + input.name).c_str(), RenderBlock,
                                     input.block)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("Memcpy/") + input.name).c_str(), CopyBytes,
                                     textSize)
            ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RegisterRendererAlone();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
