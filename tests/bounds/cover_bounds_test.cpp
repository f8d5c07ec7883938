// Run: ctest --test-dir build -R 'JpegFrame|CoverBounds'   (or build/tests/bounds_test)
// A cover is judged before decoding: a JPEG's frame and scans are read from
// its marker segments, a run-length BMP's stream is measured against its
// size, and a cover whose decoding could cost more than its bound is
// refused; one just within each bound still loads.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdint>
#include <string>
#include <vector>

#include "app/limits.h"
#include "picture/cover_bounds.h"
#include "picture/cover_picture.h"
#include "picture/jpeg_frame.h"
#include "support/box_builder.h"

namespace quorvel {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Repeat(const Bytes& part, int times) {
    Bytes out;
    for (int i = 0; i < times; ++i) {
        out = out + part;
    }
    return out;
}

Bytes Be16(int v) {
    return {static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)};
}

const Bytes kSoi{0xFF, 0xD8};
const Bytes kEoi{0xFF, 0xD9};
const Bytes kSos{0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x01, 0x3F, 0x00};

// A frame header: `marker`, 8-bit samples, one component per sampling byte
// (horizontal factor in the high nibble), identifiers 1, 2, ...
Bytes Frame(unsigned char marker, int width, int height, const Bytes& sampling, int bits = 8) {
    Bytes body = Bytes{static_cast<unsigned char>(bits)} + Be16(height) + Be16(width) +
                 Bytes{static_cast<unsigned char>(sampling.size())};
    for (size_t i = 0; i < sampling.size(); ++i) {
        body = body + Bytes{static_cast<unsigned char>(i + 1), sampling[i], 0};
    }
    return Bytes{0xFF, marker} + Be16(static_cast<int>(body.size()) + 2) + body;
}

// A scan header naming the components with these identifiers.
Bytes Scan(const Bytes& ids) {
    Bytes body{static_cast<unsigned char>(ids.size())};
    for (unsigned char id : ids) {
        body = body + Bytes{id, 0x00};
    }
    body = body + Bytes{0, 63, 0};
    return Bytes{0xFF, 0xDA} + Be16(static_cast<int>(body.size()) + 2) + body;
}

TEST(JpegFrame, ScansAndSamplesAlongTheMarkerSegments) {
    // A comment segment whose payload looks like a scan marker.
    const Bytes comment{0xFF, 0xFE, 0x00, 0x06, 0xFF, 0xDA, 0x00, 0x08};
    // Entropy-coded data with a stuffed FF, a restart marker and fill bytes.
    const Bytes data{0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD3, 0x56};
    const Bytes grey64 = Frame(0xC2, 64, 64, {0x11});  // 64 blocks of 64 samples
    // 4:2:0 colour, 20 x 20: units of 16 x 16 pixels, 2 x 2 of them; the
    // luma has 4 x 4 blocks, each chroma 2 x 2.
    const Bytes colour420 = Frame(0xC0, 20, 20, {0x22, 0x11, 0x11});
    const struct {
        const char* name;
        Bytes jpeg;
        int stopAfter;
        int scans;
        int64_t samples;
        unsigned char marker;
    } cases[] = {
        {"three scans with data", kSoi + grey64 + Repeat(Scan({1}) + data, 3) + kEoi, 10, 3,
         3 * 4096, 0xC2},
        {"a scan marker inside a segment", kSoi + grey64 + comment + Scan({1}) + data + kEoi, 10, 1,
         4096, 0xC2},
        {"the walk stops at its bound", kSoi + grey64 + Repeat(Scan({1}), 50), 7, 7, 7 * 4096,
         0xC2},
        {"an unknown component counts nothing", kSoi + grey64 + Scan({7}), 10, 1, 0, 0xC2},
        {"subsampled colour, interleaved", kSoi + colour420 + Scan({1, 2, 3}), 10, 1,
         (16 + 4 + 4) * 64, 0xC0},
        {"subsampled colour, one scan each", kSoi + colour420 + Scan({1}) + Scan({2}) + Scan({3}),
         10, 3, (16 + 4 + 4) * 64, 0xC0},
        {"only the first frame counts", kSoi + grey64 + Frame(0xC9, 4096, 4096, {0x11}) + Scan({1}),
         10, 1, 4096, 0xC2},
        {"tables between 0xC4 and 0xCC are no frame",
         kSoi + Bytes{0xFF, 0xC4, 0x00, 0x02, 0xFF, 0xCC, 0x00, 0x02} + grey64 + Scan({1}), 10, 1,
         4096, 0xC2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const JpegFrame frame = ReadJpegFrame(c.jpeg, c.stopAfter);
        EXPECT_EQ(frame.scans, c.scans);
        EXPECT_EQ(frame.scanSamples, c.samples);
        EXPECT_EQ(frame.marker, c.marker);
    }
}

// A run-length BMP of width x height: each pixel a run of one, each row's
// end and the picture's end (the longest stream the bound accepts), then
// `extra` bytes after the end, which the decoder never reaches.
Bytes RleBmp(int width, int height, size_t extra, uint32_t compression = 1) {
    Bytes stream;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            stream = stream + Bytes{0x01, static_cast<unsigned char>(x * 7 + y)};
        }
        stream = stream + Bytes{0x00, 0x00};
    }
    stream = stream + Bytes{0x00, 0x01} + Bytes(extra, 0x00);
    Bytes palette;
    for (int i = 0; i < 256; ++i) {
        palette = palette + Bytes{static_cast<unsigned char>(i), static_cast<unsigned char>(i),
                                  static_cast<unsigned char>(i), 0};
    }
    const uint32_t offset = 14 + 40 + static_cast<uint32_t>(palette.size());
    Bytes bmp(offset, 0);
    const std::pair<size_t, uint32_t> fields[] = {
        {0, 0x4D42},
        {2, offset + static_cast<uint32_t>(stream.size())},
        {10, offset},
        {14, 40},
        {18, uint32_t(width)},
        {22, uint32_t(height)},
        {26, 1},
        {28, 8},
        {30, compression},
        {46, 256}};
    for (const auto& [at, value] : fields) {
        for (size_t i = 0; i < 4 && at + i < 54; ++i) {
            bmp[at + i] |= static_cast<unsigned char>(value >> (8 * i));
        }
    }
    std::copy(palette.begin(), palette.end(), bmp.begin() + 54);
    return bmp + stream;
}

