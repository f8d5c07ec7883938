// What one box file may cost us at most. A thumbnailer runs the viewer on
// every downloaded file, so a small hostile file must not buy seconds of CPU
// or gigabytes of memory; real collection items stay far below each bound.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorvel {

// A larger file is not shown at all.
inline constexpr uint64_t kMaxBoxFileBytes = uint64_t{256} << 20;

// A compressed block declaring more than this stays stored, as when the
// memory for it could not be had.
inline constexpr uint64_t kMaxInflatedBlockBytes = uint64_t{64} << 20;

// The record text stops growing here; the walk ends and this line closes it.
inline constexpr size_t kMaxRecordTextBytes = size_t{16} << 20;
inline constexpr const char* kRecordTextCutLine = "[Der Rest des Eintrags wird nicht angezeigt.]";

// Covers. Measured on the development machine: decoding costs up to about
// 11 ns a pixel (a noise JPEG at quality 100; BMP 3, GIF 8), about 4.5 ns a
// sample for each JPEG scan that names it (every coefficient set; CMYK has
// four samples a pixel, and a progressive JPEG's every scan is a pass over
// the samples it names), about 12 ns a byte of a run-length BMP stream,
// whatever it draws, and a few ns a byte skipped. Together these bounds keep
// every accepted cover under half a second of decoding.
inline constexpr int kMaxCoverSide = 16384;
inline constexpr int64_t kMaxCoverPixels = int64_t{16} << 20;
// An uncompressed 32-bit BMP at the pixel bound, with room for its headers.
inline constexpr uint64_t kMaxCoverBytes = uint64_t{kMaxCoverPixels} * 4 + (uint64_t{64} << 10);
inline constexpr int kMaxJpegScans = 100;
// Colour at the pixel bound in one scan; CMYK up to about 3550 x 3550; a
// progressive grey JPEG of ten scans up to about 2240 x 2240.
inline constexpr int64_t kMaxJpegScanSamples = int64_t{48} << 20;

}  // namespace quorvel
