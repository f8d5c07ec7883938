#include "cli/dump.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/text_util.h"
#include "boxfile/box_display.h"
#include "boxfile/box_loader.h"
#include "cli/json_text.h"
#include "picture/cover_loader.h"
#include "picture/cover_picture.h"

namespace quorvel {
namespace {

// Why a path is no readable box file, in the words a user needs; empty when
// the viewer would read its header.
std::string DiagnoseFile(const std::string& path) {
    if (!HasBoxExtension(path)) {
        return "not opened: the name does not end in .box";
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::strerror(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return "not a regular file";
    }
    if (info.st_size < 64) {
        return "too short for the 64-byte header";
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::strerror(errno);
    }
    ::close(fd);
    return {};
}

std::string ConvertText(std::string_view cp1252) {
    return Cp1252ToUtf8(cp1252);
}

void AppendLine(std::string& out, std::string_view name, const std::string& value, bool last) {
    out += JsonString(name);
    out += ": ";
    out += JsonString(value);
    if (!last) {
        out += ", ";
    }
}

}  // namespace

std::string LabelAsShown(std::string_view cp1252) {
    return ConvertText(ApplyMnemonicRule(cp1252));
}

DumpedFile DumpBoxFile(const std::string& path) {
    DumpedFile dumped;
    dumped.file = path;
    dumped.type = LabelAsShown(InitialLabels::kType);
    dumped.width = LabelAsShown(InitialLabels::kWidth);
    dumped.height = LabelAsShown(InitialLabels::kHeight);
    dumped.compression = LabelAsShown(InitialLabels::kCompression);
    dumped.date = LabelAsShown(InitialLabels::kDate);
    dumped.time = LabelAsShown(InitialLabels::kTime);

    dumped.problem = DiagnoseFile(path);

    CCoverPicture picture;
    CRecordRenderer renderer;
    const BoxDisplay display = OpenBoxFile(path, renderer, MakeCoverLoader(picture));
    dumped.shown = display.shown;
    if (!display.shown) {
        if (dumped.problem.empty()) {
            dumped.problem = "could not be read";
        }
        return dumped;
    }
    if (!display.magicOk && dumped.problem.empty()) {
        dumped.problem = "not a box file of data model 4.0 (wrong magic)";
    }
    const auto apply = [](const std::optional<std::string>& text, std::string& label) {
        if (text) {
            label = LabelAsShown(*text);
        }
    };
    apply(display.type, dumped.type);
    apply(display.width, dumped.width);
    apply(display.height, dumped.height);
    apply(display.compression, dumped.compression);
    apply(display.date, dumped.date);
    apply(display.time, dumped.time);
    dumped.recordText = display.text;
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
        AppendLine(out, "text", ConvertText(f.recordText), true);
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
    std::string text = ConvertText(f.recordText);
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
