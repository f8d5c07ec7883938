// Pictures made in memory for the picture tests.
#pragma once

#include <QImage>
#include <QRgb>
#include <vector>

namespace quorvel::test {

inline constexpr QRgb kTopLeft = 0xFFD02020;
inline constexpr QRgb kTopRight = 0xFF20A040;
inline constexpr QRgb kBottomLeft = 0xFF2040D0;
inline constexpr QRgb kBottomRight = 0xFFE0C020;

// Four flat quadrants in the colours above, split at w/2 and h/2.
QImage Quadrants(int width, int height);

// The picture as a file image through Qt's writer ("BMP", "JPEG", "PNG").
std::vector<unsigned char> Encode(const QImage& image, const char* format, int quality = -1);

// A single-frame GIF of a picture with at most 256 distinct colours.
std::vector<unsigned char> EncodeGif(const QImage& image);

// True when the colours differ by at most `tolerance` in every channel
// (JPEG is lossy).
bool Near(QRgb a, QRgb b, int tolerance);

}  // namespace quorvel::test
