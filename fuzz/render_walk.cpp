#include "fuzz/render_walk.h"

#include "fuzz/fuzz_check.h"

namespace quorvel::fuzz {

void CheckTokenWalk(std::span<const unsigned char> block) {
    CRecordRenderer renderer;
    std::span<const unsigned char> cursor = block;
    const uint64_t blockSize = block.size();
    uint64_t total = 0;
    uint64_t tokens = 0;
    bool personBlockEnded = false;
    std::string line;
    while (!cursor.empty()) {
        const std::span<const unsigned char> before = cursor;
        const uint32_t size = renderer.RenderToken(cursor, line, personBlockEnded);
        QUORVEL_FUZZ_CHECK(size > 0);
        if (cursor.empty()) {
            // A token cut off by the block's end claims at least what was left.
            QUORVEL_FUZZ_CHECK(size >= before.size());
        } else {
            QUORVEL_FUZZ_CHECK(cursor.data() == before.data() + size);
            QUORVEL_FUZZ_CHECK(cursor.size() == before.size() - size);
            QUORVEL_FUZZ_CHECK(size >= 2);
            // Until the end the running total is exactly what the cursor passed.
            QUORVEL_FUZZ_CHECK(total + size == blockSize - cursor.size());
        }
        total += size;
        // Every token takes at least one byte, so the walk is bounded.
        QUORVEL_FUZZ_CHECK(++tokens <= blockSize);
    }
    QUORVEL_FUZZ_CHECK(total >= blockSize);
}

}  // namespace quorvel::fuzz
