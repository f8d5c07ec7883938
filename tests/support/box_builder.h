// Builds token streams and box files in memory for tests.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::testing {

using Bytes = std::vector<unsigned char>;

inline Bytes ToBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

inline void Append(Bytes& to, const Bytes& more) {
    to.insert(to.end(), more.begin(), more.end());
}

// A token with the header form its code calls for (16-bit length for the
// five long codes, 8-bit for every other).
inline Bytes Token(unsigned char code, const Bytes& payload) {
    const bool isLong =
        code == 0x14 || code == 0x39 || code == 0x60 || code == 0x61 || code == 0x62;
    Bytes token{code};
    token.push_back(static_cast<unsigned char>(payload.size() & 0xFF));
    if (isLong) {
        token.push_back(static_cast<unsigned char>((payload.size() >> 8) & 0xFF));
    }
    Append(token, payload);
    return token;
}
inline Bytes Token(unsigned char code, std::string_view text) {
    return Token(code, ToBytes(text));
}
inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) {
        Append(all, p);
    }
    return all;
}

// A stored compressed block: its length,
// then the zlib stream.
inline Bytes Compress(const Bytes& content) {
    uLongf size = compressBound(static_cast<uLong>(content.size()));
    Bytes stream(size);
    compress(stream.data(), &size, content.data(), static_cast<uLong>(content.size()));
    stream.resize(size);
    const auto d = static_cast<uint32_t>(content.size());
    Bytes block{static_cast<unsigned char>(d), static_cast<unsigned char>(d >> 8),
                static_cast<unsigned char>(d >> 16), static_cast<unsigned char>(d >> 24)};
    Append(block, stream);
    return block;
}

struct BoxSpec {
    std::string magic = "MIRAX4.0";
    std::string date = "20061231";        // up to 8 bytes, NUL-padded
    std::string time = "235959";          // up to 6 bytes, NUL-padded
    unsigned char flags = 0;              // written as is; the compression bits too
    Bytes cover;                          // the stored cover block
    Bytes data;                           // the stored data block
    std::optional<uint32_t> coverOffset;  // default 64
    std::optional<uint32_t> dataOffset;   // default 64 + cover size
};

inline Bytes BuildBox(const BoxSpec& box) {
    Bytes file(64, 0);
    for (size_t i = 0; i < 8 && i < box.magic.size(); ++i)
        file[i] = box.magic[i];
    for (size_t i = 0; i < 8 && i < box.date.size(); ++i)
        file[40 + i] = box.date[i];
    for (size_t i = 0; i < 6 && i < box.time.size(); ++i)
        file[48 + i] = box.time[i];
    file[54] = box.flags;
    const uint32_t offsets[] = {
        box.coverOffset.value_or(64),
        box.dataOffset.value_or(64 + static_cast<uint32_t>(box.cover.size()))};
    for (int i = 0; i < 8; ++i) {
        file[56 + i] = static_cast<unsigned char>(offsets[i / 4] >> (8 * (i % 4)));
    }
    Append(file, box.cover);
    Append(file, box.data);
    return file;
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace quorvel::testing
