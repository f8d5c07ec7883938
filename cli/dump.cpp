#include "cli/dump.h"

#include "boxfile/box_display.h"
#include "boxfile/shown_text.h"
#include "cli/json_text.h"
#include "picture/cover_loader.h"
#include "picture/cover_picture.h"

namespace quorvel {
namespace {

void AppendLine(std::string& out, std::string_view name, const std::string& value, bool last) {
    out += JsonString(name);
    out += ": ";
    out += JsonString(value);
    if (!last) {
        out += ", ";
    }
}

}  // namespace

DumpedFile DumpBoxFile(const std::string& path, bool recordTextOnly) {
    DumpedFile dumped;
    dumped.file = path;
    dumped.type = LabelAsShown(InitialLabels::kType);
    dumped.width = LabelAsShown(InitialLabels::kWidth);
    dumped.height = LabelAsShown(InitialLabels::kHeight);
    dumped.compression = LabelAsShown(InitialLabels::kCompression);
    dumped.date = LabelAsShown(InitialLabels::kDate);
    dumped.time = LabelAsShown(InitialLabels::kTime);

    CCoverPicture picture;
    CRecordRenderer renderer;
    BoxDisplay display = OpenBoxFile(path, renderer, MakeCoverLoader(picture));
    dumped.shown = display.shown;
    dumped.problem = DisplayProblem(display);
    if (!display.shown) {
        return dumped;
    }
    if (recordTextOnly) {
        dumped.recordText = std::move(display.text);
        return dumped;
    }
    ShownText shown = TextAsShown(display);
    const auto apply = [](const std::optional<std::string>& text, std::string& label) {
        if (text) {
            label = *text;
        }
    };
    apply(shown.type, dumped.type);
    apply(shown.width, dumped.width);
    apply(shown.height, dumped.height);
    apply(shown.compression, dumped.compression);
    apply(shown.date, dumped.date);
    apply(shown.time, dumped.time);
    dumped.recordText = std::move(display.text);
    dumped.shownText = std::move(shown.recordText);
    return dumped;
}

std::string FormatJson(const std::vector<DumpedFile>& files) {
    std::string out = "[";
    for (size_t i = 0; i < files.size(); ++i) {
        const DumpedFile& f = files[i];
        if (i > 0) {
            out += ", ";
        }
        out += "{";
        AppendLine(out, "file", SanitizeUtf8(f.file), false);
        out += "\"shown\": ";
        out += f.shown ? "true" : "false";
        out += ", \"labels\": {";
        AppendLine(out, "type", f.type, false);
        AppendLine(out, "width", f.width, false);
        AppendLine(out, "height", f.height, false);
        AppendLine(out, "compression", f.compression, false);
        AppendLine(out, "date", f.date, false);
        AppendLine(out, "time", f.time, true);
        out += "}, ";
        AppendLine(out, "text", f.shownText, true);
        out += "}";
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
    const std::string& text = f.shownText;
    std::string plain;
    plain.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        plain += text[i];
    }
    out += plain;
    if (!plain.empty() && plain.back() != '\n') {
        out += '\n';
    }
    return out;
}

}  // namespace quorvel
