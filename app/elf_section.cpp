#include "app/elf_section.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <array>
#include <cstring>

#include "app/unique_fd.h"

namespace quorvel {
namespace {

constexpr unsigned char kClass32 = 1;
constexpr unsigned char kClass64 = 2;
constexpr unsigned char kDataLittle = 1;
constexpr unsigned char kDataBig = 2;
constexpr uint32_t kSectionNoBits = 8;       // SHT_NOBITS
constexpr uint32_t kIndexExtended = 0xFFFF;  // SHN_XINDEX

// Field positions of the two ELF classes.
struct ElfLayout {
    size_t headerSize;
    size_t shoffAt, shoffWidth;
    size_t shentsizeAt, shnumAt, shstrndxAt;
    size_t sectionHeaderSize;
    size_t nameAt, typeAt, offsetAt, sizeAt, linkAt, wordWidth;
};

constexpr ElfLayout kLayout32{52, 0x20, 4, 0x2E, 0x30, 0x32, 40, 0, 4, 16, 20, 24, 4};
constexpr ElfLayout kLayout64{64, 0x28, 8, 0x3A, 0x3C, 0x3E, 64, 0, 4, 24, 32, 40, 8};

class FieldReader {
public:
    FieldReader(std::span<const unsigned char> bytes, bool bigEndian)
        : m_bytes(bytes), m_bigEndian(bigEndian) {}

    // Reads `width` bytes (2, 4 or 8) at `at`; nullopt past the end.
    std::optional<uint64_t> Read(size_t at, size_t width) const {
        if (at > m_bytes.size() || width > m_bytes.size() - at) {
            return std::nullopt;
        }
        uint64_t value = 0;
        for (size_t i = 0; i < width; ++i) {
            const size_t index = m_bigEndian ? at + i : at + width - 1 - i;
            value = (value << 8) | m_bytes[index];
        }
        return value;
    }

private:
    std::span<const unsigned char> m_bytes;
    bool m_bigEndian;
};

bool RangeInside(uint64_t offset, uint64_t size, uint64_t fileSize) {
    return offset <= fileSize && size <= fileSize - offset;
}

struct SectionHeader {
    uint32_t name = 0;
    uint32_t type = 0;
    uint64_t offset = 0;
    uint64_t size = 0;
    uint32_t link = 0;
};

class ElfFile {
public:
    ElfFile(const ElfByteReader& read, uint64_t fileSize) : m_read(read), m_fileSize(fileSize) {}

    bool ReadHeader() {
        std::array<unsigned char, 64> header{};
        if (m_fileSize < 16 || !ReadAt(0, std::span(header).first(16))) {
            return false;
        }
        if (header[0] != 0x7F || header[1] != 'E' || header[2] != 'L' || header[3] != 'F') {
            return false;
        }
        if (header[4] == kClass32) {
            m_layout = &kLayout32;
        } else if (header[4] == kClass64) {
            m_layout = &kLayout64;
        } else {
            return false;
        }
        if (header[5] != kDataLittle && header[5] != kDataBig) {
            return false;
        }
        m_bigEndian = header[5] == kDataBig;
        const auto whole = std::span(header).first(m_layout->headerSize);
        if (!ReadAt(0, whole)) {
            return false;
        }
        const FieldReader fields(whole, m_bigEndian);
        m_shoff = *fields.Read(m_layout->shoffAt, m_layout->shoffWidth);
        m_shentsize = *fields.Read(m_layout->shentsizeAt, 2);
        m_shnum = *fields.Read(m_layout->shnumAt, 2);
        m_shstrndx = *fields.Read(m_layout->shstrndxAt, 2);
        if (m_shoff == 0 || m_shentsize < m_layout->sectionHeaderSize) {
            return false;
        }
        // More than 0xFF00 sections: the real count and the name table's
        // index sit in section 0.
        if (m_shnum == 0 || m_shstrndx == kIndexExtended) {
            const auto first = Section(0);
            if (!first) {
                return false;
            }
            if (m_shnum == 0) {
                m_shnum = first->size;
            }
            if (m_shstrndx == kIndexExtended) {
                m_shstrndx = first->link;
            }
        }
        // The whole table must lie in the file; this also bounds the loop below.
        if (m_shnum == 0 || m_shnum > m_fileSize / m_shentsize ||
            !RangeInside(m_shoff, m_shnum * m_shentsize, m_fileSize)) {
            return false;
        }
        return m_shstrndx < m_shnum;
    }

