// Run: ctest --test-dir build -R CoverRender   (or build/tests/picture_test)
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <climits>

#include "picture/cover_picture.h"
#include "picture/test_pictures.h"

namespace quorvel {
namespace {

constexpr QRgb kBackground = 0xFFFF00FF;

QImage Canvas() {
    QImage canvas(200, 200, QImage::Format_RGB32);
    canvas.fill(kBackground);
    return canvas;
}

void LoadInto(CCoverPicture& p, const QImage& image) {
    const auto bytes = test::Encode(image, "BMP");
    ASSERT_NE(p.LoadFromMemory(bytes.data(), static_cast<int32_t>(bytes.size())), 0);
}

int RenderInto(const CCoverPicture& p, QImage& canvas, PictureRect rect) {
    QPainter painter(&canvas);
    return p.Render(&painter, rect);
}

// Every pixel of the canvas: inside the rectangle the quadrant colour that
// covers it (a pixel next to a quadrant border may take either side),
// outside it the untouched background. Returns the number of wrong pixels.
int CountWrongPixels(const QImage& canvas, PictureRect r, bool mirrored = false) {
    int wrong = 0;
    const double midX = (r.left + r.right) / 2.0;
    const double midY = (r.top + r.bottom) / 2.0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const QRgb got = canvas.pixel(x, y);
            const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            if (!inside) {
                wrong += got != kBackground;
                continue;
            }
            const double cx = x + 0.5;
            const double cy = y + 0.5;
            if (std::abs(cx - midX) < 1.0 || std::abs(cy - midY) < 1.0) {
                wrong += got == kBackground;
                continue;
            }
            const bool right = (cx > midX) != mirrored;
            const bool bottom = cy > midY;
            const QRgb want = bottom ? (right ? test::kBottomRight : test::kBottomLeft)
                                     : (right ? test::kTopRight : test::kTopLeft);
            wrong += got != want;
        }
    }
    return wrong;
}

TEST(CoverRender, StretchesTheWholePictureOntoExactlyTheRectangle) {
    const struct {
        const char* name;
        int w, h;
        PictureRect rect;
    } cases[] = {
        // The main window's frame: wide picture squeezed and stretched.
        {"300x100 into 0,0,99,139", 300, 100, {0, 0, 99, 139}},
        {"2x2 enlarged", 2, 2, {0, 0, 99, 139}},
        {"100x140 at its own size", 100, 140, {0, 0, 100, 140}},
        {"tall picture into a wide place", 10, 400, {13, 40, 187, 77}},
        {"reaching past the canvas", 50, 50, {150, 150, 260, 230}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CCoverPicture p;
        LoadInto(p, test::Quadrants(c.w, c.h));
        QImage canvas = Canvas();
        EXPECT_NE(RenderInto(p, canvas, c.rect), 0);
        EXPECT_EQ(CountWrongPixels(canvas, c.rect), 0);
    }
}

TEST(CoverRender, CornersOfTheMainWindowFrame) {
    CCoverPicture p;
    LoadInto(p, test::Quadrants(300, 100));
    QImage canvas = Canvas();
    ASSERT_NE(RenderInto(p, canvas, {0, 0, 99, 139}), 0);
    EXPECT_EQ(canvas.pixel(0, 0), test::kTopLeft);
    EXPECT_EQ(canvas.pixel(98, 0), test::kTopRight);
    EXPECT_EQ(canvas.pixel(0, 138), test::kBottomLeft);
    EXPECT_EQ(canvas.pixel(98, 138), test::kBottomRight);
    EXPECT_EQ(canvas.pixel(99, 0), kBackground);
    EXPECT_EQ(canvas.pixel(99, 138), kBackground);
    EXPECT_EQ(canvas.pixel(0, 139), kBackground);
    EXPECT_EQ(canvas.pixel(98, 139), kBackground);
}

TEST(CoverRender, NegativeExtentsMirror) {
    CCoverPicture p;
    LoadInto(p, test::Quadrants(300, 100));
    QImage canvas = Canvas();
    // right < left: drawn from x 99 leftwards, so the picture's left half
    // lands on the right.
    ASSERT_NE(RenderInto(p, canvas, {99, 0, 0, 139}), 0);
    EXPECT_EQ(CountWrongPixels(canvas, {0, 0, 99, 139}, true), 0);
}

TEST(CoverRender, ZeroSizeRectangleDrawsNothingButSucceeds) {
    CCoverPicture p;
    LoadInto(p, test::Quadrants(30, 30));
    const PictureRect rects[] = {{10, 10, 10, 50}, {10, 10, 50, 10}, {0, 0, 0, 0}};
    for (const PictureRect& r : rects) {
        QImage canvas = Canvas();
        EXPECT_NE(RenderInto(p, canvas, r), 0);
        EXPECT_EQ(canvas, Canvas());
    }
}

TEST(CoverRender, ExtremeRectangleFillsTheCanvasWithoutOverflow) {
    CCoverPicture p;
    LoadInto(p, test::Quadrants(300, 100));
    QImage canvas = Canvas();
    EXPECT_NE(RenderInto(p, canvas, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}), 0);
    int background = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            background += canvas.pixel(x, y) == kBackground;
        }
    }
    EXPECT_EQ(background, 0);
}

TEST(CoverRender, FailsWithoutPainterOrPicture) {
    CCoverPicture loaded;
    LoadInto(loaded, test::Quadrants(30, 30));
    EXPECT_EQ(loaded.Render(nullptr, {0, 0, 99, 139}), 0);

    CCoverPicture empty;
    QImage canvas = Canvas();
    EXPECT_EQ(RenderInto(empty, canvas, {0, 0, 99, 139}), 0);
    EXPECT_EQ(canvas, Canvas());

    // A painter that paints on nothing is a drawing failure.
    QPainter inactive;
    EXPECT_EQ(loaded.Render(&inactive, {0, 0, 99, 139}), 0);
}

TEST(CoverRender, LeavesThePainterAsItWas) {
    CCoverPicture p;
    LoadInto(p, test::Quadrants(30, 30));
    QImage canvas = Canvas();
    QPainter painter(&canvas);
    painter.translate(5, 7);
    const QTransform before = painter.transform();
    ASSERT_NE(p.Render(&painter, {0, 0, 50, 60}), 0);
    EXPECT_EQ(painter.transform(), before);
    painter.end();
    // The caller's translation applies to the rectangle.
    EXPECT_EQ(canvas.pixel(5, 7), test::kTopLeft);
    EXPECT_EQ(canvas.pixel(4, 7), kBackground);
}

TEST(CoverRender, RepaintsAfterReleaseDrawNothing) {
    CCoverPicture p;
    LoadInto(p, test::Quadrants(30, 30));
    p.Release();
    QImage canvas = Canvas();
    EXPECT_EQ(RenderInto(p, canvas, {0, 0, 99, 139}), 0);
    EXPECT_EQ(canvas, Canvas());
}

}  // namespace
}  // namespace quorvel
