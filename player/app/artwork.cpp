#include "player/app/artwork.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace sonaveil::player::artwork {

QImage load(const QString& programFolder, const QString& name)
{
    QImage image;
    image.load(QDir(programFolder).filePath(name));
    return image;
}

QImage covering(const QImage& picture, const QSize& size)
{
    if (picture.isNull() || size.isEmpty())
        return {};
    const QImage scaled = picture.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    const QPoint offset((scaled.width() - size.width()) / 2, (scaled.height() - size.height()) / 2);
    return scaled.copy(QRect(offset, size));
}

QImage loadCovering(const QString& programFolder, const QString& name, const QSize& size)
{
    QImageReader reader(QDir(programFolder).filePath(name));
    const QSize original = reader.size();
    if (!original.isValid() || size.isEmpty())
        return covering(reader.read(), size);
    // Scaled to cover `size` with its proportions kept, the way covering() scales it.
    const qint64 widthAtHeight = qint64(size.height()) * original.width() / original.height();
    const QSize scaled = widthAtHeight >= size.width()
        ? QSize(int(widthAtHeight), size.height())
        : QSize(size.width(), int(qint64(size.width()) * original.height() / original.width()));
    reader.setScaledSize(scaled);
    reader.setScaledClipRect(
        QRect(QPoint((scaled.width() - size.width()) / 2, (scaled.height() - size.height()) / 2), size));
    const QImage picture = reader.read();
    return picture.isNull() || picture.size() == size ? picture : covering(picture, size);
}

QImage drawnBackground(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, width * 0.35, height);
    g.setColorAt(0.0, QColor(122, 84, 46));
    g.setColorAt(0.45, QColor(92, 60, 32));
    g.setColorAt(1.0, QColor(58, 38, 22));
    p.fillRect(image.rect(), g);
    // Fine brushed lines give the plain gradient a metal grain.
    for (int y = 0; y < height; y += 3) {
        const int a = 10 + int(8 * std::sin(y * 0.37));
        p.setPen(QColor(255, 220, 170, a));
        p.drawLine(0, y, width, y);
    }
    return image;
}

QImage drawnSplash(int width, int height)
{
    QImage image = drawnBackground(width, height);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QImage icon = drawnIcon(96);
    p.drawImage(24, (height - 96) / 2, icon);
    QFont f = p.font();
    f.setPointSize(28);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(250, 236, 210));
    p.drawText(QRect(136, 0, width - 150, height / 2 + 10), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Sonaveil"));
    f.setPointSize(11);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(138, height / 2 + 16, width - 150, 30), Qt::AlignLeft | Qt::AlignTop,
               QCoreApplication::translate("sonaveil::player::artwork", "Masking sounds for a quiet night"));
    return image;
}

QImage drawnIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QRadialGradient disc(s * 0.4, s * 0.35, s * 0.7);
    disc.setColorAt(0, QColor(214, 160, 96));
    disc.setColorAt(1, QColor(110, 68, 30));
    p.setBrush(disc);
    p.setPen(QPen(QColor(60, 36, 16), s / 32));
    p.drawEllipse(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92));
    // A crescent moon and three soft waves: sound for the night.
    QPainterPath moon;
    moon.addEllipse(QRectF(s * 0.22, s * 0.16, s * 0.36, s * 0.36));
    QPainterPath bite;
    bite.addEllipse(QRectF(s * 0.32, s * 0.11, s * 0.34, s * 0.34));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 240, 214));
    p.drawPath(moon.subtracted(bite));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        QPainterPath wave;
        const qreal y = s * (0.6 + 0.1 * i);
        wave.moveTo(s * 0.18, y);
        wave.cubicTo(s * 0.35, y - s * 0.08, s * 0.5, y + s * 0.08, s * 0.82, y - s * 0.02);
        p.setPen(QPen(QColor(250, 240, 214, 230 - 50 * i), s / 22, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(wave);
    }
    return image;
}

QImage systemKnob()
{
    // A small brushed-metal cap with a dark rim and a light upper edge, drawn pixel-exact.
    QImage image(9, 8, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    QLinearGradient face(0, 0, 0, 8);
    face.setColorAt(0.0, QColor(236, 228, 214));
    face.setColorAt(0.5, QColor(188, 176, 158));
    face.setColorAt(1.0, QColor(118, 106, 92));
    p.setPen(QColor(36, 30, 26));
    p.setBrush(face);
    p.drawRect(0, 0, 8, 7);
    p.setPen(QColor(255, 250, 240));
    p.drawLine(1, 1, 7, 1);
    // The grip line in the middle.
    p.setPen(QColor(70, 60, 52));
    p.drawLine(4, 2, 4, 6);
    p.end();
    // Rounded corners.
    for (const QPoint corner : {QPoint(0, 0), QPoint(8, 0), QPoint(0, 7), QPoint(8, 7)})
        image.setPixel(corner, qRgba(0, 0, 0, 0));
    return image;
}

QByteArray systemKnobPng()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    systemKnob().save(&buffer, "PNG");
    return bytes;
}

QIcon programIcon(const QString& programFolder)
{
    QIcon icon;
    // The small sizes are drawn for their size; scaling the large one down would blur them.
    for (const char* name : {"sonaveil.png", "sonaveil-64.png", "sonaveil-32.png", "sonaveil-16.png"}) {
        const QImage picture = load(programFolder, QString::fromLatin1(name));
        if (!picture.isNull())
            icon.addPixmap(QPixmap::fromImage(picture));
    }
    if (!icon.isNull())
        return icon;
    for (int size : {16, 22, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(drawnIcon(size)));
    return icon;
}

} // namespace sonaveil::player::artwork
