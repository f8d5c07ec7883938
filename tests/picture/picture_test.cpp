// Run: ctest --test-dir build -R 'CoverPicture|CoverRender'   (or
// build/tests/picture_tests) The cover picture: what it refuses, what a cut picture leaves, how it
// is drawn onto a rectangle, and the default cover among the program's resources. Sizes of intact
// BMP, JPEG and GIF covers are compared with the independent model on generated files
// (ModelAgreement).
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <vector>

#include "picture/cover_picture.h"

namespace quorvel {
namespace {

using Bytes = std::vector<unsigned char>;

constexpr QRgb kQuadrants[] = {0xFFD02020, 0xFF20A040, 0xFF2040D0, 0xFFE0C020};

// Four flat quadrants, split at w/2 and h/2: top left, top right, bottom
// left, bottom right.
QImage Quadrants(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, kQuadrants[(y >= height / 2) * 2 + (x >= width / 2)]);
        }
    }
    return image;
}

Bytes Encode(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return {bytes.begin(), bytes.end()};
}

// The smallest GIF87a: one white pixel.
const Bytes kGif87a = {'G', 'I', 'F', '8', '7',  'a',  1,    0,    1, 0, 0x80, 0,
                       0,   0,   0,   0,   0xFF, 0xFF, 0xFF, 0x2C, 0, 0, 0,    0,
                       1,   0,   1,   0,   0,    2,    2,    0x44, 1, 0, 0x3B};

Bytes With(Bytes bytes, size_t at, unsigned char value) {
    bytes[at] = value;
    return bytes;
}

int Load(CCoverPicture& picture, const Bytes& bytes) {
    return picture.LoadFromMemory(bytes.data(), static_cast<int32_t>(bytes.size()));
}

// A 24-bit BMP whose header announces width x height; `dataBytes` bytes of
// pixel data follow, whatever the header says.
Bytes BmpWithHeader(int32_t width, int32_t height, size_t dataBytes) {
    Bytes b(54 + dataBytes, 0x80);
    std::fill(b.begin(), b.begin() + 54, 0);
    const std::pair<size_t, uint32_t> fields[] = {
        {0, 0x4D42},           {2, uint32_t(b.size())}, {10, 54}, {14, 40},
        {18, uint32_t(width)}, {22, uint32_t(height)},  {26, 1},  {28, 24}};
    for (const auto& [at, value] : fields) {
        for (size_t i = 0; i < 4 && at + i < 54; ++i) {
            b[at + i] |= static_cast<unsigned char>(value >> (8 * i));
        }
    }
    return b;
}

void ExpectEmpty(const CCoverPicture& p, int32_t size) {
    EXPECT_TRUE(p.IsEmpty());
    EXPECT_EQ(p.m_nWidth, 0);
    EXPECT_EQ(p.m_nHeight, 0);
    EXPECT_EQ(p.m_nSize, size);
}

