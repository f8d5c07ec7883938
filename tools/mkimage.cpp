// quorvel-mkimage: draws a synthetic picture (gradient, frame, shapes, up to
// two lines of text) and writes it as BMP, baseline JPEG or GIF, or an
// animated GIF of generated frames. Used for test data, examples and the
// program's own pictures.
#include <QBuffer>
#include <QColor>
#include <QCommandLineParser>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

#include "tools/gif_encoder.h"

namespace {

struct Options {
    int width = 100;
    int height = 140;
    QString format;  // "bmp", "jpg", "gif"
    int quality = 75;
    QStringList lines;
    QColor top{0x1d, 0x3b, 0x5a};
    QColor bottom{0x8f, 0xb8, 0xd8};
    QString shape = "disc";  // "disc", "box" or "plain"
    // GIF holds 256 colours: draw in few flat colours so none are lost.
    bool fewColors = false;
    bool gray = false;
    int frames = 1;
    std::vector<int> delaysMs{100};
    std::optional<uint16_t> loop = 0;
    QString output;
};

int Fail(const QString& message) {
    std::fprintf(stderr, "quorvel-mkimage: %s\n", qPrintable(message));
    return 2;
}

// Draws frame `index` of `count`; a still picture is frame 0 of 1.
QImage Draw(const Options& o, int index, int count) {
    QImage image(o.width, o.height, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, !o.fewColors);
    const double w = o.width;
    const double h = o.height;
    const double unit = std::min(w, h);

    if (o.fewColors) {
        constexpr int kBands = 32;
        for (int i = 0; i < kBands; ++i) {
            const double t = double(i) / (kBands - 1);
            const QColor c =
                QColor::fromRgbF(o.top.redF() + (o.bottom.redF() - o.top.redF()) * t,
                                 o.top.greenF() + (o.bottom.greenF() - o.top.greenF()) * t,
                                 o.top.blueF() + (o.bottom.blueF() - o.top.blueF()) * t);
            const int y0 = o.height * i / kBands;
            p.fillRect(QRect(0, y0, o.width, o.height * (i + 1) / kBands - y0), c);
        }
    } else {
        QLinearGradient gradient(0, 0, 0, h);
        gradient.setColorAt(0, o.top);
        gradient.setColorAt(1, o.bottom);
        p.fillRect(image.rect(), gradient);
    }

    const double margin = std::max(1.0, unit * 0.05);
    const QColor ink = o.top.lightness() > 128 ? QColor(20, 20, 20) : QColor(245, 245, 240);
    QPen pen(ink, std::max(1.0, unit * 0.02));
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRectF inner(margin, margin, w - 2 * margin, h - 2 * margin);
    const double phase = count > 1 ? double(index) / count : 0.0;
    if (o.shape == "box") {
        // An empty case filling the picture: rounded outline and spine.
        p.drawRoundedRect(inner, unit * 0.06, unit * 0.06);
        const double spine = inner.left() + inner.width() * 0.1;
        p.drawLine(QPointF(spine, inner.top()), QPointF(spine, inner.bottom()));
    } else {
        p.drawRect(inner);
    }
    if (o.shape == "disc") {
        const QPointF c(w / 2, h * 0.4);
        const double r = unit * 0.3;
        QColor silver(210, 214, 222);
        p.setBrush(silver);
        p.drawEllipse(c, r, r);
        // A light sector turns once per animation cycle.
        QPainterPath sector;
        sector.moveTo(c);
        sector.arcTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), -phase * 360.0, 50.0);
        sector.closeSubpath();
        p.fillPath(sector, QColor(255, 255, 255, 150));
        p.setBrush(o.top);
        p.drawEllipse(c, r * 0.22, r * 0.22);
    }
    if (count > 1) {
        // A dot runs along the top edge so every frame differs visibly.
        const double x = margin * 3 + (w - margin * 6) * phase;
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(QPointF(x, margin * 3), margin, margin);
    }

    if (!o.lines.isEmpty()) {
        // Below the disc, else in the middle; the font shrinks until every
        // line fits across, whatever font the system supplies.
        const QRectF area = o.shape == "disc"
                                ? QRectF(margin * 2, h * 0.68, w - margin * 4, h * 0.26)
                                : QRectF(margin * 3, h * 0.3, w - margin * 6, h * 0.4);
        QFont font;
        font.setBold(true);
        if (o.fewColors) {
            font.setStyleStrategy(QFont::NoAntialias);
        }
        const QString text = o.lines.join('\n');
        for (int px = std::max(6, int(unit * 0.14)); px >= 6; --px) {
            font.setPixelSize(px);
            if (QFontMetricsF(font).boundingRect(area, Qt::AlignCenter, text).width() <=
                area.width()) {
                break;
            }
        }
        p.setFont(font);
        p.setPen(ink);
        p.drawText(area, Qt::AlignCenter, text);
    }
    return image;
}

