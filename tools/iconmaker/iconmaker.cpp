// Draws the program's icon at the sizes a desktop needs and packs them into
// kvx2.ico. Runs at build time; plain QImage painting, no window system.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSaveFile>
#include <QtEndian>
#include <cstdio>

namespace {

const int iconSizes[] = {16, 32, 48, 64, 128, 256};

// A dish under a dark sky with one dispersed pulse: the telescope and what it sees.
QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);

    QLinearGradient sky(0, 0, 0, 256);
    sky.setColorAt(0.0, QColor(0x10, 0x1c, 0x4a));
    sky.setColorAt(1.0, QColor(0x1f, 0x4e, 0x96));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 44, 44);

    QPainterPath pulse;
    pulse.moveTo(26, 150);
    const double xs[] = {26, 70, 92, 104, 114, 124, 136, 150, 174, 230};
    const double ys[] = {150, 148, 146, 120, 40, 132, 154, 146, 150, 149};
    for (int i = 1; i < 10; ++i)
        pulse.lineTo(xs[i], ys[i]);
    QPen tracePen(QColor(0x7c, 0xff, 0x6b), 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(tracePen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(pulse);

    QPainterPath dish;
    dish.moveTo(48, 176);
    dish.quadTo(128, 252, 208, 176);
    dish.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf2, 0xf4, 0xf8));
    p.drawPath(dish);
    p.setBrush(QColor(0xff, 0xb3, 0x00));
    p.drawEllipse(QPointF(128, 180), 12, 12);
    return image;
}

void appendLe16(QByteArray *out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out->append(b, 2);
}

void appendLe32(QByteArray *out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out->append(b, 4);
}

// One icon entry as a 32-bit device-independent bitmap with an empty AND mask,
// the form every ICO reader understands.
QByteArray dibEntry(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width();
    const int h = image.height();
    QByteArray dib;
    appendLe32(&dib, 40);
    appendLe32(&dib, quint32(w));
    appendLe32(&dib, quint32(2 * h));
    appendLe16(&dib, 1);
    appendLe16(&dib, 32);
    appendLe32(&dib, 0);
    appendLe32(&dib, quint32(w * h * 4));
    appendLe32(&dib, 0);
    appendLe32(&dib, 0);
    appendLe32(&dib, 0);
    appendLe32(&dib, 0);
    for (int y = h - 1; y >= 0; --y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            appendLe32(&dib, line[x]);
    }
    const int maskStride = ((w + 31) / 32) * 4;
    dib.append(QByteArray(maskStride * h, '\0'));
    return dib;
}

QByteArray icoFile(const QVector<QImage> &images)
{
    QByteArray out;
    appendLe16(&out, 0);
    appendLe16(&out, 1);
    appendLe16(&out, quint16(images.size()));
    QVector<QByteArray> entries;
    for (const QImage &image : images)
        entries.append(dibEntry(image));
    quint32 offset = quint32(6 + 16 * images.size());
    for (int i = 0; i < images.size(); ++i) {
        const int w = images[i].width();
        const int h = images[i].height();
        out.append(char(w >= 256 ? 0 : w));
        out.append(char(h >= 256 ? 0 : h));
        out.append('\0');
        out.append('\0');
        appendLe16(&out, 1);
        appendLe16(&out, 32);
        appendLe32(&out, quint32(entries[i].size()));
        appendLe32(&out, offset);
        offset += quint32(entries[i].size());
    }
    for (const QByteArray &entry : entries)
        out.append(entry);
    return out;
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(data) != data.size())
        return false;
    return file.commit();
}

} // namespace

// Usage: orvalis-iconmaker OUTDIR
// Writes OUTDIR/kvx2.ico and OUTDIR/hicolor/NxN/apps/orvalis3.png for each size.
int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    QVector<QImage> icoImages;
    for (int size : iconSizes) {
        const QImage image = drawIcon(size);
        const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(outDir).arg(size);
        if (!QDir().mkpath(dir)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(dir));
            return 1;
        }
        const QString png = dir + QStringLiteral("/orvalis3.png");
        if (!image.save(png, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(png));
            return 1;
        }
        if (size == 16 || size == 32 || size == 48 || size == 256)
            icoImages.append(image);
    }
    const QString ico = outDir + QStringLiteral("/kvx2.ico");
    if (!writeFile(ico, icoFile(icoImages))) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(ico));
        return 1;
    }
    return 0;
}
