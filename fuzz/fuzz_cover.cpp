// Fuzzes the cover picture: the input is a cover block's bytes, decoded by
// the real picture loader (BMP, JPEG and GIF through Qt's decoders).
// Build with libFuzzer (clang), from the top of the checkout:
//   cmake -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DQUORVEL_LIBFUZZER=ON -DQUORVEL_SANITIZE=ON
//   cmake --build build-fuzz --target fuzz_cover
// Run it, new inputs going to a scratch folder, not into the seeds; a slow
// or fat input counts as a crash:
//   cd build-fuzz && mkdir -p new-cover && export UBSAN_OPTIONS=halt_on_error=1
//   fuzz/fuzz_cover -rss_limit_mb=1024 -timeout=5 -max_len=1048576
//       -dict=../fuzz/cover.dict -max_total_time=1200 new-cover ../fuzz/corpus/fuzz_cover
// Replay the seeds and crashers in any build (CTest: Fuzz.fuzz_cover):
//   build/fuzz/fuzz_cover fuzz/corpus/fuzz_cover fuzz/crashers
#include <QCoreApplication>
#include <QLoggingCategory>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>

#include "app/limits.h"
#include "fuzz/fuzz_check.h"
#include "picture/cover_picture.h"
#include "picture/jpeg_frame.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The JPEG and GIF decoders are plugins; an application object lets Qt
    // find them. It lives for the whole run.
    static QCoreApplication app(*argc, *argv);
    // The decoders' warnings about broken pictures would only slow the run.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvel;
    if (size > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
        return 0;
    }
    const auto length = static_cast<int32_t>(size);
    CCoverPicture picture;
    const int loaded = picture.LoadFromMemory(data, length);
    QUORVEL_FUZZ_CHECK(picture.m_nSize == length);
    QUORVEL_FUZZ_CHECK((loaded != 0) == !picture.IsEmpty());
    if (loaded == 0) {
        QUORVEL_FUZZ_CHECK(picture.m_nWidth == 0 && picture.m_nHeight == 0);
        return 0;
    }
    // A held picture is within every bound, and its size is what it reports.
    const int64_t pixels = int64_t{picture.m_nWidth} * picture.m_nHeight;
    QUORVEL_FUZZ_CHECK(picture.m_nWidth == picture.Image().width() &&
                       picture.m_nHeight == picture.Image().height());
    QUORVEL_FUZZ_CHECK(picture.m_nWidth > 0 && picture.m_nHeight > 0);
    QUORVEL_FUZZ_CHECK(picture.m_nWidth <= kMaxCoverSide && picture.m_nHeight <= kMaxCoverSide);
    QUORVEL_FUZZ_CHECK(pixels <= kMaxCoverPixels);
    const std::span<const unsigned char> bytes(data, size);
    QUORVEL_FUZZ_CHECK(size <= kMaxCoverBytes);
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8) {
        // Only Huffman-coded frames, within the scan and sample bounds.
        const JpegFrame frame = ReadJpegFrame(bytes, kMaxJpegScans + 1);
        QUORVEL_FUZZ_CHECK(frame.marker >= 0xC0 && frame.marker <= 0xC2);
        QUORVEL_FUZZ_CHECK(frame.scans <= kMaxJpegScans);
        QUORVEL_FUZZ_CHECK(frame.scanSamples <= kMaxJpegScanSamples);
    }
    return 0;
}
