// Run: ctest --test-dir build -R GifEncoder   (or build/tests/gif_encoder_test)
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QMovie>
#include <memory>
#include <random>

#include "picture/gif_strict_reader.h"
#include "tools/gif_encoder.h"

namespace quorvel {
namespace {

using tools::GifFrame;
using tools::GifImage;

// QMovie needs a QGuiApplication; it lives for the whole test run.
class GuiEnvironment : public testing::Environment {
public:
    void SetUp() override { m_app = std::make_unique<QGuiApplication>(m_argc, m_argv); }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[16] = "gif_encoder";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QGuiApplication> m_app;
};
const auto* const g_gui = testing::AddGlobalTestEnvironment(new GuiEnvironment);

std::vector<uint32_t> Palette(size_t n) {
    std::vector<uint32_t> p;
    for (size_t i = 0; i < n; ++i) {
        // Distinct colours that survive any 8-bit channel handling.
        p.push_back(static_cast<uint32_t>(((i * 37) & 0xFF) << 16 | ((i * 91 + 7) & 0xFF) << 8 |
                                          (i & 0xFF)));
    }
    return p;
}

enum class Pattern { Random, Runs, Ramp, Constant };

std::vector<uint8_t> Pixels(size_t count, size_t colours, Pattern pattern, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(count);
    for (size_t i = 0; i < count; ++i) {
        switch (pattern) {
            case Pattern::Random:
                v[i] = static_cast<uint8_t>(rng() % colours);
                break;
            case Pattern::Runs:
                v[i] = static_cast<uint8_t>((i / (1 + seed % 97)) % colours);
                break;
            case Pattern::Ramp:
                v[i] = static_cast<uint8_t>(i % colours);
                break;
            case Pattern::Constant:
                v[i] = static_cast<uint8_t>(colours - 1);
                break;
        }
    }
    return v;
}

QByteArray AsQt(const std::vector<unsigned char>& b) {
    return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
}

// The frames Qt decodes, compared pixel by pixel with what was encoded.
void ExpectQtReadsBack(const GifImage& gif, const std::vector<unsigned char>& bytes) {
    QByteArray data = AsQt(bytes);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    ASSERT_EQ(reader.size(), QSize(gif.width, gif.height));
    for (size_t f = 0; f < gif.frames.size(); ++f) {
        QImage image;
        ASSERT_TRUE(reader.read(&image))
            << "frame " << f << ": " << reader.errorString().toStdString();
        ASSERT_EQ(image.size(), QSize(gif.width, gif.height));
        int wrong = 0;
        for (int y = 0; y < gif.height; ++y) {
            for (int x = 0; x < gif.width; ++x) {
                const uint8_t index = gif.frames[f].indices[size_t(y) * gif.width + x];
                wrong += (image.pixel(x, y) & 0xFFFFFF) != gif.palette[index];
            }
        }
        EXPECT_EQ(wrong, 0) << "frame " << f;
    }
}

TEST(GifEncoder, StillPicturesSurviveBothDecoders) {
    const struct {
        uint16_t w, h;
        size_t colours;
        Pattern pattern;
    } cases[] = {
        {1, 1, 1, Pattern::Constant},  // one colour: 2-bit codes all the same
        {3, 2, 2, Pattern::Random},    // two colours still need 2-bit codes
        {255, 3, 3, Pattern::Ramp},    // palette padded to 4
        {16, 16, 4, Pattern::Ramp},
        {64, 64, 256, Pattern::Random},  // table fills up and is cleared often
        {300, 200, 16, Pattern::Runs},   // long strings: codes grow to 12 bits
        {1000, 1, 256, Pattern::Ramp},
        {97, 89, 5, Pattern::Runs},
        {200, 200, 2, Pattern::Constant},  // one long run: the longest strings
        {511, 9, 129, Pattern::Random},    // 8-bit codes from a 129-colour table
    };
    unsigned seed = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << ", " << c.colours << " colours");
        GifImage gif;
        gif.width = c.w;
        gif.height = c.h;
        gif.palette = Palette(c.colours);
        gif.frames = {{Pixels(size_t{c.w} * c.h, c.colours, c.pattern, seed++), 0}};
        std::string error;
        const auto bytes = tools::EncodeGif(gif, &error);
        ASSERT_FALSE(bytes.empty()) << error;

        test::StrictGif strict;
        ASSERT_TRUE(test::ReadGifStrictly(bytes, strict, error)) << error;
        EXPECT_EQ(strict.width, c.w);
        EXPECT_EQ(strict.height, c.h);
        ASSERT_EQ(strict.frames.size(), 1u);
        EXPECT_EQ(strict.frames[0].indices, gif.frames[0].indices);
        EXPECT_EQ(strict.frames[0].delayCs, -1) << "a still picture needs no control block";
        EXPECT_EQ(strict.loopCount, -1);
        EXPECT_GE(strict.palette.size(), c.colours);
        EXPECT_TRUE(std::equal(gif.palette.begin(), gif.palette.end(), strict.palette.begin()));

        ExpectQtReadsBack(gif, bytes);
    }
}

