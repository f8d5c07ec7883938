// Draws the desktop's icons from the window's icon (group 128: a DVD case
// with its disc half pulled out): the application icon and the box file
// type's icon (the same case on a page), each as PNG files for the hicolor
// theme's fixed sizes and as one scalable SVG. Both come from one list of
// shapes, so the PNGs and the SVG show the same picture. Built and run by
// make-desktop-icons.sh; the output under res/icons/ is committed.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <QTextStream>
#include <cstdio>
#include <vector>

namespace {

// The window icon's 16-colour palette.
const QColor kCaseDark(0x00, 0x00, 0x80);
const QColor kCaseLight(0x00, 0x00, 0xFF);
const QColor kDisc(0xC0, 0xC0, 0xC0);
const QColor kDiscEdge(0x80, 0x80, 0x80);
const QColor kLabel(0xFF, 0xFF, 0x00);

// One shape on a 32 x 32 grid. An invalid `edge` draws no outline.
struct Shape {
    enum class Kind { kRect, kEllipse, kPolygon } kind;
    QPolygonF points;  // rect and ellipse: top-left and size as two points
    QColor fill;
    QColor edge;
};

Shape Rect(double x, double y, double w, double h, QColor fill, QColor edge = {}) {
    return {Shape::Kind::kRect, QPolygonF{{x, y}, {w, h}}, fill, edge};
}
Shape Ellipse(double x, double y, double w, double h, QColor fill, QColor edge) {
    return {Shape::Kind::kEllipse, QPolygonF{{x, y}, {w, h}}, fill, edge};
}
Shape Polygon(QPolygonF points, QColor fill, QColor edge) {
    return {Shape::Kind::kPolygon, std::move(points), fill, edge};
}

// A group of shapes, moved by (dx, dy) and scaled by `scale` on the grid.
struct Group {
    double dx = 0;
    double dy = 0;
    double scale = 1;
    std::vector<Shape> shapes;
};

// The case and disc of icon 128, in its own coordinates.
std::vector<Shape> CaseAndDisc() {
    return {
        Ellipse(11, 5, 20, 20, kDisc, kDiscEdge),
        Ellipse(19, 13, 4, 4, Qt::white, kDiscEdge),
        Rect(1, 1, 15, 29, kCaseDark, Qt::black),
        Rect(2, 2, 3, 28, kCaseLight),
        Rect(7, 6, 7, 4, kLabel),
    };
}

std::vector<Group> ApplicationIcon() {
    return {{0, 0, 1, CaseAndDisc()}};
}

// A page with a folded corner, the case and disc on it.
std::vector<Group> FileTypeIcon() {
    const QColor paper(0xFF, 0xFF, 0xFF);
    const QColor fold(0xC0, 0xC0, 0xC0);
    const QColor rim(0x80, 0x80, 0x80);
    Group page{0,
               0,
               1,
               {Polygon({{5, 1}, {21, 1}, {27, 7}, {27, 31}, {5, 31}}, paper, rim),
                Polygon({{21, 1}, {21, 7}, {27, 7}}, fold, rim)}};
    return {page, {7, 10, 0.6, CaseAndDisc()}};
}

QImage Draw(const std::vector<Group>& groups, int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    // The smallest sizes keep the window icon's hard pixel edges.
    p.setRenderHint(QPainter::Antialiasing, size > 32);
    for (const Group& g : groups) {
        p.save();
        p.scale(size / 32.0, size / 32.0);
        p.translate(g.dx, g.dy);
        p.scale(g.scale, g.scale);
        for (const Shape& s : g.shapes) {
            p.setBrush(s.fill);
            if (s.edge.isValid()) {
                p.setPen(QPen(s.edge, 1.0));
            } else {
                p.setPen(Qt::NoPen);
            }
            const QPolygonF& q = s.points;
            switch (s.kind) {
                case Shape::Kind::kRect:
                    p.drawRect(QRectF(q[0], QSizeF(q[1].x(), q[1].y())));
                    break;
                case Shape::Kind::kEllipse:
                    p.drawEllipse(QRectF(q[0], QSizeF(q[1].x(), q[1].y())));
                    break;
                case Shape::Kind::kPolygon:
                    p.drawPolygon(q);
                    break;
            }
        }
        p.restore();
    }
    return image;
}

QString Svg(const std::vector<Group>& groups) {
    QString out;
    QTextStream s(&out);
    s << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" "
         "viewBox=\"0 0 32 32\">\n";
    for (const Group& g : groups) {
        s << "  <g transform=\"translate(" << g.dx << ' ' << g.dy << ") scale(" << g.scale
          << ")\">\n";
        for (const Shape& sh : g.shapes) {
            const QString paint =
                QStringLiteral("fill=\"%1\" ").arg(sh.fill.name()) +
                (sh.edge.isValid()
                     ? QStringLiteral("stroke=\"%1\" stroke-width=\"1\"").arg(sh.edge.name())
                     : QStringLiteral("stroke=\"none\""));
            const QPolygonF& q = sh.points;
            switch (sh.kind) {
                case Shape::Kind::kRect:
                    s << "    <rect x=\"" << q[0].x() << "\" y=\"" << q[0].y() << "\" width=\""
                      << q[1].x() << "\" height=\"" << q[1].y() << "\" " << paint << "/>\n";
                    break;
                case Shape::Kind::kEllipse:
                    s << "    <ellipse cx=\"" << q[0].x() + q[1].x() / 2 << "\" cy=\""
                      << q[0].y() + q[1].y() / 2 << "\" rx=\"" << q[1].x() / 2 << "\" ry=\""
                      << q[1].y() / 2 << "\" " << paint << "/>\n";
                    break;
                case Shape::Kind::kPolygon: {
                    s << "    <polygon points=\"";
                    for (int i = 0; i < q.size(); ++i) {
                        s << (i ? " " : "") << q[i].x() << ',' << q[i].y();
                    }
                    s << "\" " << paint << "/>\n";
                    break;
                }
            }
        }
        s << "  </g>\n";
    }
    s << "</svg>\n";
    return out;
}

bool WriteIcon(const QString& top, const QString& context, const QString& name,
               const std::vector<Group>& groups) {
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder =
            QStringLiteral("%1/hicolor/%2x%2/%3").arg(top).arg(size).arg(context);
        if (!QDir().mkpath(folder) || !Draw(groups, size).save(folder + "/" + name + ".png")) {
            std::fprintf(stderr, "cannot write %s/%s.png\n", qPrintable(folder), qPrintable(name));
            return false;
        }
    }
    const QString folder = QStringLiteral("%1/hicolor/scalable/%2").arg(top, context);
    QFile svg(folder + "/" + name + ".svg");
    if (!QDir().mkpath(folder) || !svg.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        svg.write(Svg(groups).toUtf8()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
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
    const QString top = QString::fromLocal8Bit(argv[1]);
    const bool ok = WriteIcon(top, "apps", "org.example.quorvel", ApplicationIcon()) &&
                    WriteIcon(top, "mimetypes", "application-x-mirax-box", FileTypeIcon());
    return ok ? 0 : 1;
}
