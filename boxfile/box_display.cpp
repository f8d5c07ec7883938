#include "boxfile/box_display.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <utility>

#include "app/limits.h"
#include "app/text_util.h"

namespace quorvel {
namespace {

// A fixed-width header text: up to its width or the first NUL.
std::string_view FieldText(const char* field, size_t width) {
    std::string_view text(field, width);
    return text.substr(0, text.find('\0'));
}

// Characters [pos, pos + count) of a text, shorter or empty past its end.
int32_t NumberAt(std::string_view text, size_t pos, size_t count) {
    return pos >= text.size() ? 0 : AtoI(text.substr(pos, count));
}

std::string Format3(const char* format, int32_t a, int32_t b, int32_t c) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);
    return buffer;
}

// The number a field of digits only spells; none when any byte is no digit.
std::optional<int32_t> Digits(std::span<const char> field, size_t from, size_t count) {
    int32_t value = 0;
    for (const char c : field.subspan(from, count)) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

bool IsLeapYear(int32_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

}  // namespace

std::optional<std::string> ExportTimestamp(const BoxHeader& header) {
    static constexpr int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const std::span<const char> date = header.exportDate;
    const std::span<const char> time = header.exportTime;
    const auto year = Digits(date, 0, 4), month = Digits(date, 4, 2), day = Digits(date, 6, 2);
    const auto hour = Digits(time, 0, 2), minute = Digits(time, 2, 2), second = Digits(time, 4, 2);
    if (!year || !month || !day || !hour || !minute || !second || *year < 1 || *month < 1 ||
        *month > 12 || *day < 1 || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    if (*day > kDays[*month - 1] + (*month == 2 && IsLeapYear(*year) ? 1 : 0)) {
        return std::nullopt;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", *year, *month, *day, *hour,
                  *minute, *second);
    return std::string(text);
}

bool HasBoxExtension(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string::npos
                                      ? std::string_view(path)
                                      : std::string_view(path).substr(slash + 1);
    const size_t dot = name.rfind('.');
    return dot != std::string_view::npos && EqualsIgnoreAsciiCase(name.substr(dot), ".box");
}

const char* PictureTypeText(unsigned char flags) {
    switch (flags & BOX_PICTURE_TYPE_MASK) {
        case 0:
            return "Bmp";
        case 1:
            return "Jpg";
        case 2:
            return "Gif";
        default:
            return "???";
    }
}

const char* CompressionText(unsigned char flags) {
    switch (flags & (BOX_COVER_COMPRESSED | BOX_DATA_COMPRESSED)) {
        case BOX_COVER_COMPRESSED:
            return "Cover";
        case BOX_DATA_COMPRESSED:
            return "Daten";
        case BOX_COVER_COMPRESSED | BOX_DATA_COMPRESSED:
            return "Cover && Daten";
        default:
            return "keine";
    }
}

namespace {

// Whether "\r\n" + a line of `size` bytes still ends within the bound.
bool LineFits(const std::string& text, size_t size) {
    return text.size() + 2 + size <= kMaxRecordTextBytes;
}

// Closes a text whose next line would pass the bound with the line that
// says the rest is not shown.
std::string CutRecordText(std::string& text, RecordSink* sink) {
    text += "\r\n";
    text += kRecordTextCutLine;
    if (sink != nullptr) {
        sink->TextCut();
    }
    return std::move(text);
}

constexpr std::string_view kContentLabel = "[Inhalt]\r\n";
constexpr std::string_view kCommentLabel = "[Kommentar]\r\n";

}  // namespace

std::string AssembleRecordText(CRecordRenderer& renderer, std::span<const unsigned char> block) {
    std::string text;
    // One buffer for the whole text: most records render to about their own
    // size (a person block to some 1.4 times), and never more than the
    // bound; reserved pages that stay unused are never touched.
    text.reserve(std::min<size_t>(block.size() + block.size() / 2, kMaxRecordTextBytes));
    RecordSink* const sink = renderer.Sink();
    if (!block.empty()) {
        const BlockLoan loan(renderer, block);
        std::span<const unsigned char> cursor = block;
        const uint64_t blockSize = block.size();
        uint64_t total = 0;
        bool personBlockEnded = false;
        std::string line;
        for (;;) {
            total += renderer.RenderToken(cursor, line, personBlockEnded);
            // The last token's line is dropped and its end of a person block
            // not acted on; the flush after the walk renders that block.
            const bool last = total >= blockSize;
            const bool fits = LineFits(text, line.size());
            if (sink != nullptr) {
                sink->Token(renderer.LastRendered(), !last && !line.empty() && fits);
            }
            if (last) {
                break;
            }
            if (!line.empty()) {
                if (!fits) {
                    return CutRecordText(text, sink);
                }
                text.append("\r\n").append(line);
            }
            if (personBlockEnded) {
                personBlockEnded = false;
                if (!renderer.AppendPersonLines(text)) {
                    return CutRecordText(text, sink);
                }
            }
        }
        if (!renderer.AppendPersonLines(text)) {
            return CutRecordText(text, sink);
        }
    }
    // Each section is one line to the bound, its label and text together.
    const std::string_view content = renderer.ContentText();
    const std::string_view comment = renderer.CommentText();
    const bool contentFits =
        content.empty() || LineFits(text, kContentLabel.size() + content.size());
    if (contentFits && !content.empty()) {
        text.append("\r\n").append(kContentLabel).append(content);
    }
    const bool commentFits =
        contentFits && (comment.empty() || LineFits(text, kCommentLabel.size() + comment.size()));
    if (commentFits && !comment.empty()) {
        text.append("\r\n").append(kCommentLabel).append(comment);
    }
    if (sink != nullptr) {
        sink->Sections(contentFits ? content : std::string_view(),
                       commentFits ? comment : std::string_view());
    }
    if (!commentFits) {
        return CutRecordText(text, sink);
    }
    return text;
}

std::string DisplayProblem(const BoxDisplay& display) {
    if (!display.boxName) {
        return kNotBoxNameReason;
    }
    return LoadReason(display.load);
}

BoxDisplay ShowBoxFile(const LoadedBox& box, CRecordRenderer& renderer,
                       const CoverLoader& loadCover) {
    BoxDisplay display;
    display.load = box.Result();
    // Without a header there is nothing to show; the window stays as it was.
    const BoxHeader* header = box.Header();
    if (!display.load.HeaderLoaded() || header == nullptr) {
        return display;
    }
    display.shown = true;
    renderer.BeginFile();
    display.magicOk = header->HasMagic();
    const unsigned char flags = header->flags;

    if (box.Cover().Present() && loadCover) {
        if (const std::optional<CoverSize> size = loadCover(box.Cover().Bytes())) {
            display.type = std::string("Typ: ") + PictureTypeText(flags);
            display.width = "Breite: " + std::to_string(size->width);
            display.height = "H\xF6he: " + std::to_string(size->height);
        }
    }

    display.flags = flags;
    display.compression = CompressionText(flags);
    const std::string_view date = FieldText(header->exportDate.data(), header->exportDate.size());
    const std::string_view time = FieldText(header->exportTime.data(), header->exportTime.size());
    const ExportStamp stamp{NumberAt(date, 0, 4), NumberAt(date, 4, 2), NumberAt(date, 6, 2),
                            NumberAt(time, 0, 2), NumberAt(time, 2, 2), NumberAt(time, 4, 2)};
    display.exported = stamp;
    display.exportedIso = ExportTimestamp(*header);
    // Shown as they come: no range test, a month 13 stays 13.
    display.date = Format3("%02d.%02d.%04d", stamp.day, stamp.month, stamp.year);
    display.time = Format3("%02d:%02d:%02d", stamp.hour, stamp.minute, stamp.second);

    display.text = AssembleRecordText(renderer, box.Data().Bytes());
    renderer.ResetRecordTables();
    return display;
}

}  // namespace quorvel
