// Draws the main window's icon (group 128: 32 x 32 and 16 x 16) and the text
// view's pointer (cursor 147: a 32 x 32 arrow with its tip at 0, 0) as PNG
// files. Built and run by make-window-res.sh; the PNGs are committed.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <cstdio>
#include <string>

namespace {

// A 16-colour look: flat fills, no smoothing.
const QColor kCaseDark(0x00, 0x00, 0x80);
const QColor kCaseLight(0x00, 0x00, 0xFF);
const QColor kDisc(0xC0, 0xC0, 0xC0);
const QColor kDiscEdge(0x80, 0x80, 0x80);
const QColor kLabel(0xFF, 0xFF, 0x00);

// A DVD case seen from the front, its disc half pulled out to the right.
QImage DrawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    const double s = size / 32.0;
    auto r = [s](double x, double y, double w, double h) {
        return QRectF(x * s, y * s, w * s, h * s).toRect();
    };
    // The disc first, so the case covers its left half.
    p.setPen(kDiscEdge);
    p.setBrush(kDisc);
    p.drawEllipse(r(11, 5, 20, 20));
    p.setBrush(Qt::white);
    p.drawEllipse(r(19, 13, 4, 4));
    // The case: dark body, lighter spine, a yellow title strip.
    p.setPen(Qt::black);
    p.setBrush(kCaseDark);
    p.drawRect(r(1, 1, 15, 29));
    p.fillRect(r(2, 2, 3, 28), kCaseLight);
    p.fillRect(r(7, 6, 7, 4), kLabel);
    return image;
}

// The arrow pointer, white with a black outline, tip at the top-left pixel.
QImage DrawCursor() {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QPolygon arrow{{0, 0}, {0, 16}, {4, 12}, {7, 19}, {9, 18}, {6, 11}, {11, 11}};
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawPolygon(arrow);
    return image;
}

bool Save(const QImage& image, const std::string& path) {
    if (!image.save(QString::fromStdString(path), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string out = std::string(argv[1]) + "/";
    const bool ok = Save(DrawIcon(32), out + "icon128-32.png") &&
                    Save(DrawIcon(16), out + "icon128-16.png") &&
                    Save(DrawCursor(), out + "cursor147.png");
    return ok ? 0 : 1;
}
