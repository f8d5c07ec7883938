#include "picture/box_thumbnail.h"

#include <algorithm>
#include <cstdint>

#include "boxfile/box_loader.h"
#include "picture/cover_picture.h"

namespace quorvel {

namespace {

// Nearest integer of value * numerator / denominator, for non-negative
// numbers that fit 32 bits; the product is taken in 64 bits.
int64_t ScaleRounded(int64_t value, int64_t numerator, int64_t denominator) {
    return (2 * value * numerator + denominator) / (2 * denominator);
}

}  // namespace

QSize ThumbnailSize(QSize picture, int size) {
    if (picture.width() <= 0 || picture.height() <= 0 || size <= 0) {
        return {};
    }
    const int64_t longer = std::max(picture.width(), picture.height());
    const int64_t target = std::min<int64_t>(size, 2 * longer);
    const auto side = [&](int own) {
        return static_cast<int>(std::max<int64_t>(1, ScaleRounded(own, target, longer)));
    };
    return {side(picture.width()), side(picture.height())};
}

QImage LoadBoxCover(const std::string& path) {
    // The record is never walked here, so its block is not even inflated.
    const LoadedBox box = LoadBox(path, BoxParts::kCoverOnly);
    if (!box.Result().Loaded() || !box.Cover().Present()) {
        return {};
    }
    const std::span<const unsigned char> cover = box.Cover().Bytes();
    CCoverPicture picture;
    if (cover.empty() ||
        picture.LoadFromMemory(cover.data(), static_cast<int32_t>(cover.size())) == 0) {
        return {};
    }
    return picture.Image();
}

QImage MakeBoxThumbnail(const std::string& path, int size) {
    const QImage cover = LoadBoxCover(path);
    if (cover.isNull()) {
        return {};
    }
    return cover.scaled(ThumbnailSize(cover.size(), size), Qt::IgnoreAspectRatio,
                        Qt::SmoothTransformation);
}

}  // namespace quorvel
