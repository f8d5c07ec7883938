#include "collection/box_read.h"

#include <sys/stat.h>

#include "boxfile/box_display.h"
#include "boxfile/box_loader.h"
#include "boxfile/record_builder.h"
#include "picture/cover_format.h"
#include "render/record_renderer.h"

namespace quorvel {
namespace {

// A replaced file is read again this often before its last reading stands.
constexpr int kReadAttempts = 3;

const char* StatusWord(LoadStatus status) {
    switch (status) {
        case LoadStatus::kNotLoaded:
            return "not-loaded";
        case LoadStatus::kLoaded:
            return "ok";
        case LoadStatus::kNotFound:
            return "not-found";
        case LoadStatus::kNotRegularFile:
            return "not-regular-file";
        case LoadStatus::kNotReadable:
            return "not-readable";
        case LoadStatus::kTooShort:
            return "too-short";
        case LoadStatus::kTooLarge:
            return "too-large";
        case LoadStatus::kWrongMagic:
            return "wrong-magic";
        case LoadStatus::kReadError:
            return "read-error";
    }
    return "unknown";
}

IndexedBox ReadOnce(const std::string& path) {
    IndexedBox box;
    BoxFileFacts& facts = box.facts;
    facts.file = path;
    CRecordRenderer renderer;
    RecordBuilder builder;
    renderer.SetSink(&builder);
    // Only the cover's format and size: decoding it is the window's job.
    const CoverLoader sniff = [&facts](std::span<const unsigned char> bytes) {
        facts.cover.present = true;
        facts.cover.bytes = bytes.size();
        const std::optional<CoverFormat> format = SniffCoverFormat(bytes);
        facts.cover.format = format ? format->name : nullptr;
        return std::optional<CoverSize>();
    };
    if (!HasBoxExtension(path)) {
        box.status = "not-box-name";
        facts.problem = kNotBoxNameReason;
        return box;
    }
    const LoadedBox loaded = LoadBox(path);
    const BoxDisplay display = ShowBoxFile(loaded, renderer, sniff);
    box.status = StatusWord(loaded.Result().status);
    facts.shown = display.shown;
    facts.problem = LoadReason(loaded.Result());
    facts.flags = display.flags;
    facts.exported = display.exported;
    if (facts.problem.empty()) {
        box.record = builder.Take();
    }
    return box;
}

}  // namespace

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileStamp{static_cast<int64_t>(info.st_size),
                     int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec,
                     static_cast<int64_t>(info.st_ino)};
}

IndexedBox ReadBoxForIndex(const std::string& path) {
    std::optional<FileStamp> before = StampOf(path);
    IndexedBox box;
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        box = ReadOnce(path);
        const std::optional<FileStamp> after = StampOf(path);
        if (before && after && *before == *after) {
            break;
        }
        before = after;
    }
    if (before) {
        box.stamp = *before;
    }
    return box;
}

}  // namespace quorvel
