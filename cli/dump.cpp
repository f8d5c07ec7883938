#include "cli/dump.h"

#include <unistd.h>

#include <utility>

#include "app/limits.h"
#include "boxfile/box_display.h"
#include "boxfile/box_loader.h"
#include "boxfile/shown_text.h"
#include "cli/cover_export.h"
#include "cli/json_text.h"
#include "picture/cover_loader.h"
#include "picture/cover_picture.h"

namespace quorvel {
namespace {

void AppendField(std::string& out, std::string_view name, const std::string& utf8, bool last) {
    AppendJsonString(out, name);
    out += ": ";
    AppendJsonString(out, utf8);
    if (!last) {
        out += ", ";
    }
}

}  // namespace

DumpedFile DumpBoxFile(const std::string& path, const DumpOptions& options) {
    DumpedFile dumped;
    dumped.file = path;
    dumped.type = LabelAsShown(InitialLabels::kType);
    dumped.width = LabelAsShown(InitialLabels::kWidth);
    dumped.height = LabelAsShown(InitialLabels::kHeight);
    dumped.compression = LabelAsShown(InitialLabels::kCompression);
    dumped.date = LabelAsShown(InitialLabels::kDate);
    dumped.time = LabelAsShown(InitialLabels::kTime);

    CCoverPicture picture;
    const CoverLoader decode = MakeCoverLoader(picture);
    CoverFacts& cover = dumped.cover;
    const CoverLoader loadCover = [&](std::span<const unsigned char> bytes) {
        cover.present = true;
        cover.bytes = bytes.size();
        cover.format = CoverFormat(bytes);
        // One larger than any cover is never written, so never copied.
        if (options.keepCover && bytes.size() <= kMaxCoverBytes) {
            cover.content.assign(bytes.begin(), bytes.end());
        }
        cover.size = decode(bytes);
        return cover.size;
    };
    CRecordRenderer renderer;
    RecordBuilder builder;
    if (options.record) {
        renderer.SetSink(&builder);
    }
    BoxDisplay display;
    if (path != kStdinName && !HasBoxExtension(path)) {
        display.boxName = false;
    } else {
        const LoadedBox box = path == kStdinName ? LoadBoxStream(STDIN_FILENO) : LoadBox(path);
        display = ShowBoxFile(box, renderer, loadCover);
    }
    dumped.shown = display.shown;
    dumped.problem = DisplayProblem(display);
    if (!display.shown) {
        return dumped;
    }
    dumped.flags = display.flags;
    dumped.exported = display.exported;
    if (options.recordTextOnly) {
        dumped.recordText = std::move(display.text);
        return dumped;
    }
    const auto apply = [](const std::optional<std::string>& cp1252, std::string& label) {
        if (cp1252) {
            label = LabelAsShown(*cp1252);
        }
    };
    apply(display.type, dumped.type);
    apply(display.width, dumped.width);
    apply(display.height, dumped.height);
    apply(display.compression, dumped.compression);
    apply(display.date, dumped.date);
    apply(display.time, dumped.time);
    dumped.recordText = std::move(display.text);
    if (options.record) {
        dumped.record = builder.Take();
    }
    return dumped;
}

void AppendJsonObject(std::string& out, const DumpedFile& f) {
    out += "{";
    AppendField(out, "file", SanitizeUtf8(f.file), false);
    out += "\"shown\": ";
    out += f.shown ? "true" : "false";
    out += ", \"labels\": {";
    AppendField(out, "type", f.type, false);
    AppendField(out, "width", f.width, false);
    AppendField(out, "height", f.height, false);
    AppendField(out, "compression", f.compression, false);
    AppendField(out, "date", f.date, false);
    AppendField(out, "time", f.time, true);
    out += "}, \"text\": ";
    AppendJsonCp1252(out, f.recordText);
    out += "}";
}

std::string FormatJson(const std::vector<DumpedFile>& files) {
    std::string out = "[";
    for (size_t i = 0; i < files.size(); ++i) {
        if (i > 0) {
            out += ", ";
        }
        AppendJsonObject(out, files[i]);
    }
    out += "]\n";
    return out;
}

std::string FormatHuman(const DumpedFile& f) {
    std::string out = "== " + SanitizeUtf8(f.file) + "\n";
    if (!f.shown) {
        out += "(not shown: " + f.problem + ")\n";
        return out;
    }
    out += f.type + "   " + f.width + "   " + f.height + "\n";
    out += "Komprimierung: " + f.compression + "\n";
    out += "Export-Zeitpunkt: " + f.date + " " + f.time + "\n";
    // The record text starts every line with CR LF; print plain lines.
    const std::string& text = f.recordText;
    const size_t start = out.size();
    out.reserve(out.size() + text.size() + text.size() / 8 + 1);
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        AppendUtf8(out, Cp1252ToUnicode(c));
    }
    if (out.size() > start && out.back() != '\n') {
        out += '\n';
    }
    return out;
}

}  // namespace quorvel
