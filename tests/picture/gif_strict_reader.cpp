#include "picture/gif_strict_reader.h"

#include <algorithm>
#include <cstring>

namespace quorvel::test {

namespace {

class Cursor {
public:
    explicit Cursor(std::span<const unsigned char> b) : m_b(b) {}
    bool Has(size_t n) const { return m_b.size() - m_pos >= n; }
    bool U8(unsigned& v) {
        if (!Has(1)) {
            return false;
        }
        v = m_b[m_pos++];
        return true;
    }
    bool U16(unsigned& v) {
        if (!Has(2)) {
            return false;
        }
        v = m_b[m_pos] | (m_b[m_pos + 1] << 8);
        m_pos += 2;
        return true;
    }
    bool Take(size_t n, std::span<const unsigned char>& s) {
        if (!Has(n)) {
            return false;
        }
        s = m_b.subspan(m_pos, n);
        m_pos += n;
        return true;
    }
    bool AtEnd() const { return m_pos == m_b.size(); }

private:
    std::span<const unsigned char> m_b;
    size_t m_pos = 0;
};

// Sub-blocks up to the zero-length terminator, joined.
bool SubBlocks(Cursor& c, std::vector<unsigned char>& out) {
    for (;;) {
        unsigned n = 0;
        if (!c.U8(n)) {
            return false;
        }
        if (n == 0) {
            return true;
        }
        std::span<const unsigned char> s;
        if (!c.Take(n, s)) {
            return false;
        }
        out.insert(out.end(), s.begin(), s.end());
    }
}

bool Fail(std::string& error, const std::string& why) {
    error = why;
    return false;
}

}  // namespace

bool DecodeLzwStrictly(std::span<const unsigned char> data, int minCodeSize, size_t pixelCount,
                       std::vector<uint8_t>& out, std::string& error) {
    const unsigned clear = 1u << minCodeSize;
    const unsigned end = clear + 1;
    std::vector<int> prefix(4096, -1);
    std::vector<uint8_t> suffix(4096, 0);
    std::vector<uint8_t> first(4096, 0);
    for (unsigned i = 0; i < clear; ++i) {
        suffix[i] = first[i] = static_cast<uint8_t>(i);
    }
    size_t bitPos = 0;
    const size_t totalBits = data.size() * 8;
    int width = minCodeSize + 1;
    unsigned next = end + 1;
    int previous = -1;
    bool sawClear = false;
    out.clear();
    for (;;) {
        if (bitPos + width > totalBits) {
            return Fail(error, "stream ends without the end code");
        }
        unsigned code = 0;
        for (int i = 0; i < width; ++i, ++bitPos) {
            code |= ((data[bitPos / 8] >> (bitPos % 8)) & 1u) << i;
        }
        if (!sawClear && code != clear) {
            return Fail(error, "stream does not start with a clear code");
        }
        if (code == clear) {
            sawClear = true;
            width = minCodeSize + 1;
            next = end + 1;
            previous = -1;
            continue;
        }
        if (code == end) {
            break;
        }
        if (code > next || (code == next && previous < 0)) {
            return Fail(error, "code " + std::to_string(code) + " not yet defined");
        }
        // Expand: the string of `code`, or previous + its first for KwKwK.
        std::vector<uint8_t> string;
        const unsigned walkFrom = code == next ? static_cast<unsigned>(previous) : code;
        for (int k = static_cast<int>(walkFrom); k >= 0; k = prefix[k]) {
            string.push_back(suffix[k]);
        }
        std::reverse(string.begin(), string.end());
        if (code == next) {
            string.push_back(string.front());
        }
        out.insert(out.end(), string.begin(), string.end());
        if (previous >= 0 && next < 4096) {
            prefix[next] = previous;
            suffix[next] = string.front();
            ++next;
            if (next == (1u << width) && width < 12) {
                ++width;
            }
        }
        previous = static_cast<int>(code);
    }
    // Only the padding of the last byte may follow the end code.
    if ((bitPos + 7) / 8 != data.size()) {
        return Fail(error, "bytes after the end code");
    }
    for (size_t b = bitPos; b < totalBits; ++b) {
        if ((data[b / 8] >> (b % 8)) & 1u) {
            return Fail(error, "non-zero padding after the end code");
        }
    }
    if (out.size() != pixelCount) {
        return Fail(error, "decoded " + std::to_string(out.size()) + " pixels, expected " +
                               std::to_string(pixelCount));
    }
    return true;
}

bool ReadGifStrictly(std::span<const unsigned char> bytes, StrictGif& out, std::string& error) {
    out = StrictGif{};
    Cursor c(bytes);
    std::span<const unsigned char> sig;
    if (!c.Take(6, sig) || std::memcmp(sig.data(), "GIF89a", 6) != 0) {
        return Fail(error, "no GIF89a signature");
    }
    unsigned w = 0, h = 0, flags = 0, bg = 0, aspect = 0;
    if (!c.U16(w) || !c.U16(h) || !c.U8(flags) || !c.U8(bg) || !c.U8(aspect)) {
        return Fail(error, "short screen descriptor");
    }
    out.width = static_cast<int>(w);
    out.height = static_cast<int>(h);
    if (!(flags & 0x80)) {
        return Fail(error, "no global colour table");
    }
    const size_t colours = size_t{2} << (flags & 7);
    std::span<const unsigned char> table;
    if (!c.Take(colours * 3, table)) {
        return Fail(error, "short colour table");
    }
    for (size_t i = 0; i < colours; ++i) {
        out.palette.push_back((uint32_t{table[3 * i]} << 16) | (table[3 * i + 1] << 8) |
                              table[3 * i + 2]);
    }
    int pendingDelay = -1;
    for (;;) {
        unsigned kind = 0;
        if (!c.U8(kind)) {
            return Fail(error, "missing trailer");
        }
        if (kind == 0x3B) {
            break;
        }
        if (kind == 0x21) {
            unsigned label = 0;
            if (!c.U8(label)) {
                return Fail(error, "short extension");
            }
            std::vector<unsigned char> body;
            if (label == 0xFF) {
                unsigned n = 0;
                std::span<const unsigned char> id;
                if (!c.U8(n) || n != 11 || !c.Take(11, id)) {
                    return Fail(error, "bad application extension");
                }
                if (!SubBlocks(c, body)) {
                    return Fail(error, "short application extension");
                }
                if (std::memcmp(id.data(), "NETSCAPE2.0", 11) == 0) {
                    if (body.size() != 3 || body[0] != 1) {
                        return Fail(error, "bad NETSCAPE2.0 block");
                    }
                    out.loopCount = body[1] | (body[2] << 8);
                }
            } else {
                if (!SubBlocks(c, body)) {
                    return Fail(error, "short extension");
                }
                if (label == 0xF9) {
                    if (body.size() != 4) {
                        return Fail(error, "bad graphic control extension");
                    }
                    pendingDelay = body[1] | (body[2] << 8);
                }
            }
            continue;
        }
        if (kind != 0x2C) {
            return Fail(error, "unknown block " + std::to_string(kind));
        }
        unsigned left = 0, top = 0, fw = 0, fh = 0, fflags = 0, minCode = 0;
        if (!c.U16(left) || !c.U16(top) || !c.U16(fw) || !c.U16(fh) || !c.U8(fflags) ||
            !c.U8(minCode)) {
            return Fail(error, "short image descriptor");
        }
        if (left != 0 || top != 0 || fw != w || fh != h || fflags != 0) {
            return Fail(error, "frame does not cover the screen plainly");
        }
        if (minCode < 2 || minCode > 8) {
            return Fail(error, "bad LZW minimum code size");
        }
        std::vector<unsigned char> data;
        if (!SubBlocks(c, data)) {
            return Fail(error, "short image data");
        }
        StrictGif::Frame frame;
        frame.delayCs = pendingDelay;
        pendingDelay = -1;
        if (!DecodeLzwStrictly(data, static_cast<int>(minCode), size_t{w} * h, frame.indices,
                               error)) {
            return false;
        }
        out.frames.push_back(std::move(frame));
    }
    if (!c.AtEnd()) {
        return Fail(error, "bytes after the trailer");
    }
    return true;
}

}  // namespace quorvel::test
