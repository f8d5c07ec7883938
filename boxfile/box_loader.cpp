#include "boxfile/box_loader.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

#include "app/byte_read.h"
#include "app/limits.h"
#include "app/unique_fd.h"
#include "boxfile/uncompress_block.h"

namespace quorvel {
namespace {

constexpr char kMagic[8] = {'M', 'I', 'R', 'A', 'X', '4', '.', '0'};

// [start, start + length) of the file as a block, or an absent block when
// that range is empty or not inside the file. A compressed block is
// inflated straight from the file; a data block that inflates to nothing is
// absent, as there is no token in it to walk.
BoxBlock TakeBlock(std::span<const unsigned char> file, int64_t start, int64_t length,
                   bool compressed, bool emptyIsAbsent) {
    if (length <= 0 || start < 0 || start > static_cast<int64_t>(file.size()) ||
        length > static_cast<int64_t>(file.size()) - start) {
        return {};
    }
    const std::span<const unsigned char> stored =
        file.subspan(static_cast<size_t>(start), static_cast<size_t>(length));
    if (compressed && stored.size() >= 4) {
        std::vector<unsigned char> content;
        if (UncompressBlock(stored, content)) {
            if (content.empty() && emptyIsAbsent) {
                return {};
            }
            return BoxBlock::Own(std::move(content));
        }
    }
    return BoxBlock::View(stored);
}

// The file's bytes: `size` of them, the first kBoxHeaderSize already read.
struct FileBytes {
    std::unique_ptr<unsigned char[]> bytes;
    size_t size = 0;
    std::span<const unsigned char> View() const { return {bytes.get(), size}; }
};

// How much of a file of `size` bytes holds the header and the cover: the
// cover's end when its range lies inside the file, else only the header
// (the cover is absent then, as TakeBlock finds from the whole file too).
uint64_t CoverOnlyExtent(const BoxHeader& header, uint64_t size) {
    const auto storedCoverLength = static_cast<int32_t>(header.dataOffset - header.coverOffset);
    const uint64_t end = kBoxHeaderSize + static_cast<uint64_t>(std::max(storedCoverLength, 0));
    return end <= size ? end : kBoxHeaderSize;
}

// Takes the blocks out of a whole file whose header has the magic.
LoadedBox LoadFromBytes(FileBytes file, BoxParts parts) {
    LoadedBox box;
    const std::span<const unsigned char> view = file.View();
    const BoxHeader header = BoxHeader::Parse(view.first<kBoxHeaderSize>());
    box.SetHeader(header);
    // Both lengths are worked out in 32-bit arithmetic that wraps, as the
    // files' producer does; only the range checks are made wider.
    const auto fileLength = static_cast<uint32_t>(file.size);
    const auto storedCoverLength = static_cast<int32_t>(header.dataOffset - header.coverOffset);
    const auto dataLength = static_cast<int32_t>(fileLength - header.dataOffset);
    BoxBlock cover = TakeBlock(view, kBoxHeaderSize, storedCoverLength,
                               (header.flags & BOX_COVER_COMPRESSED) != 0, false);
    // The data follows the cover as stored, whatever the cover inflated to.
    BoxBlock data;
    if (parts == BoxParts::kAll) {
        data = TakeBlock(view, int64_t{kBoxHeaderSize} + storedCoverLength, dataLength,
                         (header.flags & BOX_DATA_COMPRESSED) != 0, true);
    }
    // The file's bytes stay only while a block is a view into them.
    const bool borrowed =
        (cover.Present() && !cover.Inflated()) || (data.Present() && !data.Inflated());
    if (borrowed) {
        box.AdoptFileBytes(std::move(file.bytes));
    }
    box.SetBlocks(std::move(cover), std::move(data));
    box.SetResult({LoadStatus::kLoaded});
    return box;
}

// A box with only the header of a file without the magic: shown, as any
// file whose header was read, but with no blocks.
LoadedBox WrongMagic(const BoxHeader& header) {
    LoadedBox box;
    box.SetHeader(header);
    box.SetResult({LoadStatus::kWrongMagic});
    return box;
}

LoadedBox Failed(LoadStatus status, int error = 0) {
    LoadedBox box;
    box.SetResult({status, error});
    return box;
}

// Reads what `fd` holds after the header, up to its end but never more than
// `limit` bytes in all; the header bytes are copied in front. A stream
// longer than `limit` comes back with size limit + 1.
LoadResult ReadStreamRest(int fd, std::span<const unsigned char> head, uint64_t limit,
                          FileBytes& out) {
    size_t capacity = 256 * 1024;
    out.bytes = std::make_unique_for_overwrite<unsigned char[]>(capacity);
    std::memcpy(out.bytes.get(), head.data(), head.size());
    out.size = head.size();
    for (;;) {
        if (out.size == capacity) {
            if (capacity > limit) {
                return {LoadStatus::kTooLarge};
            }
            // The bound is checked before more memory is taken.
            const size_t grown = static_cast<size_t>(std::min<uint64_t>(capacity * 2, limit + 1));
            auto larger = std::make_unique_for_overwrite<unsigned char[]>(grown);
            std::memcpy(larger.get(), out.bytes.get(), out.size);
            out.bytes = std::move(larger);
            capacity = grown;
        }
        const ssize_t got = ::read(fd, out.bytes.get() + out.size, capacity - out.size);
        if (got > 0) {
            out.size += static_cast<size_t>(got);
            continue;
        }
        if (got == 0) {
            return {LoadStatus::kLoaded};
        }
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
}

// Fills `out` from a stream; kShort when the stream ends first.
ReadOutcome ReadStreamFully(int fd, std::span<unsigned char> out) {
    size_t done = 0;
    while (done < out.size()) {
        const ssize_t got = ::read(fd, out.data() + done, out.size() - done);
        if (got > 0) {
            done += static_cast<size_t>(got);
        } else if (got == 0) {
            return ReadOutcome::kShort;
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            pollfd wait{fd, POLLIN, 0};
            ::poll(&wait, 1, -1);
        } else if (errno != EINTR) {
            return ReadOutcome::kFailed;
        }
    }
    return ReadOutcome::kComplete;
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

BoxBlock BoxBlock::View(std::span<const unsigned char> stored) {
    BoxBlock block;
    block.m_present = true;
    block.m_view = stored;
    return block;
}

BoxBlock BoxBlock::Own(std::vector<unsigned char> inflated) {
    BoxBlock block;
    block.m_present = true;
    block.m_inflated = std::move(inflated);
    block.m_view = *block.m_inflated;
    return block;
}

void LoadedBox::SetBlocks(BoxBlock cover, BoxBlock data) {
    m_cover = std::move(cover);
    m_data = std::move(data);
}

LoadedBox LoadBoxBytes(std::span<const unsigned char> file, BoxParts parts) {
    if (file.size() < kBoxHeaderSize) {
        return Failed(LoadStatus::kTooShort);
    }
    const BoxHeader header = BoxHeader::Parse(file.first<kBoxHeaderSize>());
    if (!header.HasMagic()) {
        return WrongMagic(header);
    }
    if (file.size() > kMaxBoxFileBytes) {
        return Failed(LoadStatus::kTooLarge);
    }
    FileBytes copy{std::make_unique_for_overwrite<unsigned char[]>(file.size()), file.size()};
    std::memcpy(copy.bytes.get(), file.data(), file.size());
    return LoadFromBytes(std::move(copy), parts);
}

LoadedBox LoadBox(const std::string& path, BoxParts parts) {
    // Non-blocking, so a FIFO or device named *.box can neither block the
    // viewer nor feed it endless bytes before fstat turns it away.
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid()) {
        switch (errno) {
            case ENOENT:
            case ENOTDIR:
                return Failed(LoadStatus::kNotFound);
            case ENXIO:  // a socket
                return Failed(LoadStatus::kNotRegularFile);
            default:
                return Failed(LoadStatus::kNotReadable, errno);
        }
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) {
        return Failed(LoadStatus::kReadError, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return Failed(LoadStatus::kNotRegularFile);
    }
    // Judged before reading, so a huge file is never read in.
    const auto size = static_cast<uint64_t>(std::max<off_t>(info.st_size, 0));
    if (size < kBoxHeaderSize) {
        return Failed(LoadStatus::kTooShort);
    }
    std::array<unsigned char, kBoxHeaderSize> head{};
    if (const ReadOutcome got = ReadFullyAt(fd.Get(), 0, head); got != ReadOutcome::kComplete) {
        return Failed(LoadStatus::kReadError, got == ReadOutcome::kFailed ? errno : 0);
    }
    const BoxHeader header = BoxHeader::Parse(head);
    if (!header.HasMagic()) {
        return WrongMagic(header);
    }
    if (size > kMaxBoxFileBytes) {
        return Failed(LoadStatus::kTooLarge);
    }
    // Without the record, only the header and the cover are read: the data
    // block follows them and is never taken in.
    const uint64_t wanted = parts == BoxParts::kCoverOnly ? CoverOnlyExtent(header, size) : size;
    // Uninitialised memory: every byte is overwritten or the load fails.
    FileBytes file{std::make_unique_for_overwrite<unsigned char[]>(static_cast<size_t>(wanted)),
                   static_cast<size_t>(wanted)};
    std::memcpy(file.bytes.get(), head.data(), head.size());
    const std::span<unsigned char> rest(file.bytes.get() + kBoxHeaderSize,
                                        file.size - kBoxHeaderSize);
    switch (ReadFullyAt(fd.Get(), kBoxHeaderSize, rest)) {
        case ReadOutcome::kComplete:
            break;
        case ReadOutcome::kShort:
            // Shorter than fstat said: the file changed while it was read.
            return Failed(LoadStatus::kReadError);
        case ReadOutcome::kFailed:
            return Failed(LoadStatus::kReadError, errno);
    }
    return LoadFromBytes(std::move(file), parts);
}

LoadedBox LoadBoxStream(int fd, BoxParts parts) {
    std::array<unsigned char, kBoxHeaderSize> head{};
    switch (ReadStreamFully(fd, head)) {
        case ReadOutcome::kComplete:
            break;
        case ReadOutcome::kShort:
            return Failed(LoadStatus::kTooShort);
        case ReadOutcome::kFailed:
            return Failed(LoadStatus::kReadError, errno);
    }
    const BoxHeader header = BoxHeader::Parse(head);
    if (!header.HasMagic()) {
        return WrongMagic(header);
    }
    FileBytes file;
    if (const LoadResult read = ReadStreamRest(fd, head, kMaxBoxFileBytes, file);
        read.status != LoadStatus::kLoaded) {
        return Failed(read.status, read.error);
    }
    return LoadFromBytes(std::move(file), parts);
}

}  // namespace quorvel