// A progressive greyscale JPEG of width x height (multiples of 64, at most
// 32768 blocks): one DC scan, then AC scans that each end every block at
// once (one end-of-band run over all of them).
Bytes ProgressiveJpeg(int width, int height, int scans) {
    const int blocks = (width / 8) * (height / 8);
    const int run = 31 - __builtin_clz(static_cast<unsigned>(blocks));  // 2^run blocks
    Bytes jpeg = kSoi + Bytes{0xFF, 0xDB, 0x00, 0x43, 0x00} + Bytes(64, 1);
    jpeg = jpeg + Frame(0xC2, width, height, {0x11});
    // DC table: category 0 only, code 0. AC table: end-of-band runs
    // r << 4 (r 0-14) with the 4-bit code r.
    jpeg = jpeg + Bytes{0xFF, 0xC4, 0x00, 0x14, 0x00, 1} + Bytes(15, 0) + Bytes{0x00};
    jpeg = jpeg + Bytes{0xFF, 0xC4, 0x00, 0x22, 0x10, 0, 0, 0, 15} + Bytes(12, 0);
    for (int r = 0; r < 15; ++r) {
        jpeg.push_back(static_cast<unsigned char>(r << 4));
    }
    jpeg = jpeg + Bytes{0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00};
    jpeg = jpeg + (blocks % 8 == 0 ? Bytes(blocks / 8, 0) : Bytes{0x7F});  // zero DC bits
    // The run's code and its `run` extra bits (all zero), padded with ones.
    uint64_t bits = static_cast<uint64_t>(run) << run;
    int count = 4 + run;
    const int pad = (8 - count % 8) % 8;
    bits = (bits << pad) | ((1u << pad) - 1);
    count += pad;
    Bytes ac;
    for (int shift = count - 8; shift >= 0; shift -= 8) {
        ac.push_back(static_cast<unsigned char>(bits >> shift));
    }
    return jpeg + Repeat(kSos + ac, scans - 1) + kEoi;
}

