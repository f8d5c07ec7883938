// Run: see bench/run.py. The floor every quorvel-dump figure is compared
// with: read a box file whole and uncompress its compressed blocks with
// zlib, nothing else. No checks beyond what keeps it from crashing.
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace {

uint32_t U32(const std::vector<unsigned char>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t{b[at + 3]} << 24);
}

size_t Inflate(const unsigned char* block, size_t size) {
    if (size < 4)
        return 0;
    uLongf produced = block[0] | (block[1] << 8) | (block[2] << 16) | (uint32_t{block[3]} << 24);
    auto out = std::make_unique_for_overwrite<unsigned char[]>(produced);
    if (uncompress(out.get(), &produced, block + 4, size - 4) != Z_OK)
        return 0;
    return produced;
}

}  // namespace

int main(int argc, char** argv) {
    size_t total = 0;
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        std::vector<unsigned char> file{std::istreambuf_iterator<char>(in), {}};
        if (file.size() < 64)
            continue;
        const size_t cover = U32(file, 56), data = U32(file, 60);
        if (cover > data || data > file.size())
            continue;
        if (file[54] & 0x40)
            total += Inflate(file.data() + cover, data - cover);
        if (file[54] & 0x80)
            total += Inflate(file.data() + data, file.size() - data);
        total += file.size();
    }
    std::printf("%zu\n", total);
    return 0;
}
