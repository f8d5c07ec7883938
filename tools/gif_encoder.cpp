#include "tools/gif_encoder.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <unordered_map>

namespace quorvel::tools {

namespace {

constexpr int kMaxCodeBits = 12;
constexpr int kMaxCode = (1 << kMaxCodeBits) - 1;  // 4095

class BitWriter {
public:
    explicit BitWriter(std::vector<unsigned char>& out) : m_out(out) {}

    void Put(unsigned code, int bits) {
        m_acc |= static_cast<uint32_t>(code) << m_count;
        m_count += bits;
        while (m_count >= 8) {
            m_out.push_back(static_cast<unsigned char>(m_acc & 0xFF));
            m_acc >>= 8;
            m_count -= 8;
        }
    }

    void Flush() {
        if (m_count > 0) {
            m_out.push_back(static_cast<unsigned char>(m_acc & 0xFF));
        }
        m_acc = 0;
        m_count = 0;
    }

private:
    std::vector<unsigned char>& m_out;
    uint32_t m_acc = 0;
    int m_count = 0;
};

void PutU16(std::vector<unsigned char>& out, unsigned value) {
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

// Smallest n >= 1 with 2^n >= count: the colour table holds 2^n entries.
int TableBits(size_t count) {
    int bits = 1;
    while ((size_t{1} << bits) < count) {
        ++bits;
    }
    return bits;
}

bool Fail(std::string* error, const std::string& why) {
    if (error) {
        *error = why;
    }
    return false;
}

bool Validate(const GifImage& gif, std::string* error) {
    if (gif.width == 0 || gif.height == 0) {
        return Fail(error, "width and height must be at least 1");
    }
    if (gif.palette.empty() || gif.palette.size() > 256) {
        return Fail(error, "the palette must hold 1 to 256 colours");
    }
    if (gif.frames.empty()) {
        return Fail(error, "there must be at least one frame");
    }
    const size_t pixels = size_t{gif.width} * gif.height;
    for (size_t i = 0; i < gif.frames.size(); ++i) {
        const auto& indices = gif.frames[i].indices;
        if (indices.size() != pixels) {
            return Fail(error, "frame " + std::to_string(i) + " has " +
                                   std::to_string(indices.size()) + " pixels, expected " +
                                   std::to_string(pixels));
        }
        const auto top = *std::max_element(indices.begin(), indices.end());
        if (top >= gif.palette.size()) {
            return Fail(error, "frame " + std::to_string(i) + " uses colour " +
                                   std::to_string(top) + " beyond the palette");
        }
    }
    return true;
}

}  // namespace

std::vector<unsigned char> LzwEncode(std::span<const uint8_t> indices, int minCodeSize) {
    std::vector<unsigned char> out;
    BitWriter bits(out);
    const unsigned clearCode = 1u << minCodeSize;
    const unsigned endCode = clearCode + 1;

    // Strings are (prefix code, next index) pairs; the key packs both.
    std::unordered_map<uint32_t, uint16_t> table;
    table.reserve(kMaxCode + 1);
    int codeBits = minCodeSize + 1;
    unsigned lastCode = endCode;  // the highest code in use

    bits.Put(clearCode, codeBits);
    if (indices.empty()) {
        bits.Put(endCode, codeBits);
        bits.Flush();
        return out;
    }

    unsigned current = indices[0];
    for (size_t i = 1; i < indices.size(); ++i) {
        const uint8_t next = indices[i];
        const uint32_t key = (static_cast<uint32_t>(current) << 8) | next;
        const auto found = table.find(key);
        if (found != table.end()) {
            current = found->second;
            continue;
        }
        bits.Put(current, codeBits);
        table.emplace(key, static_cast<uint16_t>(++lastCode));
        // The decoder learns each code one step later and widens as soon as
        // its next free code no longer fits, which is this moment for us.
        if (lastCode >= (1u << codeBits) && codeBits < kMaxCodeBits) {
            ++codeBits;
        }
        if (lastCode == kMaxCode) {
            bits.Put(clearCode, codeBits);
            table.clear();
            codeBits = minCodeSize + 1;
            lastCode = endCode;
        }
        current = next;
    }
    bits.Put(current, codeBits);
    // Reading that last code makes the decoder add one more string; if its
    // next free code then needs another bit, the end code is read wider.
    if (lastCode != endCode && lastCode + 1 == (1u << codeBits) && codeBits < kMaxCodeBits) {
        ++codeBits;
    }
    bits.Put(endCode, codeBits);
    bits.Flush();
    return out;
}

std::vector<unsigned char> EncodeGif(const GifImage& gif, std::string* error) {
    if (!Validate(gif, error)) {
        return {};
    }
    const int tableBits = TableBits(gif.palette.size());
    const bool animated = gif.frames.size() > 1;

    std::vector<unsigned char> out;
    const char* signature = "GIF89a";
    out.insert(out.end(), signature, signature + 6);
    PutU16(out, gif.width);
    PutU16(out, gif.height);
    // Global colour table present, 8 bits of colour resolution.
    out.push_back(static_cast<unsigned char>(0x80 | 0x70 | (tableBits - 1)));
    out.push_back(0);  // background colour index
    out.push_back(0);  // pixel aspect ratio: not given
    for (size_t i = 0; i < (size_t{1} << tableBits); ++i) {
        const uint32_t rgb = i < gif.palette.size() ? gif.palette[i] : 0;
        out.push_back(static_cast<unsigned char>((rgb >> 16) & 0xFF));
        out.push_back(static_cast<unsigned char>((rgb >> 8) & 0xFF));
        out.push_back(static_cast<unsigned char>(rgb & 0xFF));
    }

    if (animated && gif.loopCount) {
        const unsigned char app[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S',  'C',
                                     'A',  'P',  'E',  '2', '.', '0', 0x03, 0x01};
        out.insert(out.end(), app, app + sizeof app);
        PutU16(out, *gif.loopCount);
        out.push_back(0);
    }

    // LZW needs at least 2 bits per code even for a two-colour table.
    const int minCodeSize = std::max(2, tableBits);
    for (const GifFrame& frame : gif.frames) {
        if (animated) {
            // Graphic control: each frame replaces the last one whole.
            const unsigned char gce[] = {0x21, 0xF9, 0x04, 0x04};
            out.insert(out.end(), gce, gce + sizeof gce);
            PutU16(out, frame.delayCs);
            out.push_back(0);  // transparent index: unused
            out.push_back(0);
        }
        out.push_back(0x2C);
        PutU16(out, 0);
        PutU16(out, 0);
        PutU16(out, gif.width);
        PutU16(out, gif.height);
        out.push_back(0);  // no local colour table, not interlaced
        out.push_back(static_cast<unsigned char>(minCodeSize));
        const std::vector<unsigned char> data = LzwEncode(frame.indices, minCodeSize);
        for (size_t pos = 0; pos < data.size(); pos += 255) {
            const size_t n = std::min<size_t>(255, data.size() - pos);
            out.push_back(static_cast<unsigned char>(n));
            out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(pos),
                       data.begin() + static_cast<std::ptrdiff_t>(pos + n));
        }
        out.push_back(0);  // end of the image data
    }
    out.push_back(0x3B);
    return out;
}

bool WriteFileBytes(const std::string& path, std::span<const unsigned char> bytes) {
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        return false;
    }
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        return false;
    }
    return std::fclose(file.release()) == 0;
}

}  // namespace quorvel::tools
