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

// The typed record stops after the line that takes its size (objects and
// texts) past this. A line of 15 bytes can open a film of some 300, so the
// text's bound alone would allow a record of gigabytes; at most 6 bytes of
// JSON per byte of record keep --records within the output bound.
inline constexpr size_t kMaxRecordBytes = size_t{8} << 20;

// The most quorvel-dump writes for one box in any form; a text or a list of
// rows that would pass it stops after its last whole line or row within it.
inline constexpr size_t kMaxDumpOutputBytes = size_t{64} << 20;

// Covers. Decoding costs up to about 20 ns a pixel (a noise JPEG at
// quality 100; BMP 7, GIF 17) and, for a progressive JPEG, up to about 4 ns
// a pixel for each scan, every scan being a pass over the whole picture.
// These bounds keep every accepted cover under half a second of decoding.
inline constexpr int kMaxCoverSide = 16384;
inline constexpr int64_t kMaxCoverPixels = int64_t{16} << 20;
inline constexpr int kMaxJpegScans = 100;
inline constexpr int64_t kMaxJpegPixelScans = int64_t{64} << 20;

}  // namespace quorvel