    std::optional<ElfSectionRange> Find(std::string_view name) {
        const auto names = Section(m_shstrndx);
        if (!names || names->type == kSectionNoBits ||
            !RangeInside(names->offset, names->size, m_fileSize)) {
            return std::nullopt;
        }
        for (uint64_t index = 0; index < m_shnum; ++index) {
            const auto section = Section(index);
            if (!section) {
                return std::nullopt;
            }
            if (section->type == kSectionNoBits || !NameIs(*names, section->name, name)) {
                continue;
            }
            if (!RangeInside(section->offset, section->size, m_fileSize)) {
                return std::nullopt;
            }
            return ElfSectionRange{section->offset, section->size};
        }
        return std::nullopt;
    }

private:
    bool ReadAt(uint64_t offset, std::span<unsigned char> out) const {
        return RangeInside(offset, out.size(), m_fileSize) && m_read(offset, out);
    }

    std::optional<SectionHeader> Section(uint64_t index) const {
        // index < shnum <= fileSize / shentsize once the header is checked, so
        // the product cannot overflow; section 0 is read before that check.
        if (index != 0 && index >= m_shnum) {
            return std::nullopt;
        }
        std::array<unsigned char, 64> bytes{};
        const auto entry = std::span(bytes).first(m_layout->sectionHeaderSize);
        if (!ReadAt(m_shoff + index * m_shentsize, entry)) {
            return std::nullopt;
        }
        const FieldReader fields(entry, m_bigEndian);
        SectionHeader header;
        header.name = static_cast<uint32_t>(*fields.Read(m_layout->nameAt, 4));
        header.type = static_cast<uint32_t>(*fields.Read(m_layout->typeAt, 4));
        header.offset = *fields.Read(m_layout->offsetAt, m_layout->wordWidth);
        header.size = *fields.Read(m_layout->sizeAt, m_layout->wordWidth);
        header.link = static_cast<uint32_t>(*fields.Read(m_layout->linkAt, 4));
        return header;
    }

    // True when the name table holds `wanted` followed by a NUL at `at`.
    bool NameIs(const SectionHeader& names, uint32_t at, std::string_view wanted) const {
        const uint64_t length = uint64_t{wanted.size()} + 1;
        if (at >= names.size || length > names.size - at) {
            return false;
        }
        std::vector<unsigned char> bytes(length);
        if (!ReadAt(names.offset + at, bytes)) {
            return false;
        }
        return bytes.back() == 0 && std::memcmp(bytes.data(), wanted.data(), wanted.size()) == 0;
    }

    const ElfByteReader& m_read;
    uint64_t m_fileSize;
    const ElfLayout* m_layout = nullptr;
    bool m_bigEndian = false;
    uint64_t m_shoff = 0;
    uint64_t m_shentsize = 0;
    uint64_t m_shnum = 0;
    uint64_t m_shstrndx = 0;
};

}  // namespace

std::optional<ElfSectionRange> FindElfSection(const ElfByteReader& read, uint64_t fileSize,
                                              std::string_view name) {
    ElfFile file(read, fileSize);
    if (!file.ReadHeader()) {
        return std::nullopt;
    }
    return file.Find(name);
}

std::optional<ElfSectionRange> FindElfSection(std::span<const unsigned char> image,
                                              std::string_view name) {
    const ElfByteReader read = [image](uint64_t offset, std::span<unsigned char> out) {
        if (offset > image.size() || out.size() > image.size() - offset) {
            return false;
        }
        std::memcpy(out.data(), image.data() + offset, out.size());
        return true;
    };
    return FindElfSection(read, image.size(), name);
}

std::optional<std::vector<unsigned char>> ReadElfSection(const std::string& path,
                                                         std::string_view name, uint64_t maxSize) {
    // Non-blocking, so that a FIFO under the program's name cannot hang us
    // before fstat turns it away.
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0) {
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        return std::nullopt;
    }
    const auto fileSize = static_cast<uint64_t>(info.st_size);
    const ElfByteReader read = [&fd](uint64_t offset, std::span<unsigned char> out) {
        return ReadFullyAt(fd.Get(), offset, out) == ReadOutcome::kComplete;
    };
    const auto range = FindElfSection(read, fileSize, name);
    if (!range || range->size > maxSize) {
        return std::nullopt;
    }
    std::vector<unsigned char> data(range->size);
    if (ReadFullyAt(fd.Get(), range->offset, data) != ReadOutcome::kComplete) {
        return std::nullopt;
    }
    return data;
}

}  // namespace quorvel