QByteArray EncodeQt(const QImage& image, const char* format, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0) {
        writer.setQuality(quality);
    }
    writer.setOptimizedWrite(true);         // own Huffman tables: still baseline
    writer.setProgressiveScanWrite(false);  // baseline JPEG
    if (!writer.write(image)) {
        return {};
    }
    return bytes;
}

// All frames share one palette: they are stacked into one tall picture,
// reduced to 256 colours together, then cut apart again.
std::vector<unsigned char> EncodeGifFrames(const Options& o, std::string* error) {
    const int count = o.frames;
    QImage stack(o.width, o.height * count, QImage::Format_RGB32);
    {
        QPainter p(&stack);
        for (int i = 0; i < count; ++i) {
            p.drawImage(0, o.height * i, Draw(o, i, count));
        }
    }
    const QImage indexed = stack.convertToFormat(QImage::Format_Indexed8);
    quorvel::tools::GifImage gif;
    gif.width = static_cast<uint16_t>(o.width);
    gif.height = static_cast<uint16_t>(o.height);
    for (QRgb c : indexed.colorTable()) {
        gif.palette.push_back(c & 0xFFFFFF);
    }
    gif.loopCount = o.loop;
    for (int i = 0; i < count; ++i) {
        quorvel::tools::GifFrame frame;
        frame.indices.reserve(size_t(o.width) * o.height);
        for (int y = 0; y < o.height; ++y) {
            const uchar* row = indexed.constScanLine(o.height * i + y);
            frame.indices.insert(frame.indices.end(), row, row + o.width);
        }
        const int ms = o.delaysMs[std::min<size_t>(i, o.delaysMs.size() - 1)];
        frame.delayCs = static_cast<uint16_t>((ms + 5) / 10);
        gif.frames.push_back(std::move(frame));
    }
    return quorvel::tools::EncodeGif(gif, error);
}

}  // namespace

