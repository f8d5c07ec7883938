#include "boxfile/box_display.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

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

}  // namespace

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

// Ends a text that reached the bound after its last line that ends within
// it, and says that the rest is not shown.
void CutRecordText(std::string& text) {
    if (text.size() > kMaxRecordTextBytes) {
        const size_t lineEnd = text.rfind("\r\n", kMaxRecordTextBytes);
        text.resize(lineEnd == std::string::npos ? 0 : lineEnd);
    }
    text += "\r\n";
    text += kRecordTextCutLine;
}

}  // namespace

std::string AssembleRecordText(CRecordRenderer& renderer, std::span<const unsigned char> block) {
    std::string text;
    // One buffer for the whole text: most records render to about their own
    // size (a person block to some 1.4 times), and never more than the
    // bound; reserved pages that stay unused are never touched.
    text.reserve(std::min<size_t>(block.size() + block.size() / 2, kMaxRecordTextBytes));
    if (!block.empty()) {
        const BlockLoan loan(renderer, block);
        std::span<const unsigned char> cursor = block;
        const uint64_t blockSize = block.size();
        uint64_t total = 0;
        bool personBlockEnded = false;
        std::string line;
        RecordSink* const sink = renderer.Sink();
        for (;;) {
            total += renderer.RenderToken(cursor, line, personBlockEnded);
            // The last token's line is dropped and its end of a person block
            // not acted on; the flush after the walk renders that block.
            if (total >= blockSize) {
                if (sink != nullptr) {
                    sink->Token(renderer.LastRendered(), false);
                }
                break;
            }
            if (sink != nullptr) {
                sink->Token(renderer.LastRendered(), !line.empty());
            }
            if (!line.empty()) {
                text += "\r\n";
                text += line;
            }
            if (personBlockEnded) {
                personBlockEnded = false;
                renderer.AppendPersonLines(text);
            }
            if (text.size() >= kMaxRecordTextBytes) {
                CutRecordText(text);
                return text;
            }
        }
        renderer.AppendPersonLines(text);
        if (text.size() >= kMaxRecordTextBytes) {
            CutRecordText(text);
            return text;
        }
    }
    if (!renderer.ContentText().empty()) {
        text.append("\r\n[Inhalt]\r\n").append(renderer.ContentText());
    }
    if (!renderer.CommentText().empty()) {
        text.append("\r\n[Kommentar]\r\n").append(renderer.CommentText());
    }
    if (renderer.Sink() != nullptr) {
        renderer.Sink()->Sections(renderer.ContentText(), renderer.CommentText());
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
    // Shown as they come: no range test, a month 13 stays 13.
    display.date = Format3("%02d.%02d.%04d", stamp.day, stamp.month, stamp.year);
    display.time = Format3("%02d:%02d:%02d", stamp.hour, stamp.minute, stamp.second);

    display.text = AssembleRecordText(renderer, box.Data().Bytes());
    renderer.ResetRecordTables();
    return display;
}

}  // namespace quorvel
