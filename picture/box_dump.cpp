#include "picture/box_dump.h"

#include <unistd.h>

#include <utility>

#include "app/limits.h"
#include "boxfile/box_display.h"
#include "boxfile/box_loader.h"
#include "boxfile/record_builder.h"
#include "boxfile/shown_text.h"
#include "picture/cover_format.h"
#include "picture/cover_loader.h"
#include "picture/cover_picture.h"

namespace quorvel {

namespace {

// `box` is null for a file that is not opened at all.
DumpedFile Dump(const std::string& path, const LoadedBox* box, const DumpOptions& options) {
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
        const std::optional<CoverFormat> format = SniffCoverFormat(bytes);
        cover.format = format ? format->name : nullptr;
        // One larger than any cover is never written, so never copied.
        if (options.keepCover && bytes.size() <= kMaxCoverBytes) {
            dumped.coverBytes.assign(bytes.begin(), bytes.end());
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
    if (box == nullptr) {
        display.boxName = false;
    } else {
        display = ShowBoxFile(*box, renderer, loadCover);
    }
    dumped.shown = display.shown;
    dumped.problem = DisplayProblem(display);
    if (!display.shown) {
        return dumped;
    }
    dumped.flags = display.flags;
    dumped.exported = display.exportedIso;
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

}  // namespace

DumpedFile DumpBoxFile(const std::string& path, const DumpOptions& options) {
    if (path != kStdinName && !HasBoxExtension(path)) {
        return Dump(path, nullptr, options);
    }
    const LoadedBox box = path == kStdinName ? LoadBoxStream(STDIN_FILENO) : LoadBox(path);
    return Dump(path, &box, options);
}

DumpedFile DumpLoadedBox(const std::string& name, const LoadedBox& box,
                         const DumpOptions& options) {
    return Dump(name, &box, options);
}

}  // namespace quorvel
