// Run: ctest --test-dir build -R CoverPicture   (or build/tests/picture_test)
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "picture/cover_picture.h"
#include "picture/test_pictures.h"
#include "tools/gif_encoder.h"

namespace quorvel {
namespace {

using Bytes = std::vector<unsigned char>;

int Load(CCoverPicture& picture, const Bytes& bytes) {
    return picture.LoadFromMemory(bytes.data(), static_cast<int32_t>(bytes.size()));
}

void PutLe(Bytes& b, size_t at, uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        b[at + i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

// A 24-bit BMP whose header announces width x height; `dataBytes` bytes of
// pixel data follow, whatever the header says.
Bytes BmpWithHeader(int32_t width, int32_t height, size_t dataBytes) {
    Bytes b(54 + dataBytes, 0x80);
    b[0] = 'B';
    b[1] = 'M';
    PutLe(b, 2, static_cast<uint32_t>(b.size()), 4);
    PutLe(b, 6, 0, 4);
    PutLe(b, 10, 54, 4);
    PutLe(b, 14, 40, 4);
    PutLe(b, 18, static_cast<uint32_t>(width), 4);
    PutLe(b, 22, static_cast<uint32_t>(height), 4);
    PutLe(b, 26, 1, 2);
    PutLe(b, 28, 24, 2);
    PutLe(b, 30, 0, 4);
    PutLe(b, 34, 0, 4);
    PutLe(b, 38, 3780, 4);
    PutLe(b, 42, 3780, 4);
    PutLe(b, 46, 0, 4);
    PutLe(b, 50, 0, 4);
    return b;
}

// Rewrites the frame size in a JPEG's SOF0 segment.
Bytes JpegWithSize(Bytes jpeg, uint16_t width, uint16_t height) {
    for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = static_cast<unsigned char>(height >> 8);
            jpeg[i + 6] = static_cast<unsigned char>(height);
            jpeg[i + 7] = static_cast<unsigned char>(width >> 8);
            jpeg[i + 8] = static_cast<unsigned char>(width);
            return jpeg;
        }
    }
    ADD_FAILURE() << "no SOF0 segment";
    return jpeg;
}

void ExpectEmpty(const CCoverPicture& p, int32_t size) {
    EXPECT_TRUE(p.IsEmpty());
    EXPECT_EQ(p.m_nWidth, 0);
    EXPECT_EQ(p.m_nHeight, 0);
    EXPECT_EQ(p.m_nSize, size);
}

struct FormatCase {
    const char* name;
    Bytes (*make)(const QImage&);
    int tolerance;  // JPEG is lossy
};

const FormatCase kFormats[] = {
    {"BMP", [](const QImage& i) { return test::Encode(i, "BMP"); }, 0},
    {"JPEG", [](const QImage& i) { return test::Encode(i, "JPEG", 95); }, 24},
    {"GIF", [](const QImage& i) { return test::EncodeGif(i); }, 0},
};

TEST(CoverPicture, StartsEmpty) {
    CCoverPicture p;
    ExpectEmpty(p, 0);
}

TEST(CoverPicture, ReportsPixelSizeOfEveryFormatAndShape) {
    const std::pair<int, int> sizes[] = {{100, 140}, {1, 1},   {1, 300},
                                         {300, 1},   {37, 91}, {640, 17}};
    for (const FormatCase& f : kFormats) {
        for (auto [w, h] : sizes) {
            SCOPED_TRACE(testing::Message() << f.name << " " << w << "x" << h);
            const Bytes bytes = f.make(test::Quadrants(w, h));
            CCoverPicture p;
            EXPECT_NE(Load(p, bytes), 0);
            EXPECT_FALSE(p.IsEmpty());
            EXPECT_EQ(p.m_nWidth, w);
            EXPECT_EQ(p.m_nHeight, h);
            EXPECT_EQ(p.m_nSize, static_cast<int32_t>(bytes.size()));
        }
    }
}

TEST(CoverPicture, DecodesThePixelsUpright) {
    for (const FormatCase& f : kFormats) {
        SCOPED_TRACE(f.name);
        CCoverPicture p;
        ASSERT_NE(Load(p, f.make(test::Quadrants(64, 32))), 0);
        const QImage& img = p.Image();
        EXPECT_TRUE(test::Near(img.pixel(2, 2), test::kTopLeft, f.tolerance));
        EXPECT_TRUE(test::Near(img.pixel(61, 2), test::kTopRight, f.tolerance));
        EXPECT_TRUE(test::Near(img.pixel(2, 29), test::kBottomLeft, f.tolerance));
        EXPECT_TRUE(test::Near(img.pixel(61, 29), test::kBottomRight, f.tolerance));
    }
}

TEST(CoverPicture, Gif87aIsAcceptedToo) {
    Bytes gif = test::EncodeGif(test::Quadrants(12, 7));
    gif[4] = '7';  // a still picture uses nothing 89a adds
    CCoverPicture p;
    EXPECT_NE(Load(p, gif), 0);
    EXPECT_EQ(p.m_nWidth, 12);
    EXPECT_EQ(p.m_nHeight, 7);
}

TEST(CoverPicture, AnimatedGifGivesItsFirstFrame) {
    tools::GifImage gif;
    gif.width = 9;
    gif.height = 4;
    gif.palette = {0x102030, 0xF0E0D0};
    gif.frames = {{std::vector<uint8_t>(36, 0), 50}, {std::vector<uint8_t>(36, 1), 50}};
    const Bytes bytes = tools::EncodeGif(gif);
    CCoverPicture p;
    ASSERT_NE(Load(p, bytes), 0);
    EXPECT_EQ(p.m_nWidth, 9);
    EXPECT_EQ(p.m_nHeight, 4);
    EXPECT_EQ(p.Image().pixel(8, 3) & 0xFFFFFF, 0x102030u);
}

TEST(CoverPicture, RefusesWhatIsNotACover) {
    const QImage image = test::Quadrants(20, 10);
    const Bytes text = {'k', 'e', 'i', 'n', ' ', 'B', 'i', 'l', 'd'};
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"text", text},
        {"PNG", test::Encode(image, "PNG")},
        {"XPM", test::Encode(image, "XPM")},
        {"JPEG magic only", {0xFF, 0xD8, 0xFF}},
        {"GIF magic only", {'G', 'I', 'F', '8', '9', 'a'}},
        {"BMP magic only", {'B', 'M'}},
        {"GIF88a",
         [&] {
             Bytes g = test::EncodeGif(image);
             g[4] = '8';
             return g;
         }()},
        {"BMP header of zero size", BmpWithHeader(0, 0, 16)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CCoverPicture p;
        // A good picture first: a failed load must not leave it in place.
        ASSERT_NE(Load(p, test::Encode(image, "BMP")), 0);
        EXPECT_EQ(Load(p, c.bytes), 0);
        ExpectEmpty(p, static_cast<int32_t>(c.bytes.size()));
    }
}

TEST(CoverPicture, NullOrNonPositiveLengthFails) {
    const Bytes good = test::Encode(test::Quadrants(8, 8), "BMP");
    const struct {
        const unsigned char* bytes;
        int32_t length;
    } cases[] = {
        {good.data(), 0}, {good.data(), -1}, {good.data(), INT32_MIN}, {nullptr, 0}, {nullptr, 60}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        CCoverPicture p;
        ASSERT_NE(Load(p, good), 0);
        EXPECT_EQ(p.LoadFromMemory(c.bytes, c.length), 0);
        ExpectEmpty(p, c.length);
    }
}

TEST(CoverPicture, ShortLengthReadsOnlyThatMuch) {
    // The length, not the buffer, bounds the read: 1 byte of a good picture
    // is not a picture.
    const Bytes good = test::Encode(test::Quadrants(8, 8), "JPEG");
    CCoverPicture p;
    EXPECT_EQ(p.LoadFromMemory(good.data(), 1), 0);
    ExpectEmpty(p, 1);
}

TEST(CoverPicture, TruncatedPicturesNeverCrashAndStayConsistent) {
    const QImage image = test::Quadrants(23, 13);
    for (const FormatCase& f : kFormats) {
        const Bytes whole = f.make(image);
        for (size_t length = 0; length < whole.size(); ++length) {
            SCOPED_TRACE(testing::Message() << f.name << " cut at " << length);
            // Each prefix in a buffer of its own, so a read past the length
            // shows up under a sanitizer.
            const auto prefix = std::make_unique<unsigned char[]>(std::max<size_t>(length, 1));
            std::memcpy(prefix.get(), whole.data(), length);
            CCoverPicture p;
            const int result = p.LoadFromMemory(prefix.get(), static_cast<int32_t>(length));
            EXPECT_EQ(result != 0, !p.IsEmpty());
            EXPECT_EQ(p.m_nSize, static_cast<int32_t>(length));
            if (result != 0) {
                EXPECT_EQ(p.m_nWidth, 23);
                EXPECT_EQ(p.m_nHeight, 13);
            } else {
                EXPECT_EQ(p.m_nWidth, 0);
                EXPECT_EQ(p.m_nHeight, 0);
            }
        }
    }
}

TEST(CoverPicture, RefusesHostileSizesAndKeepsSaneOnes) {
    const Bytes jpeg = test::Encode(test::Quadrants(16, 16), "JPEG", 90);
    const struct {
        const char* name;
        Bytes bytes;
        bool accepted;
        int width;
    } cases[] = {
        // Side limit: 16384 is the widest picture taken.
        {"BMP 16384 x 1", BmpWithHeader(16384, 1, 16384 * 3), true, 16384},
        {"BMP 16385 x 1", BmpWithHeader(16385, 1, 16388 * 3), false, 0},
        {"BMP 1 x 20000", BmpWithHeader(1, 20000, 64), false, 0},
        // Memory limit: within the side limit but a gigabyte decoded.
        {"BMP 16000 x 16000", BmpWithHeader(16000, 16000, 64), false, 0},
        {"BMP 4097 x 4096, over the pixel bound", BmpWithHeader(4097, 4096, 64), false, 0},
        {"BMP 2^31-1 x 2^31-1", BmpWithHeader(INT32_MAX, INT32_MAX, 64), false, 0},
        {"BMP negative width", BmpWithHeader(-5, 5, 64), false, 0},
        // A negative height is a top-down BMP, an ordinary picture.
        {"BMP top-down 3 x 2", BmpWithHeader(3, -2, 64), true, 3},
        {"BMP top-down 1 x 20000", BmpWithHeader(1, -20000, 64), false, 0},
        {"JPEG 60000 x 60000", JpegWithSize(jpeg, 60000, 60000), false, 0},
        {"JPEG 16385 x 16", JpegWithSize(jpeg, 16385, 16), false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CCoverPicture p;
        EXPECT_EQ(Load(p, c.bytes) != 0, c.accepted);
        EXPECT_EQ(p.m_nWidth, c.width);
        EXPECT_EQ(p.IsEmpty(), !c.accepted);
    }
}

TEST(CoverPicture, GifWithHugeScreenIsRefused) {
    // The logical screen, not the 2 x 2 frame, is what gets allocated.
    Bytes gif = test::EncodeGif(test::Quadrants(2, 2));
    gif[6] = gif[7] = gif[8] = gif[9] = 0xFF;  // 65535 x 65535
    CCoverPicture p;
    EXPECT_EQ(Load(p, gif), 0);
    ExpectEmpty(p, static_cast<int32_t>(gif.size()));
}

TEST(CoverPicture, CallerMayFreeItsBytesRightAfterTheLoad) {
    auto bytes = std::make_unique<Bytes>(test::Encode(test::Quadrants(10, 6), "BMP"));
    CCoverPicture p;
    ASSERT_NE(Load(p, *bytes), 0);
    std::fill(bytes->begin(), bytes->end(), 0);
    bytes.reset();
    EXPECT_EQ(p.Image().pixel(0, 0), test::kTopLeft);
    EXPECT_EQ(p.Image().pixel(9, 5), test::kBottomRight);
}

TEST(CoverPicture, ReloadReplacesThePicture) {
    CCoverPicture p;
    ASSERT_NE(Load(p, test::Encode(test::Quadrants(10, 20), "BMP")), 0);
    const Bytes second = test::EncodeGif(test::Quadrants(30, 5));
    ASSERT_NE(Load(p, second), 0);
    EXPECT_EQ(p.m_nWidth, 30);
    EXPECT_EQ(p.m_nHeight, 5);
    EXPECT_EQ(p.m_nSize, static_cast<int32_t>(second.size()));
    EXPECT_EQ(p.Image().size(), QSize(30, 5));
}

TEST(CoverPicture, ReleaseEmptiesOnlyAHeldPicture) {
    CCoverPicture p;
    ASSERT_NE(Load(p, test::Encode(test::Quadrants(10, 20), "BMP")), 0);
    p.Release();
    ExpectEmpty(p, 0);
    p.Release();
    ExpectEmpty(p, 0);

    // After a failed load the object is empty but remembers the length;
    // releasing an empty object changes nothing.
    const Bytes junk = {1, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(Load(p, junk), 0);
    p.Release();
    p.Release();
    ExpectEmpty(p, 7);
}

}  // namespace
}  // namespace quorvel
