// Run: ctest --test-dir build -R JpegScans   (or build/tests/bounds_test)
// Scans are counted by walking the marker segments before decoding; a JPEG
// cover with too many scans, or too many pixels for its scans, is refused.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdint>
#include <string>
#include <vector>

#include "app/limits.h"
#include "picture/cover_picture.h"
#include "picture/jpeg_scans.h"

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

const Bytes kSoi{0xFF, 0xD8};
const Bytes kEoi{0xFF, 0xD9};
const Bytes kSos{0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x01, 0x3F, 0x00};

TEST(JpegScans, CountedAlongTheMarkerSegments) {
    // A comment segment whose payload looks like a scan marker.
    const Bytes comment{0xFF, 0xFE, 0x00, 0x06, 0xFF, 0xDA, 0x00, 0x08};
    // Entropy-coded data with a stuffed FF, a restart marker and fill bytes.
    const Bytes data{0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD3, 0x56};
    const struct {
        const char* name;
        Bytes jpeg;
        int stopAfter;
        int scans;
    } cases[] = {
        {"no scan", kSoi + kEoi, 10, 0},
        {"three scans with data", kSoi + Repeat(kSos + data, 3) + kEoi, 10, 3},
        {"a scan marker inside a segment", kSoi + comment + kSos + data + kEoi, 10, 1},
        {"fill bytes before a scan", kSoi + Bytes{0xFF, 0xFF, 0xFF} + kSos + kEoi, 10, 1},
        {"nothing after the end of image", kSoi + kSos + kEoi + kSos + kSos, 10, 1},
        {"no end of image", kSoi + Repeat(kSos + data, 4), 10, 4},
        {"a segment cut short", kSoi + kSos + Bytes{0xFF, 0xDA, 0x00}, 10, 1},
        {"length past the end", kSoi + Bytes{0xFF, 0xE0, 0xFF, 0xFF} + kSos, 10, 0},
        {"the walk stops at its bound", kSoi + Repeat(kSos, 50), 7, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CountJpegScans(c.jpeg, c.stopAfter), c.scans);
    }
}

// A progressive greyscale JPEG of width x height (multiples of 64, at most
// 32768 blocks): one DC scan, then AC scans that each end every block at
// once (one end-of-band run over all of them).
Bytes ProgressiveJpeg(int width, int height, int scans) {
    const int blocks = (width / 8) * (height / 8);
    const int run = 31 - __builtin_clz(static_cast<unsigned>(blocks));  // 2^run blocks
    Bytes jpeg = kSoi + Bytes{0xFF, 0xDB, 0x00, 0x43, 0x00} + Bytes(64, 1);
    const auto be16 = [](int v) {
        return Bytes{static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)};
    };
    jpeg = jpeg + Bytes{0xFF, 0xC2, 0x00, 0x0B, 0x08} + be16(height) + be16(width) +
           Bytes{0x01, 0x01, 0x11, 0x00};
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

TEST(JpegScans, CoversWithTooManyScansOrPixelScansAreRefused) {
    int argc = 1;
    char name[] = "bounds_test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);  // lets Qt find its JPEG plugin
    const int side = 1024;             // 2^20 pixels
    const int fitScans = static_cast<int>(kMaxJpegPixelScans / (side * side));
    const struct {
        const char* name;
        int side;
        int scans;
        bool loaded;
    } cases[] = {
        {"small, at the scan bound", 64, kMaxJpegScans, true},
        {"small, one scan more", 64, kMaxJpegScans + 1, false},
        {"large, at the pixel-scan bound", side, fitScans, true},
        {"large, one scan more", side, fitScans + 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes jpeg = ProgressiveJpeg(c.side, c.side, c.scans);
        ASSERT_EQ(CountJpegScans(jpeg, 1 << 20), c.scans);
        CCoverPicture picture;
        EXPECT_EQ(picture.LoadFromMemory(jpeg.data(), static_cast<int32_t>(jpeg.size())) != 0,
                  c.loaded);
        EXPECT_EQ(picture.m_nWidth, c.loaded ? c.side : 0);
    }
}

}  // namespace
}  // namespace quorvel
