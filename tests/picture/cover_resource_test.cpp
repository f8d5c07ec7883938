// Run: ctest --test-dir build -R CoverResource   (or build/tests/cover_resource_test)
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <vector>

#include "picture/cover_picture.h"

namespace quorvel {
namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The start-of-frame markers of a JPEG, walking its segments up to the
// first scan.
std::vector<int> FrameMarkers(const QByteArray& jpeg) {
    std::vector<int> markers;
    const auto* b = reinterpret_cast<const unsigned char*>(jpeg.constData());
    const qsizetype n = jpeg.size();
    if (n < 4 || b[0] != 0xFF || b[1] != 0xD8) {
        return markers;
    }
    qsizetype pos = 2;
    while (pos + 4 <= n && b[pos] == 0xFF) {
        const int marker = b[pos + 1];
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            markers.push_back(marker);
        }
        if (marker == 0xDA) {
            break;
        }
        pos += 2 + ((b[pos + 2] << 8) | b[pos + 3]);
    }
    return markers;
}

TEST(CoverResource, DefaultCoverIsASmallBaselineJpegOf100x140) {
    const QByteArray bytes = ReadAll(QStringLiteral(":/res/JPG/129"));
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_GE(bytes.size(), 900);
    EXPECT_LE(bytes.size(), 1400);
    EXPECT_EQ(FrameMarkers(bytes), std::vector<int>{0xC0}) << "one baseline frame";
    // The bundled resource is the committed file.
    EXPECT_EQ(bytes, ReadAll(QStringLiteral(QUORVEL_SOURCE_DIR "/res/cover129.jpg")));

    CCoverPicture p;
    EXPECT_NE(p.LoadFromResource(129, "JPG"), 0);
    EXPECT_EQ(p.m_nWidth, 100);
    EXPECT_EQ(p.m_nHeight, 140);
    EXPECT_EQ(p.m_nSize, bytes.size());
}

TEST(CoverResource, OnlyTheLow16BitsNameTheResource) {
    CCoverPicture p;
    EXPECT_NE(p.LoadFromResource(0x10000u + 129, "JPG"), 0);
    EXPECT_EQ(p.m_nWidth, 100);
    EXPECT_NE(p.LoadFromResource(0xFFFF0000u + 129, "JPG"), 0);
    EXPECT_EQ(p.m_nHeight, 140);
}

TEST(CoverResource, MissingResourceEmptiesButKeepsEarlierSizes) {
    CCoverPicture p;
    ASSERT_NE(p.LoadFromResource(129, "JPG"), 0);
    // Releasing the held picture zeroes everything.
    EXPECT_EQ(p.LoadFromResource(130, "JPG"), 0);
    EXPECT_TRUE(p.IsEmpty());
    EXPECT_EQ(p.m_nSize, 0);
    EXPECT_EQ(p.m_nWidth, 0);

    // With nothing held, an earlier failed load's length stays.
    const unsigned char junk[] = {1, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(p.LoadFromMemory(junk, 7), 0);
    const struct {
        unsigned id;
        const char* type;
    } missing[] = {
        {130, "JPG"},
        {129, "PNG"},
        {129, "jpg"},
        {129, ""},
        {129, nullptr},
        // A type is a name, not a path into the resources.
        {129, "../res/JPG"},
        {129, "JPG/.."},
        {129, ".."},
    };
    for (const auto& m : missing) {
        SCOPED_TRACE(testing::Message() << m.id << " " << (m.type ? m.type : "(null)"));
        EXPECT_EQ(p.LoadFromResource(m.id, m.type), 0);
        EXPECT_TRUE(p.IsEmpty());
        EXPECT_EQ(p.m_nSize, 7);
        EXPECT_EQ(p.m_nHeight, 0);
    }
}

TEST(CoverResource, ResourceThatIsNoPictureFailsLikeMemory) {
    const QByteArray text = ReadAll(QStringLiteral(":/res/TXT/5"));
    ASSERT_FALSE(text.isEmpty());
    CCoverPicture p;
    ASSERT_NE(p.LoadFromResource(129, "JPG"), 0);
    EXPECT_EQ(p.LoadFromResource(5, "TXT"), 0);
    EXPECT_TRUE(p.IsEmpty());
    EXPECT_EQ(p.m_nSize, text.size());
    EXPECT_EQ(p.m_nWidth, 0);
    EXPECT_EQ(p.m_nHeight, 0);
}

}  // namespace
}  // namespace quorvel