TEST(GifEncoder, EveryLengthAroundCodeWidthChangesEndsCleanly) {
    // The end code's width depends on how many strings the stream defined;
    // walk the lengths where the width steps from 3 to 12 bits.
    for (size_t n = 1; n < 5000; n += (n < 300 ? 1 : 7)) {
        for (size_t colours : {2u, 4u, 256u}) {
            const auto pixels = Pixels(n, colours, Pattern::Random, static_cast<unsigned>(n));
            const int minCode = colours <= 4 ? 2 : 8;
            std::vector<uint8_t> decoded;
            std::string error;
            ASSERT_TRUE(test::DecodeLzwStrictly(tools::LzwEncode(pixels, minCode), minCode, n,
                                                decoded, error))
                << n << " pixels, " << colours << " colours: " << error;
            ASSERT_EQ(decoded, pixels) << n << " pixels, " << colours << " colours";
        }
    }
}

TEST(GifEncoder, AnimationKeepsFramesDelaysAndLoop) {
    GifImage gif;
    gif.width = 40;
    gif.height = 30;
    gif.palette = Palette(8);
    const uint16_t delays[] = {10, 20, 30, 40, 250};
    for (size_t i = 0; i < std::size(delays); ++i) {
        gif.frames.push_back({Pixels(1200, 8, Pattern::Random, 100 + unsigned(i)), delays[i]});
    }
    const auto bytes = tools::EncodeGif(gif);
    ASSERT_FALSE(bytes.empty());

    std::string error;
    test::StrictGif strict;
    ASSERT_TRUE(test::ReadGifStrictly(bytes, strict, error)) << error;
    EXPECT_EQ(strict.loopCount, 0);
    ASSERT_EQ(strict.frames.size(), std::size(delays));
    for (size_t i = 0; i < std::size(delays); ++i) {
        EXPECT_EQ(strict.frames[i].delayCs, delays[i]);
        EXPECT_EQ(strict.frames[i].indices, gif.frames[i].indices);
    }

    ExpectQtReadsBack(gif, bytes);
    QByteArray data = AsQt(bytes);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    EXPECT_EQ(reader.imageCount(), 5);
    EXPECT_EQ(reader.loopCount(), -1);  // Qt's word for "forever"
    for (size_t i = 0; i < std::size(delays); ++i) {
        QImage frame;
        ASSERT_TRUE(reader.read(&frame));
        EXPECT_EQ(reader.nextImageDelay(), delays[i] * 10) << "frame " << i;
    }

    QBuffer movieBuffer(&data);
    QMovie movie(&movieBuffer, "gif");
    EXPECT_TRUE(movie.isValid());
    EXPECT_EQ(movie.frameCount(), 5);
    EXPECT_EQ(movie.loopCount(), -1);
}

TEST(GifEncoder, LoopCountsAndPlayingOnce) {
    const struct {
        std::optional<uint16_t> loop;
        int strict;  // -1: no extension
        int qt;      // QImageReader::loopCount()
    } cases[] = {{0, 0, -1}, {3, 3, 3}, {std::nullopt, -1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.strict);
        GifImage gif;
        gif.width = 2;
        gif.height = 2;
        gif.palette = {0x000000, 0xFFFFFF};
        gif.frames = {{{0, 1, 1, 0}, 5}, {{1, 0, 0, 1}, 5}};
        gif.loopCount = c.loop;
        const auto bytes = tools::EncodeGif(gif);
        std::string error;
        test::StrictGif strict;
        ASSERT_TRUE(test::ReadGifStrictly(bytes, strict, error)) << error;
        EXPECT_EQ(strict.loopCount, c.strict);
        QByteArray data = AsQt(bytes);
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "gif");
        EXPECT_EQ(reader.loopCount(), c.qt);
    }
}

TEST(GifEncoder, RejectsInvalidInput) {
    const auto valid = [] {
        GifImage gif;
        gif.width = 3;
        gif.height = 2;
        gif.palette = {0x112233, 0x445566};
        gif.frames = {{{0, 1, 0, 1, 0, 1}, 0}};
        return gif;
    };
    ASSERT_FALSE(tools::EncodeGif(valid()).empty());
    const struct {
        const char* name;
        void (*spoil)(GifImage&);
    } cases[] = {
        {"no frames", [](GifImage& g) { g.frames.clear(); }},
        {"zero width", [](GifImage& g) { g.width = 0; }},
        {"zero height", [](GifImage& g) { g.height = 0; }},
        {"empty palette", [](GifImage& g) { g.palette.clear(); }},
        {"257 colours", [](GifImage& g) { g.palette.resize(257); }},
        {"too few pixels", [](GifImage& g) { g.frames[0].indices.pop_back(); }},
        {"too many pixels", [](GifImage& g) { g.frames[0].indices.push_back(0); }},
        {"index beyond palette", [](GifImage& g) { g.frames[0].indices[4] = 2; }},
        {"second frame wrong",
         [](GifImage& g) {
             g.frames.push_back({{0, 0}, 0});
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GifImage gif = valid();
        c.spoil(gif);
        std::string error;
        EXPECT_TRUE(tools::EncodeGif(gif, &error).empty());
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace quorvel
