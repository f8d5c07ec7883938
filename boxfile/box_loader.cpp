// Loading a box file. Nothing is read outside the file: a block whose range
// does not lie wholly inside it is absent, and a file shorter than its header
// loads nothing at all.
#include "boxfile/box_loader.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <limits>
#include <vector>

#include "app/applikation.h"
#include "app/byte_read.h"
#include "app/limits.h"
#include "app/unique_fd.h"

namespace quorvel {

std::unique_ptr<BoxHeader> g_pBoxHeader;
std::unique_ptr<BlockBuffer> g_pCoverBlock;
int32_t g_nCoverSize = 0;
std::unique_ptr<BlockBuffer> g_pDataBlock;
int32_t g_nDataSize = 0;

namespace {

constexpr char kMagic[8] = {'M', 'I', 'R', 'A', 'X', '4', '.', '0'};

// Takes [start, start + length) of the file as a block, or leaves the block
// absent when that range is empty or not inside the file. A compressed block
// is inflated straight from the file into the buffer that then becomes the
// block; only a block that stays as stored is copied. A block too short to
// hold the length prefix, or whose stream fails, stays as stored. A data
// block that inflates to nothing is absent: there is no token in it to walk.
// An empty cover stays present, so the picture reports it as unreadable.
void TakeBlock(std::span<const unsigned char> file, int64_t start, int64_t length, bool compressed,
               bool emptyIsAbsent, std::unique_ptr<BlockBuffer>& block, int32_t& size) {
    block.reset();
    size = 0;
    if (length <= 0 || start < 0 || start > static_cast<int64_t>(file.size()) ||
        length > static_cast<int64_t>(file.size()) - start) {
        return;
    }
    const std::span<const unsigned char> stored =
        file.subspan(static_cast<size_t>(start), static_cast<size_t>(length));
    if (compressed && stored.size() >= 4) {
        auto content = std::make_unique<BlockBuffer>();
        if (CApplikation::UncompressBlock(stored, *content)) {
            if (!content->empty() || !emptyIsAbsent) {
                size = static_cast<int32_t>(content->size());
                block = std::move(content);
            }
            return;
        }
    }
    block = std::make_unique<BlockBuffer>(stored.begin(), stored.end());
    size = static_cast<int32_t>(stored.size());
}

}  // namespace

BoxHeader BoxHeader::Parse(std::span<const unsigned char, kBoxHeaderSize> bytes) {
    BoxHeader header;
    std::memcpy(header.magic.data(), bytes.data(), 8);
    std::memcpy(header.opaqueA.data(), bytes.data() + 8, 32);
    std::memcpy(header.exportDate.data(), bytes.data() + 40, 8);
    std::memcpy(header.exportTime.data(), bytes.data() + 48, 6);
    header.flags = bytes[54];
    header.opaqueB = bytes[55];
    header.coverOffset = ReadLe32(bytes, 56);
    header.dataOffset = ReadLe32(bytes, 60);
    return header;
}

bool BoxHeader::HasMagic() const {
    return std::memcmp(magic.data(), kMagic, sizeof kMagic) == 0;
}

LoadStatus LoadBoxBytes(std::span<const unsigned char> file) {
    if (file.size() < kBoxHeaderSize) {
        return LoadStatus::kTooShort;
    }
    if (file.size() > kMaxBoxFileBytes) {
        return LoadStatus::kTooLarge;
    }
    g_pBoxHeader = std::make_unique<BoxHeader>(BoxHeader::Parse(file.first<kBoxHeaderSize>()));
    if (!g_pBoxHeader->HasMagic()) {
        return LoadStatus::kWrongMagic;
    }
    const BoxHeader& header = *g_pBoxHeader;
    const auto fileLength = static_cast<uint32_t>(file.size());

    // Both lengths are worked out in 32-bit arithmetic that wraps, as the
    // files' producer does; only the range checks are made wider.
    const auto storedCoverLength = static_cast<int32_t>(header.dataOffset - header.coverOffset);
    const auto dataLength = static_cast<int32_t>(fileLength - header.dataOffset);

    TakeBlock(file, kBoxHeaderSize, storedCoverLength, (header.flags & BOX_COVER_COMPRESSED) != 0,
              false, g_pCoverBlock, g_nCoverSize);
    // The data follows the cover as stored, whatever the cover inflated to.
    TakeBlock(file, int64_t{kBoxHeaderSize} + storedCoverLength, dataLength,
              (header.flags & BOX_DATA_COMPRESSED) != 0, true, g_pDataBlock, g_nDataSize);
    return LoadStatus::kShown;
}

LoadResult LoadBoxFileWithStatus(const std::string& path) {
    // Non-blocking, so a FIFO or device named *.box can neither block the
    // viewer nor feed it endless bytes before fstat turns it away.
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid()) {
        switch (errno) {
            case ENOENT:
            case ENOTDIR:
                return {LoadStatus::kNotFound};
            case ENXIO:  // a socket
                return {LoadStatus::kNotRegularFile};
            default:
                return {LoadStatus::kNotReadable, errno};
        }
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) {
        return {LoadStatus::kReadError, errno};
    }
    if (!S_ISREG(info.st_mode)) {
        return {LoadStatus::kNotRegularFile};
    }
    // Judge the size before reading, so a huge file is never read in.
    const auto size = static_cast<uint64_t>(std::max<off_t>(info.st_size, 0));
    if (size < kBoxHeaderSize) {
        return {LoadStatus::kTooShort};
    }
    // The header first: a large file that is no box costs one small read.
    std::array<unsigned char, kBoxHeaderSize> head{};
    if (const ReadOutcome got = ReadFullyAt(fd.Get(), 0, head); got != ReadOutcome::kComplete) {
        return {LoadStatus::kReadError, got == ReadOutcome::kFailed ? errno : 0};
    }
    if (!BoxHeader::Parse(head).HasMagic()) {
        return {LoadBoxBytes(head)};  // keeps the header, as for any file without the magic
    }
    if (size > kMaxBoxFileBytes) {
        return {LoadStatus::kTooLarge};
    }
    // Read into uninitialised memory: every byte is overwritten or the load fails.
    const auto content = std::make_unique_for_overwrite<unsigned char[]>(static_cast<size_t>(size));
    const std::span<unsigned char> bytes(content.get(), static_cast<size_t>(size));
    switch (ReadFullyAt(fd.Get(), 0, bytes)) {
        case ReadOutcome::kComplete:
            break;
        case ReadOutcome::kShort:
            // Shorter than fstat said: the file changed while it was read.
            return {LoadStatus::kReadError};
        case ReadOutcome::kFailed:
            return {LoadStatus::kReadError, errno};
    }
    return {LoadBoxBytes(bytes)};
}

