#include "app/version_info.h"

#include <algorithm>
#include <cinttypes>
#include <iterator>
#include <memory>
#include <new>
#include <vector>

#include "app/applikation.h"
#include "app/byte_read.h"
#include "app/elf_section.h"
#include "app/log.h"
#include "app/text_util.h"

namespace quorvel {
namespace {

constexpr uint32_t kLogLevelMemory = 8;
constexpr size_t kBlockHeaderSize = 6;  // wLength, wValueLength, wType
constexpr size_t kFixedFileInfoSize = 52;
constexpr uint16_t kTypeText = 1;
constexpr std::u16string_view kRootKey = u"VS_VERSION_INFO";

size_t Align4(size_t offset) {
    return (offset + 3) & ~size_t{3};
}

// One block of the version data. Offsets are from the start of the whole
// data, which is where the 4-byte alignment of the layout counts from.
struct Block {
    size_t end = 0;
    uint16_t type = 0;
    std::u16string key;
    size_t valueStart = 0;
    size_t valueEnd = 0;
    size_t childrenStart = 0;
};

// Parses the block at `start`, which must end at or before `limit`.
std::optional<Block> ParseBlock(std::span<const unsigned char> data, size_t start, size_t limit) {
    if (start > limit || limit - start < kBlockHeaderSize) {
        return std::nullopt;
    }
    const size_t length = ReadLe16(data, start);
    if (length < kBlockHeaderSize || length > limit - start) {
        return std::nullopt;
    }
    Block block;
    block.end = start + length;
    const size_t valueLength = ReadLe16(data, start + 2);
    block.type = ReadLe16(data, start + 4);

    size_t pos = start + kBlockHeaderSize;
    for (;;) {
        if (block.end - pos < 2) {
            return std::nullopt;  // the key has no terminator inside the block
        }
        const char16_t unit = ReadLe16(data, pos);
        pos += 2;
        if (unit == 0) {
            break;
        }
        block.key.push_back(unit);
    }
    // A text value counts 16-bit units, any other bytes.
    const size_t valueBytes = block.type == kTypeText ? valueLength * 2 : valueLength;
    block.valueStart = std::min(Align4(pos), block.end);
    block.valueEnd = block.valueStart + std::min(valueBytes, block.end - block.valueStart);
    block.childrenStart = std::min(Align4(block.valueEnd), block.end);
    return block;
}

bool KeyMatches(std::u16string_view key, std::string_view name) {
    if (key.size() != name.size()) {
        return false;
    }
    for (size_t i = 0; i < key.size(); ++i) {
        if (key[i] > 0x7F || FoldAscii(static_cast<unsigned char>(key[i])) !=
                                 FoldAscii(static_cast<unsigned char>(name[i]))) {
            return false;
        }
    }
    return true;
}

std::optional<Block> FindChild(std::span<const unsigned char> data, const Block& parent,
                               std::string_view name) {
    size_t pos = parent.childrenStart;
    while (pos < parent.end) {
        const auto child = ParseBlock(data, pos, parent.end);
        if (!child) {
            return std::nullopt;
        }
        if (KeyMatches(child->key, name)) {
            return child;
        }
        pos = Align4(child->end);
    }
    return std::nullopt;
}

std::optional<Block> ParseRoot(std::span<const unsigned char> data) {
    auto root = ParseBlock(data, 0, data.size());
    if (!root || root->key != kRootKey) {
        return std::nullopt;
    }
    return root;
}

// UTF-16LE up to the first NUL; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::span<const unsigned char> bytes) {
    std::string out;
    const size_t units = bytes.size() / 2;
    for (size_t i = 0; i < units; ++i) {
        const char16_t unit = ReadLe16(bytes, 2 * i);
        if (unit == 0) {
            break;
        }
        char32_t c = unit;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const char16_t low = ReadLe16(bytes, 2 * (i + 1));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::unique_ptr<unsigned char[]> AllocateBuffer(size_t size) noexcept {
    try {
        return std::make_unique<unsigned char[]>(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

std::optional<FixedFileInfo> QueryFixedFileInfo(std::span<const unsigned char> block) {
    const auto root = ParseRoot(block);
    if (!root || root->valueEnd - root->valueStart < kFixedFileInfoSize) {
        return std::nullopt;
    }
    const auto value = block.subspan(root->valueStart, kFixedFileInfoSize);
    FixedFileInfo info;
    uint32_t* const fields[] = {
        &info.signature,        &info.structVersion,    &info.fileVersionMS, &info.fileVersionLS,
        &info.productVersionMS, &info.productVersionLS, &info.fileFlagsMask, &info.fileFlags,
        &info.fileOS,           &info.fileType,         &info.fileSubtype,   &info.fileDateMS,
        &info.fileDateLS,
    };
    for (size_t i = 0; i < std::size(fields); ++i) {
        *fields[i] = ReadLe32(value, 4 * i);
    }
    if (info.signature != kFixedFileInfoSignature) {
        return std::nullopt;
    }
    return info;
}

std::optional<std::span<const unsigned char>> QueryVersionValue(
    std::span<const unsigned char> block, std::string_view subBlock) {
    auto current = ParseRoot(block);
    bool descended = false;
    while (current && !subBlock.empty()) {
        const size_t cut = subBlock.find('\\');
        const std::string_view name = subBlock.substr(0, cut);
        subBlock = cut == std::string_view::npos ? std::string_view{} : subBlock.substr(cut + 1);
        if (name.empty()) {
            continue;
        }
        current = FindChild(block, *current, name);
        descended = true;
    }
    if (!current || !descended) {
        return std::nullopt;  // the root's value is the fixed part
    }
    return block.subspan(current->valueStart, current->valueEnd - current->valueStart);
}

std::optional<std::string> QueryVersionString(std::span<const unsigned char> block,
                                              std::string_view subBlock) {
    const auto value = QueryVersionValue(block, subBlock);
    if (!value) {
        return std::nullopt;
    }
    return Utf8ToCp1252(Utf16ToUtf8(*value));
}

std::string FormatVersionNumber(uint32_t ms, uint32_t ls) {
    return std::to_string(ms >> 16) + '.' + std::to_string(ms & 0xFFFF) + '.' +
           std::to_string(ls >> 16) + '.' + std::to_string(ls & 0xFFFF);
}

uint32_t GetFileVersionInfoSize(const std::string& path) {
    const auto data = ReadElfSection(path, kVersionSectionName, kMaxVersionBlockSize);
    return data ? static_cast<uint32_t>(data->size()) : 0;
}

size_t GetFileVersionInfo(const std::string& path, std::span<unsigned char> buffer) {
    const auto data = ReadElfSection(path, kVersionSectionName, kMaxVersionBlockSize);
    if (!data || data->empty()) {
        return 0;
    }
    const size_t count = std::min(buffer.size(), data->size());
    std::copy_n(data->begin(), count, buffer.begin());
    return count;
}

bool ReadVersionInfo(const std::string& programFolder, const std::string& applicationName,
                     std::string& fileVersion, std::string& productVersion, std::string& comments,
                     std::string& legalNotice) {
    // Linux executables carry no ".exe": the program file is the bare name.
    const std::string path = programFolder + applicationName;
    const uint32_t size = GetFileVersionInfoSize(path);
    const size_t bufferSize = size_t{size} + 1;
    auto buffer = AllocateBuffer(bufferSize);
    const auto address = reinterpret_cast<uintptr_t>(buffer.get());
    WriteLog(kLogLevelMemory, "new char[%d] = %08" PRIxPTR, static_cast<int>(bufferSize), address);
    if (!buffer) {
        return false;
    }

    bool result = false;
    const size_t copied = GetFileVersionInfo(path, std::span(buffer.get(), bufferSize));
    if (copied != 0) {
        const std::span<const unsigned char> block(buffer.get(), copied);
        if (const auto fixed = QueryFixedFileInfo(block)) {
            fileVersion = FormatVersionNumber(fixed->fileVersionMS, fixed->fileVersionLS);
            productVersion = FormatVersionNumber(fixed->productVersionMS, fixed->productVersionLS);
            result = true;
        }
        if (auto text = QueryVersionString(block, "\\StringFileInfo\\040704B0\\Comments")) {
            comments = std::move(*text);
        }
        if (auto text = QueryVersionString(block, "\\StringFileInfo\\040704B0\\LegalCopyright")) {
            legalNotice = std::move(*text);
        }
    }

    buffer.reset();
    WriteLog(kLogLevelMemory, "delete %08" PRIxPTR, address);
    return result;
}

bool CApplikation::GetVersionInfo(std::string& fileVersion, std::string& productVersion,
                                  std::string& comments, std::string& legalNotice) const {
    return ReadVersionInfo(GetProgramFolder(), GetApplicationName(), fileVersion, productVersion,
                           comments, legalNotice);
}

}  // namespace quorvel
