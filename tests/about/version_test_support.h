// Builders for the version tests: version blocks in the VS_VERSIONINFO
// layout and minimal ELF images that carry named sections, written out so
// that single fields can be damaged on purpose.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/temp_dir.h"

namespace quorvel::test {

using testing::TempDir;

using Bytes = std::vector<unsigned char>;

inline void PutLe(Bytes& out, size_t at, uint64_t value, size_t width) {
    for (size_t i = 0; i < width; ++i) {
        out[at + i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

inline void Put(Bytes& out, size_t at, uint64_t value, size_t width, bool bigEndian) {
    for (size_t i = 0; i < width; ++i) {
        const size_t shift = bigEndian ? 8 * (width - 1 - i) : 8 * i;
        out[at + i] = static_cast<unsigned char>(value >> shift);
    }
}

inline void AppendLe(Bytes& out, uint64_t value, size_t width) {
    out.resize(out.size() + width);
    PutLe(out, out.size() - width, value, width);
}

inline void Pad4(Bytes& out) {
    while (out.size() % 4 != 0) {
        out.push_back(0);
    }
}

inline Bytes Utf16z(std::u16string_view text) {
    Bytes out;
    for (char16_t unit : text) {
        AppendLe(out, unit, 2);
    }
    AppendLe(out, 0, 2);
    return out;
}

// One block: header, key, padding, value, then each child on a 4-byte
// boundary. The length leaves out the padding after the block.
inline Bytes Block(std::u16string_view key, const Bytes& value, uint16_t valueLength, uint16_t type,
                   const std::vector<Bytes>& children = {}) {
    Bytes out(6, 0);
    const Bytes encodedKey = Utf16z(key);
    out.insert(out.end(), encodedKey.begin(), encodedKey.end());
    Pad4(out);
    out.insert(out.end(), value.begin(), value.end());
    for (const Bytes& child : children) {
        Pad4(out);
        out.insert(out.end(), child.begin(), child.end());
    }
    PutLe(out, 0, out.size(), 2);
    PutLe(out, 2, valueLength, 2);
    PutLe(out, 4, type, 2);
    return out;
}

inline Bytes StringEntry(std::u16string_view key, std::u16string_view value) {
    const Bytes encoded = Utf16z(value);
    return Block(key, encoded, static_cast<uint16_t>(encoded.size() / 2), 1);
}

inline Bytes FixedPart(uint32_t fileMS, uint32_t fileLS, uint32_t productMS, uint32_t productLS,
                       uint32_t signature = 0xFEEF04BD) {
    Bytes out;
    for (uint32_t field : {signature, 0x00010000u, fileMS, fileLS, productMS, productLS, 0x3Fu,
                           0x28u, 0x4u, 0x1u, 0u, 0u, 0u}) {
        AppendLe(out, field, 4);
    }
    return out;
}

using StringTable =
    std::pair<std::u16string, std::vector<std::pair<std::u16string, std::u16string>>>;

// A whole block: root with `fixed` as its value, the string tables, and a
// translation entry for each table.
inline Bytes VersionBlock(const Bytes& fixed, const std::vector<StringTable>& tables) {
    std::vector<Bytes> tableBlocks;
    Bytes translation;
    for (const auto& [tableKey, entries] : tables) {
        std::vector<Bytes> strings;
        for (const auto& [key, value] : entries) {
            strings.push_back(StringEntry(key, value));
        }
        tableBlocks.push_back(Block(tableKey, {}, 0, 1, strings));
        const uint32_t code =
            std::stoul(std::string(tableKey.begin(), tableKey.end()), nullptr, 16);
        AppendLe(translation, code >> 16, 2);
        AppendLe(translation, code & 0xFFFF, 2);
    }
    const Bytes stringInfo = Block(u"StringFileInfo", {}, 0, 1, tableBlocks);
    const Bytes varInfo =
        Block(u"VarFileInfo", {}, 0, 1,
              {Block(u"Translation", translation, static_cast<uint16_t>(translation.size()), 0)});
    return Block(u"VS_VERSION_INFO", fixed, static_cast<uint16_t>(fixed.size()), 0,
                 {stringInfo, varInfo});
}

// A minimal ELF file: header, each section's bytes, the section name table,
// then the section headers (null section, the given ones, .shstrtab).
struct ElfImage {
    Bytes bytes;
    bool is64 = true;
    bool bigEndian = false;
    size_t shoffAt = 0, shentsizeAt = 0, shnumAt = 0, shstrndxAt = 0;
    uint64_t shoff = 0;
    size_t shentsize = 0;
    std::vector<uint64_t> dataOffsets;  // per given section
    uint64_t namesOffset = 0;
    uint64_t namesSize = 0;
    size_t namesIndex = 0;

    // Byte position of a field of section header `index`.
    size_t HeaderField(size_t index, const char* field) const {
        const std::string_view f = field;
        size_t at = 0;
        if (f == "name") {
            at = 0;
        } else if (f == "type") {
            at = 4;
        } else if (f == "offset") {
            at = is64 ? 24 : 16;
        } else if (f == "size") {
            at = is64 ? 32 : 20;
        } else if (f == "link") {
            at = is64 ? 40 : 24;
        }
        return static_cast<size_t>(shoff) + index * shentsize + at;
    }
    size_t WordWidth() const { return is64 ? 8 : 4; }
    void Set(size_t at, uint64_t value, size_t width) { Put(bytes, at, value, width, bigEndian); }
};

inline ElfImage BuildElf(const std::vector<std::pair<std::string, Bytes>>& sections,
                         bool is64 = true, bool bigEndian = false) {
    ElfImage image;
    image.is64 = is64;
    image.bigEndian = bigEndian;
    const size_t headerSize = is64 ? 64 : 52;
    image.shentsize = is64 ? 64 : 40;
    image.shoffAt = is64 ? 0x28 : 0x20;
    image.shentsizeAt = is64 ? 0x3A : 0x2E;
    image.shnumAt = is64 ? 0x3C : 0x30;
    image.shstrndxAt = is64 ? 0x3E : 0x32;

    Bytes& out = image.bytes;
    out.assign(headerSize, 0);
    out[0] = 0x7F;
    out[1] = 'E';
    out[2] = 'L';
    out[3] = 'F';
    out[4] = is64 ? 2 : 1;
    out[5] = bigEndian ? 2 : 1;
    out[6] = 1;

    for (const auto& section : sections) {
        Pad4(out);
        image.dataOffsets.push_back(out.size());
        out.insert(out.end(), section.second.begin(), section.second.end());
    }
    Bytes names(1, 0);
    std::vector<size_t> nameOffsets;
    for (const auto& section : sections) {
        nameOffsets.push_back(names.size());
        names.insert(names.end(), section.first.begin(), section.first.end());
        names.push_back(0);
    }
    const size_t ownName = names.size();
    for (char c : std::string_view(".shstrtab")) {
        names.push_back(static_cast<unsigned char>(c));
    }
    names.push_back(0);
    image.namesOffset = out.size();
    image.namesSize = names.size();
    out.insert(out.end(), names.begin(), names.end());
    while (out.size() % 8 != 0) {
        out.push_back(0);
    }

    image.shoff = out.size();
    const size_t count = sections.size() + 2;
    image.namesIndex = count - 1;
    out.resize(out.size() + count * image.shentsize, 0);
    const size_t word = image.WordWidth();
    for (size_t i = 0; i < sections.size(); ++i) {
        image.Set(image.HeaderField(i + 1, "name"), nameOffsets[i], 4);
        image.Set(image.HeaderField(i + 1, "type"), 1, 4);  // SHT_PROGBITS
        image.Set(image.HeaderField(i + 1, "offset"), image.dataOffsets[i], word);
        image.Set(image.HeaderField(i + 1, "size"), sections[i].second.size(), word);
    }
    image.Set(image.HeaderField(count - 1, "name"), ownName, 4);
    image.Set(image.HeaderField(count - 1, "type"), 3, 4);  // SHT_STRTAB
    image.Set(image.HeaderField(count - 1, "offset"), image.namesOffset, word);
    image.Set(image.HeaderField(count - 1, "size"), image.namesSize, word);

    image.Set(image.shoffAt, image.shoff, word);
    image.Set(image.shentsizeAt, image.shentsize, 2);
    image.Set(image.shnumAt, count, 2);
    image.Set(image.shstrndxAt, count - 1, 2);
    return image;
}

inline bool WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace quorvel::test
