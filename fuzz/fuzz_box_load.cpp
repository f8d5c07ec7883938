// Fuzzes the box loader and the display: the input is a whole box file.
// Build with libFuzzer (clang), from the top of the checkout:
//   cmake -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DQUORVEL_LIBFUZZER=ON -DQUORVEL_SANITIZE=ON
//   cmake --build build-fuzz --target fuzz_box_load
// Run it, new inputs going to a scratch folder, not into the seeds; inputs
// up to 1 MiB reach amplifying streams, and a slow or fat input counts as a
// crash:
//   cd build-fuzz && mkdir -p new-box && export UBSAN_OPTIONS=halt_on_error=1
//   fuzz/fuzz_box_load -rss_limit_mb=1024 -timeout=5 -max_len=1048576
//       -max_total_time=1200 new-box ../fuzz/corpus/fuzz_box_load
// Replay the seeds and crashers in any build (CTest: Fuzz.fuzz_box_load):
//   build/fuzz/fuzz_box_load fuzz/corpus/fuzz_box_load fuzz/crashers
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>

#include "boxfile/box_display.h"
#include "boxfile/box_loader.h"
#include "fuzz/fuzz_check.h"
#include "render/record_renderer.h"

namespace {

constexpr quorvel::CoverSize kCoverSize{17, 23};

uint32_t ReadU32(std::span<const unsigned char> bytes, size_t at) {
    return uint32_t{bytes[at]} | (uint32_t{bytes[at + 1]} << 8) | (uint32_t{bytes[at + 2]} << 16) |
           (uint32_t{bytes[at + 3]} << 24);
}

// What the loader must have made of the file, judged from the file alone.
void CheckLoadedBox(const quorvel::LoadedBox& box, std::span<const unsigned char> file) {
    using namespace quorvel;
    const BoxHeader* header = box.Header();
    const BoxBlock& coverBlock = box.Cover();
    const BoxBlock& dataBlock = box.Data();
    QUORVEL_FUZZ_CHECK(coverBlock.Present() || coverBlock.Bytes().empty());
    QUORVEL_FUZZ_CHECK(dataBlock.Present() || dataBlock.Bytes().empty());
    if (file.size() < kBoxHeaderSize) {
        QUORVEL_FUZZ_CHECK(!header && !coverBlock.Present() && !dataBlock.Present());
        QUORVEL_FUZZ_CHECK(box.Result().status == LoadStatus::kTooShort);
        return;
    }
    const bool magic = std::memcmp(file.data(), "MIRAX4.0", 8) == 0;
    QUORVEL_FUZZ_CHECK(box.Result().Loaded() == magic);
    if (!header || !magic) {
        QUORVEL_FUZZ_CHECK(!coverBlock.Present() && !dataBlock.Present());
        return;
    }
    const unsigned char flags = file[54];
    QUORVEL_FUZZ_CHECK(header->flags == flags);
    const uint32_t coverOffset = ReadU32(file, 56);
    const uint32_t dataOffset = ReadU32(file, 60);
    QUORVEL_FUZZ_CHECK(header->coverOffset == coverOffset && header->dataOffset == dataOffset);
    // A block kept as stored must be the file's bytes at its place: the
    // cover right behind the header, the data behind the stored cover, each
    // as long as the header's offsets make it (32-bit arithmetic).
    const auto storedCover = static_cast<int32_t>(dataOffset - coverOffset);
    const auto dataLength = static_cast<int32_t>(static_cast<uint32_t>(file.size()) - dataOffset);
    const std::span<const unsigned char> cover = coverBlock.Bytes();
    if (!(flags & BOX_COVER_COMPRESSED) && coverBlock.Present()) {
        QUORVEL_FUZZ_CHECK(storedCover == static_cast<int64_t>(cover.size()));
        QUORVEL_FUZZ_CHECK(kBoxHeaderSize + cover.size() <= file.size());
        QUORVEL_FUZZ_CHECK(std::equal(cover.begin(), cover.end(), file.begin() + kBoxHeaderSize));
    }
    const std::span<const unsigned char> data = dataBlock.Bytes();
    if (!(flags & BOX_DATA_COMPRESSED) && dataBlock.Present()) {
        const int64_t start = int64_t{kBoxHeaderSize} + storedCover;
        QUORVEL_FUZZ_CHECK(dataLength == static_cast<int64_t>(data.size()));
        QUORVEL_FUZZ_CHECK(start >= 0 && start + static_cast<int64_t>(data.size()) <=
                                             static_cast<int64_t>(file.size()));
        QUORVEL_FUZZ_CHECK(std::equal(data.begin(), data.end(), file.begin() + start));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvel;
    const std::span<const unsigned char> file(data, size);
    const LoadedBox box = LoadBoxBytes(file);
    CheckLoadedBox(box, file);
    // A reader that wants only the cover gets the same cover and no data.
    const LoadedBox coverOnly = LoadBoxBytes(file, BoxParts::kCoverOnly);
    QUORVEL_FUZZ_CHECK(!coverOnly.Data().Present());
    QUORVEL_FUZZ_CHECK(std::ranges::equal(coverOnly.Cover().Bytes(), box.Cover().Bytes()));

    const bool hasCover = box.Cover().Present();
    const bool hasHeader = box.Result().HeaderLoaded();
    const quorvel::CoverLoader loadCover =
        [](std::span<const unsigned char> bytes) -> std::optional<CoverSize> {
        if (bytes.empty()) {
            return std::nullopt;
        }
        return kCoverSize;
    };
    CRecordRenderer renderer;
    const BoxDisplay display = ShowBoxFile(box, renderer, loadCover);
    QUORVEL_FUZZ_CHECK(display.shown == hasHeader);
    // The summary labels take the picture's size exactly when a cover was
    // there to load and was not empty.
    QUORVEL_FUZZ_CHECK(display.width.has_value() == (hasCover && !box.Cover().Bytes().empty()));
    QUORVEL_FUZZ_CHECK(!display.width || *display.width == "Breite: 17");
    QUORVEL_FUZZ_CHECK(!display.height || *display.height == "H\xF6he: 23");
    QUORVEL_FUZZ_CHECK(display.date.has_value() == hasHeader);
    QUORVEL_FUZZ_CHECK(display.text.find('\0') == std::string::npos);
    QUORVEL_FUZZ_CHECK(renderer.Table(quorvel::RecordTable::kPersonRef).Empty());
    return 0;
}
