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

// The record text keeps its lines that end within this bound; the walk ends
// and this line closes it.
inline constexpr size_t kMaxRecordTextBytes = size_t{16} << 20;
inline constexpr const char* kRecordTextCutLine = "[Der Rest des Eintrags wird nicht angezeigt.]";

// The typed record stops before a line that could take its size (objects
// and texts) past this. A line of 15 bytes can open a film of some 300, so
// the text's bound alone would allow a record of gigabytes; at most 6 bytes
// of JSON per byte of record keep --records within the output bound.
inline constexpr size_t kMaxRecordBytes = size_t{8} << 20;

// The most quorvel-dump writes for one box in any form; a text or a list of
// rows that would pass it stops after its last whole line or row within it.
inline constexpr size_t kMaxDumpOutputBytes = size_t{64} << 20;

// The viewer shows at most this many characters of a line, then a mark that
// says how many more the line has. Laying a line out costs time and memory in
// its length, and joined person notes can make one line of megabytes; five
// thousand characters are several screen widths, more than a content text
// paragraph ever runs to. The record text itself (quorvel-dump) stays whole.
inline constexpr size_t kMaxShownLineChars = 5000;

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
