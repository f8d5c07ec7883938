// Turns a loaded box into what the viewer shows: the summary label texts,
// the cover, and the record text.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "boxfile/loaded_box.h"
#include "render/record_renderer.h"

namespace quorvel {

// Decodes a cover; on success returns its size in pixels. The picture object
// behind it keeps its own copy of the bytes.
struct CoverSize {
    int32_t width = 0;
    int32_t height = 0;
};
using CoverLoader = std::function<std::optional<CoverSize>(std::span<const unsigned char>)>;

// The header's export time stamp as numbers, read as the labels read them
// (no range test: the labels show a month 13 as 13).
struct ExportStamp {
    int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Label texts as the window's controls take them (Windows-1252, '&&' for a
// shown '&'). An empty optional leaves that control as it was.
struct BoxDisplay {
    bool shown = false;  // the display ran (".box" and a header was read)
    bool magicOk = false;
    std::optional<std::string> type;         // 1001 "Typ: %s"
    std::optional<std::string> width;        // 1002 "Breite: %d"
    std::optional<std::string> height;       // 1003 "Höhe: %d"
    std::optional<std::string> compression;  // 1005
    std::optional<std::string> date;         // 1007 "%02d.%02d.%04d"
    std::optional<std::string> time;         // 1008 "%02d:%02d:%02d"
    std::string text;                        // 1000, set whenever shown
    // False when the name does not end in ".box": nothing was opened.
    bool boxName = true;
    LoadResult load;  // what the loader made of the file
    // What the labels were made from, for readers that want the values.
    std::optional<unsigned char> flags;
    std::optional<ExportStamp> exported;
    std::optional<std::string> exportedIso;  // ExportTimestamp of the header
};

// The template's texts of the labels, before any file is shown.
struct InitialLabels {
    static constexpr const char* kType = "Typ:";
    static constexpr const char* kWidth = "Breite: ";
    static constexpr const char* kHeight = "H\xF6he: ";
    static constexpr const char* kCompression = "keine";
    static constexpr const char* kDate = "TT.MM.JJJJ";
    static constexpr const char* kTime = "HH:MM:SS";
};

// True when the last component's extension is ".box" in any case.
bool HasBoxExtension(const std::string& path);

const char* PictureTypeText(unsigned char flags);

// The header's export date and time as "2007-03-14T19:45:12", only when it
// holds a real one: eight digits of a calendar date (year 1 on) and six of a
// time of day. None for an unset, short or garbled field.
std::optional<std::string> ExportTimestamp(const BoxHeader& header);
const char* CompressionText(unsigned char flags);

// The record text of a data block: its lines in stream order, each person
// block's lines after the line of the token that ended it, then the content
// and comment sections, as long as each ends within kMaxRecordTextBytes; a
// line that would not closes the text with kRecordTextCutLine instead.
// Expects a renderer fresh from BeginFile.
std::string AssembleRecordText(CRecordRenderer& renderer, std::span<const unsigned char> block);

// Why the file OpenBoxFile was given is not a readable box, for stderr;
// empty when it is one.
std::string DisplayProblem(const BoxDisplay& display);

// What the window shows of `box`: the labels and the record text when its
// header was read; otherwise only `load`, with `shown` false.
BoxDisplay ShowBoxFile(const LoadedBox& box, CRecordRenderer& renderer,
                       const CoverLoader& loadCover);

}  // namespace quorvel
