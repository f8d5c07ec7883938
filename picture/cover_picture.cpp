#include "picture/cover_picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTransform>
#include <cstdlib>
#include <limits>
#include <utility>

#include "app/limits.h"
#include "picture/cover_bounds.h"
#include "picture/cover_format.h"

namespace quorvel {

namespace {

// A cover is a few hundred pixels across; the bounds (app/limits.h) keep a
// hostile header from buying gigabytes.
bool WithinLimits(QSize size) {
    if (!size.isValid() || size.isEmpty()) {
        return false;
    }
    if (size.width() > kMaxCoverSide || size.height() > kMaxCoverSide) {
        return false;
    }
    return int64_t{size.width()} * size.height() <= kMaxCoverPixels;
}

// Decodes the bytes; a null image when they are not a BMP, JPEG or GIF
// picture within the limits. A GIF gives its first frame.
QImage DecodeCover(const unsigned char* bytes, int32_t length) {
    if (bytes == nullptr || length <= 0) {
        return {};
    }
    const std::span<const unsigned char> view(bytes, static_cast<size_t>(length));
    // Qt would read many more formats (PNG, XPM, SVG...) that must not count
    // as covers.
    const std::optional<CoverFormat> format = SniffCoverFormat(view);
    if (!format || !CoverWorkBounded(format->name, view)) {
        return {};
    }
    // Read in place: the decoder is done with the bytes when read() returns,
    // and the image keeps none of them, so a copy would only double a large
    // cover's memory.
    QBuffer buffer;
    buffer.setData(QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), length));
    if (!buffer.open(QIODevice::ReadOnly)) {
        return {};
    }
    QImageReader reader(&buffer, format->name);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    // Qt counts the decoded picture at 4 bytes a pixel, in MiB.
    reader.setAllocationLimit(static_cast<int>((kMaxCoverPixels * 4 + (1 << 20) - 1) >> 20));
    // Read the announced size first, so nothing is allocated for a header
    // that claims an absurd size. A top-down BMP announces a negative height.
    const QSize announced = reader.size();
    const auto side = [](int v) { return v == std::numeric_limits<int>::min() ? 0 : std::abs(v); };
    if (!reader.canRead() ||
        !WithinLimits(QSize(side(announced.width()), side(announced.height())))) {
        return {};
    }
    QImage image;
    if (!reader.read(&image) || !WithinLimits(image.size())) {
        return {};
    }
    return image;
}

}  // namespace

CCoverPicture::~CCoverPicture() {
    Release();
}

int CCoverPicture::LoadFromResource(unsigned id, const char* type) {
    if (!IsEmpty()) {
        Release();
    }
    // The type names a folder of resources; it must not lead out of it.
    const QString typeName = type ? QString::fromLatin1(type) : QString();
    if (typeName.isEmpty() || typeName.contains(u'/') || typeName == u"." || typeName == u"..") {
        return 0;
    }
    QFile file(QStringLiteral(":/res/%1/%2").arg(typeName).arg(id & 0xFFFFu));
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray data = file.readAll();
    if (data.size() > std::numeric_limits<int32_t>::max()) {
        return 0;
    }
    return LoadFromMemory(reinterpret_cast<const unsigned char*>(data.constData()),
                          static_cast<int32_t>(data.size()));
}

int CCoverPicture::LoadFromMemory(const unsigned char* bytes, int32_t length) {
    if (!IsEmpty()) {
        Release();
    }
    QImage image = DecodeCover(bytes, length);
    m_nSize = length;
    if (image.isNull()) {
        m_nHeight = 0;
        m_nWidth = 0;
        return 0;
    }
    m_pPicture = std::move(image);
    m_nHeight = m_pPicture.height();
    m_nWidth = m_pPicture.width();
    return 1;
}

int CCoverPicture::Render(QPainter* dc, PictureRect rect) const {
    if (dc == nullptr || IsEmpty() || !dc->isActive()) {
        return 0;
    }
    // Differences in double: right - left may not fit 32 bits.
    const double width = static_cast<double>(rect.right) - rect.left;
    const double height = static_cast<double>(rect.bottom) - rect.top;
    if (width == 0 || height == 0) {
        return 1;  // nothing to see, yet nothing failed
    }
    // Scale the whole picture onto the rectangle, each axis on its own. A
    // negative width or height mirrors it, as a stretch with signed extents
    // does.
    dc->save();
    dc->setTransform(QTransform(width / m_pPicture.width(), 0, 0, height / m_pPicture.height(),
                                rect.left, rect.top),
                     true);
    dc->drawImage(QPointF(0, 0), m_pPicture);
    dc->restore();
    return 1;
}

void CCoverPicture::Release() {
    if (IsEmpty()) {
        return;
    }
    m_pPicture = QImage();
    m_nHeight = 0;
    m_nSize = 0;
    m_nWidth = 0;
}

}  // namespace quorvel
