#include "picture/test_pictures.h"

#include <QBuffer>
#include <QImageWriter>
#include <cstdlib>
#include <stdexcept>

#include "tools/gif_encoder.h"

namespace quorvel::test {

QImage Quadrants(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2;
            const bool bottom = y >= height / 2;
            image.setPixel(
                x, y,
                bottom ? (right ? kBottomRight : kBottomLeft) : (right ? kTopRight : kTopLeft));
        }
    }
    return image;
}

std::vector<unsigned char> Encode(const QImage& image, const char* format, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (!writer.write(image)) {
        throw std::runtime_error("cannot encode test picture: " +
                                 writer.errorString().toStdString());
    }
    return {bytes.begin(), bytes.end()};
}

std::vector<unsigned char> EncodeGif(const QImage& image) {
    tools::GifImage gif;
    gif.width = static_cast<uint16_t>(image.width());
    gif.height = static_cast<uint16_t>(image.height());
    tools::GifFrame frame;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const uint32_t rgb = image.pixel(x, y) & 0xFFFFFF;
            size_t i = 0;
            while (i < gif.palette.size() && gif.palette[i] != rgb) {
                ++i;
            }
            if (i == gif.palette.size()) {
                gif.palette.push_back(rgb);
            }
            frame.indices.push_back(static_cast<uint8_t>(i));
        }
    }
    gif.frames.push_back(std::move(frame));
    std::string error;
    std::vector<unsigned char> bytes = tools::EncodeGif(gif, &error);
    if (bytes.empty()) {
        throw std::runtime_error("cannot encode test GIF: " + error);
    }
    return bytes;
}

bool Near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

}  // namespace quorvel::test