LoadResult LoadBoxStream(int fd) {
    // A stream tells no size in advance: read to its end, but never more
    // than the largest box, so the limits are those of a named file.
    std::vector<unsigned char> content;
    constexpr size_t kChunk = 64 * 1024;
    for (;;) {
        const size_t have = content.size();
        if (have > kMaxBoxFileBytes) {
            return {LoadStatus::kTooLarge};
        }
        content.resize(have + kChunk);
        const ssize_t got = ::read(fd, content.data() + have, kChunk);
        if (got < 0) {
            content.resize(have);
            if (errno == EINTR) {
                continue;
            }
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                pollfd wait{fd, POLLIN, 0};
                ::poll(&wait, 1, -1);
                continue;
            }
            return {LoadStatus::kReadError, errno};
        }
        content.resize(have + static_cast<size_t>(got));
        if (got == 0) {
            break;
        }
    }
    if (content.size() < kBoxHeaderSize) {
        return {LoadStatus::kTooShort};
    }
    return {LoadBoxBytes(content)};
}

void LoadBoxFile(const std::string& path) {
    LoadBoxFileWithStatus(path);
}

void FreeBoxFile() {
    g_pBoxHeader.reset();
    g_pCoverBlock.reset();
    g_nCoverSize = 0;
    g_pDataBlock.reset();
    g_nDataSize = 0;
}

std::span<const unsigned char> CoverBlock() {
    return g_pCoverBlock ? std::span<const unsigned char>(*g_pCoverBlock)
                         : std::span<const unsigned char>();
}

std::span<const unsigned char> DataBlock() {
    return g_pDataBlock ? std::span<const unsigned char>(*g_pDataBlock)
                        : std::span<const unsigned char>();
}

}  // namespace quorvel