int main(int argc, char** argv) {
    // A command-line tool: never needs a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Draws a synthetic picture and writes it as BMP, baseline JPEG or GIF.");
    parser.addHelpOption();
    parser.addOptions({
        {"size", "Picture size in pixels.", "WxH", "100x140"},
        {"format", "bmp, jpg or gif (default: from the file extension).", "format"},
        {"quality", "JPEG quality 0-100.", "q", "75"},
        {"text", "A line of text; give it twice for two lines.", "text"},
        {"colors", "Gradient top and bottom colours.", "#rgb,#rgb"},
        {"shape", "disc, box (an empty case) or plain.", "shape", "disc"},
        {"frames", "Number of frames (GIF only; more than 1 animates).", "n", "1"},
        {"delay-ms", "Frame delay in ms, or a comma list (last one repeats).", "ms", "100"},
        {"gray", "Write shades of grey only (BMP and JPEG)."},
        {"loop", "Animation loop count, 0 = forever, -1 = no loop extension.", "n", "0"},
    });
    parser.addPositionalArgument("output", "The file to write.");
    parser.process(app);

    Options o;
    const QStringList args = parser.positionalArguments();
    if (args.size() != 1) {
        return Fail("exactly one output file is needed (see --help)");
    }
    o.output = args[0];
    const QStringList size = parser.value("size").split('x');
    bool okW = false;
    bool okH = false;
    if (size.size() == 2) {
        o.width = size[0].toInt(&okW);
        o.height = size[1].toInt(&okH);
    }
    if (!okW || !okH || o.width < 1 || o.height < 1 || o.width > 8192 || o.height > 8192) {
        return Fail("--size must be WxH, each 1 to 8192");
    }
    o.format = parser.isSet("format") ? parser.value("format").toLower()
                                      : o.output.section('.', -1).toLower();
    if (o.format == "jpeg") {
        o.format = "jpg";
    }
    if (o.format != "bmp" && o.format != "jpg" && o.format != "gif") {
        return Fail("format must be bmp, jpg or gif");
    }
    bool ok = false;
    o.quality = parser.value("quality").toInt(&ok);
    if (!ok || o.quality < 0 || o.quality > 100) {
        return Fail("--quality must be 0 to 100");
    }
    o.lines = parser.values("text");
    if (o.lines.size() > 2) {
        return Fail("at most two lines of --text");
    }
    if (parser.isSet("colors")) {
        const QStringList colors = parser.value("colors").split(',');
        if (colors.size() != 2 || !QColor::isValidColorName(colors[0]) ||
            !QColor::isValidColorName(colors[1])) {
            return Fail("--colors needs two colours, e.g. \"#123456,#abcdef\"");
        }
        o.top = QColor::fromString(colors[0]);
        o.bottom = QColor::fromString(colors[1]);
    }
    o.gray = parser.isSet("gray");
    o.shape = parser.value("shape");
    if (o.shape != "disc" && o.shape != "box" && o.shape != "plain") {
        return Fail("--shape must be disc, box or plain");
    }
    o.frames = parser.value("frames").toInt(&ok);
    if (!ok || o.frames < 1 || o.frames > 1000) {
        return Fail("--frames must be 1 to 1000");
    }
    if (o.frames > 1 && o.format != "gif") {
        return Fail("only GIF can hold more than one frame");
    }
    if (o.width > 65535 || o.height > 65535 || qint64(o.width) * o.height * o.frames > 64 << 20) {
        return Fail("too many pixels for an animation");
    }
    o.delaysMs.clear();
    for (const QString& d : parser.value("delay-ms").split(',')) {
        const int ms = d.toInt(&ok);
        if (!ok || ms < 0 || ms > 655350) {
            return Fail("--delay-ms takes 0 to 655350, comma separated");
        }
        o.delaysMs.push_back(ms);
    }
    const int loop = parser.value("loop").toInt(&ok);
    if (!ok || loop < -1 || loop > 65535) {
        return Fail("--loop must be -1 to 65535");
    }
    o.loop = loop < 0 ? std::nullopt : std::optional<uint16_t>(static_cast<uint16_t>(loop));

    std::vector<unsigned char> bytes;
    o.fewColors = o.format == "gif";
    if (o.format == "gif") {
        std::string error;
        bytes = EncodeGifFrames(o, &error);
        if (bytes.empty()) {
            return Fail(QString::fromStdString(error));
        }
    } else {
        const QImage image = Draw(o, 0, 1).convertToFormat(o.gray ? QImage::Format_Grayscale8
                                                                  : QImage::Format_RGB888);
        const QByteArray data =
            o.format == "jpg" ? EncodeQt(image, "JPEG", o.quality) : EncodeQt(image, "BMP", -1);
        if (data.isEmpty()) {
            return Fail("the picture could not be encoded");
        }
        bytes.assign(data.begin(), data.end());
    }
    if (!quorvel::tools::WriteFileBytes(QFile::encodeName(o.output).toStdString(), bytes)) {
        return Fail("cannot write " + o.output);
    }
    return 0;
}
