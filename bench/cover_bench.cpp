// Times the cover decoder (CCoverPicture::LoadFromMemory) on the costliest
// pictures of each kind, to choose the cover limits in app/limits.h.
// Run: build/bench/cover_bench --noise W H [FILE...]
//   --noise W H  makes W x H pictures of random pixels in memory: BMP (24 and
//                32 bit), GIF (256 colours) and JPEG (quality 100, baseline
//                and progressive), the worst case of each decoder per pixel;
//   FILE         any picture file, e.g. a progressive JPEG with many scans
//                from tests/hostile/make_hostile.py --jpeg.
// Prints per picture whether it loaded and the CPU milliseconds of the
// fastest of five decodes.
#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "picture/cover_picture.h"
#include "tools/gif_encoder.h"

namespace {

struct Sample {
    std::string name;
    QByteArray bytes;
};

QByteArray Write(const QImage& image, const char* format, bool progressive) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(100);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

std::vector<Sample> Noise(int width, int height) {
    std::mt19937 random(14);
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(image.scanLine(y));
        std::generate(line, line + width, [&] { return random() | 0xFF000000u; });
    }
    quorvel::tools::GifImage gif;
    gif.width = static_cast<uint16_t>(width);
    gif.height = static_cast<uint16_t>(height);
    for (uint32_t i = 0; i < 256; ++i) {
        gif.palette.push_back(i * 0x010101u);
    }
    gif.frames.emplace_back();
    gif.frames.back().indices.resize(static_cast<size_t>(width) * height);
    std::generate(gif.frames.back().indices.begin(), gif.frames.back().indices.end(),
                  [&] { return static_cast<uint8_t>(random()); });
    gif.loopCount.reset();
    const std::vector<unsigned char> gifBytes = quorvel::tools::EncodeGif(gif);

    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    return {
        {"bmp24 " + size, Write(image.convertToFormat(QImage::Format_RGB888), "bmp", false)},
        {"bmp32 " + size, Write(image.convertToFormat(QImage::Format_ARGB32), "bmp", false)},
        {"gif " + size, QByteArray(reinterpret_cast<const char*>(gifBytes.data()),
                                   static_cast<qsizetype>(gifBytes.size()))},
        {"jpeg-q100 " + size, Write(image, "jpeg", false)},
        {"jpeg-q100-progressive " + size, Write(image, "jpeg", true)},
    };
}

double CpuMs() {
    return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::vector<Sample> samples;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--noise" && i + 2 < argc) {
            for (Sample& s : Noise(std::atoi(argv[i + 1]), std::atoi(argv[i + 2]))) {
                samples.push_back(std::move(s));
            }
            i += 2;
            continue;
        }
        QFile file(QString::fromLocal8Bit(argv[i]));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cover_bench: cannot read %s\n", argv[i]);
            return 2;
        }
        samples.push_back({arg, file.readAll()});
    }
    if (samples.empty()) {
        std::fprintf(stderr, "usage: cover_bench [--noise W H] [FILE...]\n");
        return 2;
    }
    std::printf("%-48s %10s %8s %10s\n", "picture", "bytes", "loaded", "cpu ms");
    for (const Sample& s : samples) {
        double best = 1e300;
        int loaded = 0;
        for (int run = 0; run < 5; ++run) {
            quorvel::CCoverPicture picture;
            const double start = CpuMs();
            loaded = picture.LoadFromMemory(reinterpret_cast<const unsigned char*>(s.bytes.data()),
                                            static_cast<int32_t>(s.bytes.size()));
            best = std::min(best, CpuMs() - start);
        }
        std::printf("%-48s %10lld %8s %10.1f\n", s.name.c_str(),
                    static_cast<long long>(s.bytes.size()), loaded ? "yes" : "no", best);
    }
    return 0;
}