TEST(CoverPicture, RefusesWhatIsNotACoverOrTooLarge) {
    const QImage image = Quadrants(20, 10);
    Bytes hugeScreen = kGif87a;
    std::fill(hugeScreen.begin() + 6, hugeScreen.begin() + 10, 0xFF);  // 65535 x 65535
    const struct {
        const char* name;
        Bytes bytes;
        bool accepted;
        int width;
    } cases[] = {
        {"text", {'k', 'e', 'i', 'n', ' ', 'B', 'i', 'l', 'd'}, false, 0},
        {"PNG", Encode(image, "PNG"), false, 0},
        {"GIF87a", kGif87a, true, 1},
        {"GIF89a", With(kGif87a, 4, '9'), true, 1},
        {"GIF88a", With(kGif87a, 4, '8'), false, 0},
        {"GIF screen of 65535 x 65535", hugeScreen, false, 0},
        {"BMP of zero size", BmpWithHeader(0, 0, 16), false, 0},
        {"BMP 16384 x 1", BmpWithHeader(16384, 1, 16384 * 3), true, 16384},
        {"BMP 16385 x 1", BmpWithHeader(16385, 1, 16388 * 3), false, 0},
        {"BMP 16000 x 16000", BmpWithHeader(16000, 16000, 64), false, 0},  // a gigabyte
        {"BMP negative width", BmpWithHeader(-5, 5, 64), false, 0},
        {"BMP top-down 3 x 2", BmpWithHeader(3, -2, 64), true, 3},
        {"BMP top-down 1 x 20000", BmpWithHeader(1, -20000, 64), false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CCoverPicture p;
        // A good picture first: a failed load must not leave it in place.
        ASSERT_NE(Load(p, Encode(image, "BMP")), 0);
        EXPECT_EQ(Load(p, c.bytes) != 0, c.accepted);
        EXPECT_EQ(p.m_nWidth, c.width);
        EXPECT_EQ(p.IsEmpty(), !c.accepted);
        EXPECT_EQ(p.m_nSize, static_cast<int32_t>(c.bytes.size()));
    }
    const Bytes good = Encode(image, "BMP");
    // clang-format off
    for (const auto& [bytes, length] : {std::pair{good.data(), 0}, {good.data(), -1},
                                        {good.data(), INT32_MIN}, {nullptr, 60}, {good.data(), 1}}) {
        // clang-format on
        CCoverPicture p;
        ASSERT_NE(Load(p, good), 0);
        EXPECT_EQ(p.LoadFromMemory(bytes, length), 0) << length;
        ExpectEmpty(p, length);
    }
}

TEST(CoverPicture, EveryTruncatedPictureStaysConsistent) {
    for (const Bytes& whole :
         {Encode(Quadrants(23, 13), "BMP"), Encode(Quadrants(23, 13), "JPEG"), kGif87a}) {
        for (size_t length = 0; length < whole.size(); ++length) {
            SCOPED_TRACE(::testing::Message() << whole[0] << " cut at " << length);
            // Each prefix in a buffer of its own, so a read past the length
            // shows up under a sanitizer.
            const auto prefix = std::make_unique<unsigned char[]>(std::max<size_t>(length, 1));
            std::memcpy(prefix.get(), whole.data(), length);
            CCoverPicture p;
            const int result = p.LoadFromMemory(prefix.get(), static_cast<int32_t>(length));
            EXPECT_EQ(result != 0, !p.IsEmpty());
            EXPECT_EQ(p.m_nSize, static_cast<int32_t>(length));
            EXPECT_EQ(p.m_nWidth, result != 0 ? (whole[0] == 'G' ? 1 : 23) : 0);
        }
    }
}

TEST(CoverPicture, ReloadReleaseAndResources) {
    CCoverPicture p;
    ASSERT_NE(Load(p, Encode(Quadrants(10, 20), "BMP")), 0);
    p.Release();
    ExpectEmpty(p, 0);

    // The default cover; only the low 16 bits of the number name it.
    QFile committed(QStringLiteral(QUORVEL_SOURCE_DIR "/res/cover129.jpg"));
    ASSERT_TRUE(committed.open(QIODevice::ReadOnly));
    for (const unsigned id : {129u, 0x10000u + 129, 0xFFFF0000u + 129}) {
        EXPECT_NE(p.LoadFromResource(id, "JPG"), 0) << id;
        EXPECT_EQ(p.m_nWidth, 100);
        EXPECT_EQ(p.m_nHeight, 140);
        EXPECT_EQ(p.m_nSize, committed.size());
    }
    // With nothing held, an earlier failed load's length stays; a type is a
    // name, not a path into the resources.
    const unsigned char junk[] = {1, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(p.LoadFromMemory(junk, 7), 0);
    for (const char* type :
         {"PNG", "jpg", "", static_cast<const char*>(nullptr), "../res/JPG", "JPG/..", ".."}) {
        EXPECT_EQ(p.LoadFromResource(129, type), 0) << (type ? type : "(null)");
        ExpectEmpty(p, 7);
    }
    EXPECT_EQ(p.LoadFromResource(130, "JPG"), 0);
}

TEST(CoverRender, StretchesTheWholePictureOntoExactlyTheRectangle) {
    const QRgb kBackground = 0xFFFF00FF;
    const QRgb colours[] = {kQuadrants[0], kQuadrants[1], kQuadrants[2], kQuadrants[3],
                            kBackground};
    struct Case {
        const char* name;
        QSize picture;
        PictureRect rect;
        std::vector<std::pair<QPoint, int>> probes;  // index into colours
    };
    // clang-format off
    const Case cases[] = {
        // The main window's frame, 99 x 139: halves at 49|50 and 69|70.
        {"300x100 into the frame", {300, 100}, {0, 0, 99, 139},
         {{{0, 0}, 0}, {{48, 68}, 0}, {{50, 0}, 1}, {{98, 68}, 1}, {{0, 70}, 2}, {{98, 138}, 3},
          {{99, 0}, 4}, {{0, 139}, 4}}},
        {"2x2 enlarged past the canvas", {2, 2}, {150, 150, 260, 230},
         {{{155, 155}, 0}, {{199, 185}, 0}, {{199, 195}, 2}, {{149, 155}, 4}}},
        {"right < left mirrors", {300, 100}, {99, 0, 0, 139},
         {{{0, 0}, 1}, {{98, 0}, 0}, {{0, 138}, 3}, {{99, 0}, 4}}},
        {"zero width draws nothing", {30, 30}, {10, 10, 10, 50}, {{{10, 20}, 4}, {{9, 20}, 4}}},
        {"extreme rectangle", {31, 31}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
         {{{0, 0}, 3}, {{199, 199}, 3}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCoverPicture p;
        ASSERT_NE(Load(p, Encode(Quadrants(c.picture.width(), c.picture.height()), "BMP")), 0);
        QImage canvas(200, 200, QImage::Format_RGB32);
        canvas.fill(kBackground);
        {
            QPainter painter(&canvas);
            EXPECT_EQ(p.Render(&painter, c.rect), 1);       // an empty rectangle is no failure
            EXPECT_TRUE(painter.transform().isIdentity());  // left as it was
        }
        for (const auto& [at, colour] : c.probes) {
            EXPECT_EQ(canvas.pixel(at), colours[colour]) << at.x() << "," << at.y();
        }
    }
    // No painter, an inactive one, or no picture: a failure.
    CCoverPicture p;
    QPainter inactive;
    EXPECT_EQ(p.Render(&inactive, {0, 0, 99, 139}), 0);
    ASSERT_NE(Load(p, Encode(Quadrants(30, 30), "BMP")), 0);
    EXPECT_EQ(p.Render(nullptr, {0, 0, 99, 139}), 0);
    EXPECT_EQ(p.Render(&inactive, {0, 0, 99, 139}), 0);
}

}  // namespace
}  // namespace quorvel