// Covers just within and just beyond each bound, through the real decoder:
// each refused one would load without its bound.
TEST(CoverBounds, RefusedBeyondEachBoundLoadedWithin) {
    int argc = 1;
    char name[] = "bounds_test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);  // lets Qt find its JPEG plugin
    const int side = 1024;             // 2^20 samples
    const int fitScans = static_cast<int>(kMaxJpegScanSamples / (side * side));
    const Bytes arithmetic =
        testing::ReadFile(QUORVEL_SOURCE_DIR "/fuzz/corpus/fuzz_cover/seed-arithmetic-cmyk.jpg");
    const Bytes huffmanCmyk =
        testing::ReadFile(QUORVEL_SOURCE_DIR "/fuzz/corpus/fuzz_cover/seed-cmyk.jpg");
    Bytes bmpAtByteBound(kMaxCoverBytes, 0);
    const Bytes smallBmp = RleBmp(1, 1, 0, 0);  // uncompressed, 1 x 1: the rest is never read
    std::copy(smallBmp.begin(), smallBmp.end(), bmpAtByteBound.begin());
    Bytes bmpOverByteBound = bmpAtByteBound;
    bmpOverByteBound.push_back(0);
    const struct {
        const char* name;
        Bytes cover;
        int width;  // 0: refused
    } cases[] = {
        {"progressive, at the scan bound", ProgressiveJpeg(64, 64, kMaxJpegScans), 64},
        {"progressive, one scan more", ProgressiveJpeg(64, 64, kMaxJpegScans + 1), 0},
        {"progressive, at the sample bound", ProgressiveJpeg(side, side, fitScans), side},
        {"progressive, one scan more than the samples allow",
         ProgressiveJpeg(side, side, fitScans + 1), 0},
        {"Huffman-coded CMYK", huffmanCmyk, 16},
        {"arithmetic-coded CMYK", arithmetic, 0},
        {"run-length BMP, longest stream for its size", RleBmp(40, 30, 0), 40},
        {"run-length BMP, one byte more", RleBmp(40, 30, 1), 0},
        {"run-length 1 x 1 BMP, a long stream", RleBmp(1, 1, 4096), 0},
        {"BMP at the byte bound", bmpAtByteBound, 1},
        {"BMP one byte over it", bmpOverByteBound, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.cover.empty());
        CCoverPicture picture;
        EXPECT_EQ(picture.LoadFromMemory(c.cover.data(), static_cast<int32_t>(c.cover.size())) != 0,
                  c.width != 0);
        EXPECT_EQ(picture.m_nWidth, c.width);
    }
}

// What the frame header alone decides, before any decoder would look.
TEST(CoverBounds, JpegFramesAJpegDecoderWouldTakeButTheBoundsDoNot) {
    // 4 components at full resolution: 4 samples a pixel.
    const int64_t cmykPixels = kMaxJpegScanSamples / 4;
    const int wide = 4096;
    const int fitHeight = static_cast<int>(cmykPixels / wide);
    const Bytes cmyk{0x11, 0x11, 0x11, 0x11};
    const struct {
        const char* name;
        Bytes jpeg;
        bool bounded;
    } cases[] = {
        {"baseline", kSoi + Frame(0xC0, 64, 64, {0x11}) + Scan({1}) + kEoi, true},
        {"lossless", kSoi + Frame(0xC3, 64, 64, {0x11}) + Scan({1}) + kEoi, false},
        {"arithmetic, sequential", kSoi + Frame(0xC9, 64, 64, {0x11}) + Scan({1}) + kEoi, false},
        {"no frame", kSoi + Scan({1}) + kEoi, false},
        {"12-bit samples", kSoi + Frame(0xC1, 64, 64, {0x11}, 12) + Scan({1}) + kEoi, false},
        {"two components", kSoi + Frame(0xC0, 64, 64, {0x11, 0x11}) + Scan({1, 2}) + kEoi, false},
        {"a sampling factor of 0", kSoi + Frame(0xC0, 64, 64, {0x10}) + Scan({1}) + kEoi, false},
        {"CMYK at the sample bound",
         kSoi + Frame(0xC0, wide, fitHeight, cmyk) + Scan({1, 2, 3, 4}) + kEoi, true},
        {"CMYK one row of blocks more",
         kSoi + Frame(0xC0, wide, fitHeight + 8, cmyk) + Scan({1, 2, 3, 4}) + kEoi, false},
        {"CMYK split into scans, one repeated",
         kSoi + Frame(0xC0, wide, fitHeight, cmyk) + Scan({1}) + Scan({1, 2, 3, 4}) + kEoi, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CoverWorkBounded("jpeg", c.jpeg), c.bounded);
    }
}

}  // namespace
}  // namespace quorvel
