// Run: ctest --test-dir build -R 'Loader|Uncompress'
// The box container: header, block ranges, compression, state after free.
#include <gtest/gtest.h>

#include "app/applikation.h"
#include "boxfile/box_loader.h"
#include "support/box_builder.h"

namespace quorvel {
namespace {

using testing::Bytes;

Bytes Block(std::span<const unsigned char> b) {
    return Bytes(b.begin(), b.end());
}

class Loader : public ::testing::Test {
protected:
    void SetUp() override { FreeBoxFile(); }
    void TearDown() override { FreeBoxFile(); }
    void Load(const testing::BoxSpec& box) { LoadBoxBytes(testing::BuildBox(box)); }
    void Load(const Bytes& file) { LoadBoxBytes(file); }
    void ExpectEmpty() {
        EXPECT_EQ(g_pBoxHeader, nullptr);
        EXPECT_EQ(g_pCoverBlock, nullptr);
        EXPECT_EQ(g_pDataBlock, nullptr);
        EXPECT_EQ(g_nCoverSize, 0);
        EXPECT_EQ(g_nDataSize, 0);
    }
    const Bytes cover_ = testing::ToBytes("COVERBYTES");
    const Bytes data_ = testing::Token(0x10, "Titel");
};

TEST_F(Loader, StoredBlocksAndHeaderFields) {
    testing::BoxSpec box;
    box.cover = cover_;
    box.data = data_;
    box.flags = 0x02;
    Load(box);
    ASSERT_NE(g_pBoxHeader, nullptr);
    EXPECT_EQ(g_pBoxHeader->flags, 0x02);
    EXPECT_EQ(g_pBoxHeader->coverOffset, 64u);
    EXPECT_EQ(g_pBoxHeader->dataOffset, 64u + cover_.size());
    EXPECT_EQ(Block(CoverBlock()), cover_);
    EXPECT_EQ(Block(DataBlock()), data_);
    FreeBoxFile();
    ExpectEmpty();
}

TEST_F(Loader, NoCoverNoData) {
    testing::BoxSpec box;
    box.data = data_;
    Load(box);  // coverOffset = dataOffset = 64
    EXPECT_EQ(g_pCoverBlock, nullptr);
    EXPECT_EQ(Block(DataBlock()), data_);
    FreeBoxFile();
    box.data.clear();
    box.cover = cover_;
    Load(box);  // dataOffset equals the file length
    EXPECT_EQ(Block(CoverBlock()), cover_);
    EXPECT_EQ(g_pDataBlock, nullptr);
}

TEST_F(Loader, WrongMagicKeepsOnlyTheHeader) {
    for (const char* magic : {"MIRAX3.0", "mirax4.0", "MIRAX4.1", "XXXXXXXX"}) {
        testing::BoxSpec box;
        box.magic = magic;
        box.cover = cover_;
        box.data = data_;
        Load(box);
        EXPECT_NE(g_pBoxHeader, nullptr) << magic;
        EXPECT_FALSE(g_pBoxHeader->HasMagic());
        EXPECT_EQ(g_pCoverBlock, nullptr);
        EXPECT_EQ(g_pDataBlock, nullptr);
        FreeBoxFile();
        ExpectEmpty();
    }
}

TEST_F(Loader, ShorterThanHeaderLoadsNothing) {
    Bytes file = testing::BuildBox({});
    file.pop_back();
    Load(file);
    ExpectEmpty();
}

TEST_F(Loader, CompressedBlocks) {
    testing::BoxSpec box;
    box.flags = 0xC1;
    box.cover = testing::Compress(cover_);
    box.data = testing::Compress(data_);
    Load(box);
    EXPECT_EQ(Block(CoverBlock()), cover_);
    EXPECT_EQ(Block(DataBlock()), data_);
    FreeBoxFile();

    // Flags 0x00: the same compressed bytes stay as stored.
    box.flags = 0x00;
    Load(box);
    EXPECT_EQ(Block(CoverBlock()), box.cover);
    EXPECT_EQ(Block(DataBlock()), box.data);
}

TEST_F(Loader, DataIsTakenFromBehindTheStoredCover) {
    Bytes bigCover(5000, 'c');  // compresses to far less than it inflates to
    testing::BoxSpec box;
    box.flags = 0x40;
    box.cover = testing::Compress(bigCover);
    box.data = data_;
    Load(box);
    EXPECT_EQ(g_nCoverSize, 5000);
    EXPECT_EQ(Block(DataBlock()), data_);
}

TEST_F(Loader, DeclaredLengthTooLargeOrTooSmall) {
    testing::BoxSpec box;
    box.flags = 0x80;
    box.data = testing::Compress(data_, static_cast<uint32_t>(data_.size() + 1000));
    Load(box);
    EXPECT_EQ(Block(DataBlock()), data_);  // true length, not the declared one
    FreeBoxFile();

    box.data = testing::Compress(data_, static_cast<uint32_t>(data_.size() - 1));
    Load(box);
    EXPECT_EQ(Block(DataBlock()), box.data);  // kept as stored, prefix included
    EXPECT_EQ(g_nDataSize, static_cast<int32_t>(box.data.size()));
}

TEST_F(Loader, BrokenCompressedBlocksStayAsStored) {
    const std::vector<Bytes> blocks = {
        Bytes{0x05, 0x00, 0x00},                       // shorter than its prefix
        Bytes{0x05, 0x00, 0x00, 0x00},                 // prefix only
        Bytes{0x05, 0x00, 0x00, 0x00, 0x78, 0x9C, 1},  // truncated stream
        Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01},
    };
    for (const Bytes& block : blocks) {
        testing::BoxSpec box;
        box.flags = 0x80;
        box.data = block;
        Load(box);
        EXPECT_EQ(Block(DataBlock()), block);
        FreeBoxFile();
    }
}

TEST_F(Loader, EmptyInflatedBlocks) {
    testing::BoxSpec box;
    box.flags = 0xC0;
    box.cover = testing::Compress({});
    box.data = testing::Compress({});
    Load(box);
    // The cover is there but empty (no picture can load from it); the data is
    // absent, since there is no token in it.
    EXPECT_NE(g_pCoverBlock, nullptr);
    EXPECT_EQ(g_nCoverSize, 0);
    EXPECT_EQ(g_pDataBlock, nullptr);
}

TEST_F(Loader, OffsetsThatDoNotFitTheFile) {
    struct Case {
        uint32_t coverOffset, dataOffset;
        bool cover, data;
    };
    // Cover bytes: 10, data bytes: 7, file length 81.
    const Case cases[] = {
        {64, 74, true, true},
        {64, 200, false, false},          // cover runs past the end; data length negative
        {100, 64, false, true},           // negative cover: data from 64 - 36 = 28
        {64, 81, true, false},            // data empty
        {70, 74, true, true},             // cover 4 bytes from 64, data from 68
        {0xFFFFFF00u, 10, false, false},  // wraps to a cover of 266 bytes: too long
        {0xFFFFFFF0u, 0, true, false},    // wraps to a cover of 16; data too long
    };
    for (const Case& c : cases) {
        testing::BoxSpec box;
        box.cover = cover_;
        box.data = Bytes(7, 'd');
        box.coverOffset = c.coverOffset;
        box.dataOffset = c.dataOffset;
        const Bytes file = testing::BuildBox(box);
        ASSERT_EQ(file.size(), 81u);
        Load(file);
        EXPECT_EQ(g_pCoverBlock != nullptr, c.cover) << c.coverOffset << " " << c.dataOffset;
        EXPECT_EQ(g_pDataBlock != nullptr, c.data) << c.coverOffset << " " << c.dataOffset;
        if (g_pDataBlock) {
            const int64_t start = 64 + static_cast<int32_t>(c.dataOffset - c.coverOffset);
            EXPECT_EQ(Block(DataBlock()),
                      Bytes(file.begin() + start, file.begin() + start + g_nDataSize));
        }
        FreeBoxFile();
        ExpectEmpty();
    }
}

TEST(Uncompress, DeclaredLengthIsTheCapacity) {
    const Bytes content(300, 'x');
    std::vector<unsigned char> out;
    EXPECT_TRUE(CApplikation::UncompressBlock(testing::Compress(content), out));
    EXPECT_EQ(out, content);
    EXPECT_TRUE(CApplikation::UncompressBlock(testing::Compress(content, 100000), out));
    EXPECT_EQ(out, content);
    EXPECT_FALSE(CApplikation::UncompressBlock(testing::Compress(content, 299), out));
    EXPECT_TRUE(out.empty());
    // Up to 64 MiB a declaration only caps; beyond it the block is refused
    // whatever the stream holds.
    for (const uint32_t declared :
         {uint32_t{64} << 20, (uint32_t{64} << 20) + 1, 0x7FFFFFFFu, 0x80000000u}) {
        SCOPED_TRACE(declared);
        EXPECT_EQ(CApplikation::UncompressBlock(testing::Compress(content, declared), out),
                  declared <= (uint32_t{64} << 20));
        EXPECT_EQ(out.empty(), declared > (uint32_t{64} << 20));
    }
}

}  // namespace
}  // namespace quorvel
