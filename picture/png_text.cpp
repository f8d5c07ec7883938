#include "picture/png_text.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>

namespace quorvel {
namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t ReadBe32(std::span<const unsigned char> bytes, size_t at) {
    return (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) |
           (uint32_t{bytes[at + 2]} << 8) | uint32_t{bytes[at + 3]};
}

void AppendBe32(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += static_cast<char>((value >> shift) & 0xFF);
    }
}

// The 8-byte signature and the IHDR chunk: 8 + 4 + 4 + 13 + 4.
constexpr size_t kHeaderEnd = 33;

}  // namespace

std::string WithPngTextChunks(std::span<const unsigned char> png,
                              const std::map<std::string, std::string>& texts) {
    if (png.size() < kHeaderEnd || std::memcmp(png.data(), kSignature, 8) != 0 ||
        ReadBe32(png, 8) != 13 || std::memcmp(png.data() + 12, "IHDR", 4) != 0) {
        return {};
    }
    std::string out(reinterpret_cast<const char*>(png.data()), kHeaderEnd);
    for (const auto& [key, text] : texts) {
        std::string chunk = "tEXt" + key;
        chunk += '\0';
        chunk += text;
        AppendBe32(out, static_cast<uint32_t>(chunk.size() - 4));
        out += chunk;
        AppendBe32(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(chunk.data()),
                                                    static_cast<uInt>(chunk.size()))));
    }
    out.append(reinterpret_cast<const char*>(png.data()) + kHeaderEnd, png.size() - kHeaderEnd);
    return out;
}

std::map<std::string, std::string> PngTextChunks(std::span<const unsigned char> png) {
    std::map<std::string, std::string> texts;
    if (png.size() < sizeof kSignature || std::memcmp(png.data(), kSignature, 8) != 0) {
        return {};
    }
    // Each chunk: length, type, data, CRC.
    uint64_t at = sizeof kSignature;
    while (at + 8 <= png.size()) {
        const uint64_t length = ReadBe32(png, static_cast<size_t>(at));
        const std::string type(reinterpret_cast<const char*>(png.data() + at + 4), 4);
        const uint64_t dataStart = at + 8;
        if (length > png.size() || dataStart + length + 4 > png.size()) {
            return {};
        }
        if (type == "IDAT" || type == "IEND") {
            break;
        }
        if (type == "tEXt") {
            const std::string_view chunk(reinterpret_cast<const char*>(png.data() + dataStart),
                                         static_cast<size_t>(length));
            const size_t nul = chunk.find('\0');
            if (nul != std::string_view::npos) {
                texts[std::string(chunk.substr(0, nul))] = std::string(chunk.substr(nul + 1));
            }
        }
        at = dataStart + length + 4;
    }
    return texts;
}

}  // namespace quorvel
