#include "controls/paintqt.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>
#include <QKeyEvent>
#include <QPainterPath>
#include <QPalette>

#include <cmath>

namespace sonaveil::controls {

namespace {

// Family actually used for a requested face; looked up once per face.
QString familyFor(const std::string& name)
{
    static QHash<QString, QString> cache;
    const QString wanted = QString::fromStdString(name);
    const auto it = cache.constFind(wanted.toLower());
    if (it != cache.constEnd())
        return *it;
    QString family;
    if (!wanted.isEmpty() && QFontDatabase::hasFamily(wanted))
        family = wanted;
    else
        family = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    cache.insert(wanted.toLower(), family);
    return family;
}

} // namespace

QFont resolveFont(const FontSpec& font)
{
    QFont f(familyFor(font.name));
    f.setPointSizeF(font.pointSize > 0 ? font.pointSize : 8.25);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setStrikeOut(font.strikeout);
    return f;
}

FontSpec fontSpecOf(const QFont& font)
{
    FontSpec s;
    s.name = font.family().toStdString();
    s.pointSize = font.pointSizeF() > 0 ? font.pointSizeF() : 8.25;
    s.bold = font.bold();
    s.italic = font.italic();
    s.underline = font.underline();
    s.strikeout = font.strikeOut();
    return s;
}

SystemColors systemColorsOf(const QPalette& pal)
{
    SystemColors s;
    s.window = fromQColor(pal.color(QPalette::Base));
    s.windowText = fromQColor(pal.color(QPalette::Text));
    s.appWorkspace = fromQColor(pal.color(QPalette::Mid));
    s.buttonFace = fromQColor(pal.color(QPalette::Button));
    s.buttonShadow = fromQColor(pal.color(QPalette::Dark));
    s.grayText = fromQColor(pal.color(QPalette::Disabled, QPalette::ButtonText));
    s.buttonText = fromQColor(pal.color(QPalette::ButtonText));
    s.buttonHighlight = fromQColor(pal.color(QPalette::Light));
    s.darkShadow3D = fromQColor(pal.color(QPalette::Shadow));
    s.light3D = fromQColor(pal.color(QPalette::Midlight));
    return s;
}

Picture pictureFromImage(const QImage& image)
{
    Picture p;
    if (image.isNull())
        return p;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    p.kind = image.hasAlphaChannel() ? Picture::Kind::Icon : Picture::Kind::Bitmap;
    p.width = argb.width();
    p.height = argb.height();
    p.pixels.resize(std::size_t(p.width) * std::size_t(p.height));
    for (int y = 0; y < p.height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < p.width; ++x)
            p.pixels[std::size_t(y) * std::size_t(p.width) + std::size_t(x)] = line[x];
    }
    return p;
}

QImage imageFromPicture(const Picture& p)
{
    if (p.empty())
        return {};
    QImage img(p.width, p.height, QImage::Format_ARGB32);
    for (int y = 0; y < p.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < p.width; ++x) {
            std::uint32_t v = p.pixels[std::size_t(y) * std::size_t(p.width) + std::size_t(x)];
            if (p.kind == Picture::Kind::Bitmap)
                v |= 0xFF000000u;
            line[x] = v;
        }
    }
    return img;
}

int keyCodeOf(const QKeyEvent* e)
{
    const int k = e->key();
    switch (k) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    default: break;
    }
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return 'A' + (k - Qt::Key_A);
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return '0' + (k - Qt::Key_0);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return 112 + (k - Qt::Key_F1);
    return 0;
}

int shiftStateOf(Qt::KeyboardModifiers m)
{
    int s = 0;
    if (m & Qt::ShiftModifier) s |= 1;
    if (m & Qt::ControlModifier) s |= 2;
    if (m & Qt::AltModifier) s |= 4;
    return s;
}

int mouseButtonOf(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

int mouseButtonsOf(Qt::MouseButtons b)
{
    int v = 0;
    if (b & Qt::LeftButton) v |= 1;
    if (b & Qt::RightButton) v |= 2;
    if (b & Qt::MiddleButton) v |= 4;
    return v;
}

QtSurface::QtSurface(QPainter& painter, int w, int h) : m_p(painter), m_w(w), m_h(h) {}

const QFont& QtSurface::fontFor(const FontSpec& font)
{
    if (!m_haveFont || !(font == m_lastSpec)) {
        m_lastSpec = font;
        m_lastFont = resolveFont(font);
        m_haveFont = true;
    }
    return m_lastFont;
}

void QtSurface::fillRect(Rect r, ColorValue c)
{
    if (r.w > 0 && r.h > 0)
        m_p.fillRect(r.x, r.y, r.w, r.h, toQColor(c));
}

void QtSurface::line(int x1, int y1, int x2, int y2, ColorValue c)
{
    if (y1 == y2) {
        if (x1 != x2)
            m_p.fillRect(std::min(x1, x2 + 1), y1, std::abs(x2 - x1), 1, toQColor(c));
        return;
    }
    if (x1 == x2) {
        m_p.fillRect(x1, std::min(y1, y2 + 1), 1, std::abs(y2 - y1), toQColor(c));
        return;
    }
    // Diagonals stop one step short of the end point.
    const int sx = x2 > x1 ? 1 : -1, sy = y2 > y1 ? 1 : -1;
    const bool aa = m_p.testRenderHint(QPainter::Antialiasing);
    m_p.setRenderHint(QPainter::Antialiasing, false);
    m_p.setPen(toQColor(c));
    m_p.drawLine(x1, y1, x2 - sx, y2 - sy);
    m_p.setRenderHint(QPainter::Antialiasing, aa);
}

void QtSurface::setPixel(int x, int y, ColorValue c)
{
    m_p.fillRect(x, y, 1, 1, toQColor(c));
}

void QtSurface::rows(int x, int y, int w, const std::vector<ColorValue>& colors)
{
    if (w <= 0 || colors.empty())
        return;
    // Composed as one image and copied in a single operation.
    QImage img(1, int(colors.size()), QImage::Format_RGB32);
    for (std::size_t i = 0; i < colors.size(); ++i)
        img.setPixel(0, int(i), qRgb(redOf(colors[i]), greenOf(colors[i]), blueOf(colors[i])));
    m_p.drawImage(QRect(x, y, w, int(colors.size())), img);
}

void QtSurface::columns(int x, int y, int h, const std::vector<ColorValue>& colors)
{
    if (h <= 0 || colors.empty())
        return;
    QImage img(int(colors.size()), 1, QImage::Format_RGB32);
    for (std::size_t i = 0; i < colors.size(); ++i)
        img.setPixel(int(i), 0, qRgb(redOf(colors[i]), greenOf(colors[i]), blueOf(colors[i])));
    m_p.drawImage(QRect(x, y, int(colors.size()), h), img);
}

TextSize QtSurface::measureText(std::string_view text, const FontSpec& font, TextFlags flags, int wrapWidth)
{
    const QFontMetrics fm(fontFor(font));
    const QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
    if (flags.wordWrap && wrapWidth > 0) {
        const QRect r = fm.boundingRect(QRect(0, 0, wrapWidth, 100000),
                                        Qt::TextWordWrap | Qt::AlignHCenter | Qt::AlignTop
                                            | (flags.mnemonic ? Qt::TextShowMnemonic : 0),
                                        s);
        return {r.width(), std::max(r.height(), fm.height())};
    }
    return {fm.horizontalAdvance(s), fm.height()};
}

void QtSurface::text(Rect r, std::string_view text, const FontSpec& font, ColorValue c, TextFlags flags)
{
    m_p.setFont(fontFor(font));
    m_p.setPen(toQColor(c));
    const QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
    int align = flags.mnemonic ? Qt::TextShowMnemonic : 0;
    if (flags.wordWrap)
        align |= Qt::TextWordWrap | Qt::AlignCenter;
    else
        align |= Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    const int w = flags.wordWrap ? r.w : std::max(r.w, m_w * 4);
    m_p.drawText(QRect(r.x, r.y, w, std::max(r.h, 1)), align, s);
}

void QtSurface::picture(int x, int y, int w, int h, const Picture& p, PictureMode mode)
{
    if (p.empty() || w <= 0 || h <= 0)
        return;
    QImage img = imageFromPicture(p);
    if (p.kind == Picture::Kind::Bitmap && mode.useMask && !mode.grey) {
        const QRgb mask = qRgb(redOf(mode.maskColor), greenOf(mode.maskColor), blueOf(mode.maskColor));
        for (int j = 0; j < img.height(); ++j) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(j));
            for (int i = 0; i < img.width(); ++i)
                if ((line[i] | 0xFF000000u) == mask)
                    line[i] = 0;
        }
    }
    if (mode.grey) {
        for (int j = 0; j < img.height(); ++j) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(j));
            for (int i = 0; i < img.width(); ++i) {
                const int m = (qRed(line[i]) + qGreen(line[i]) + qBlue(line[i])) / 3;
                const int a = p.kind == Picture::Kind::Icon ? qAlpha(line[i]) : 255;
                line[i] = qRgba(m, m, m, a);
            }
        }
    }
    m_p.drawImage(QRect(x, y, w, h), img);
}

void QtSurface::symbol(Rect r, TransportSymbol s, ColorValue c)
{
    if (r.w <= 0 || r.h <= 0 || s == TransportSymbol::None)
        return;
    m_p.save();
    m_p.setRenderHint(QPainter::Antialiasing, true);
    m_p.setPen(Qt::NoPen);
    m_p.setBrush(toQColor(c));
    const double side = std::min(r.w, r.h);
    const QRectF box(r.x + (r.w - side) / 2.0, r.y + (r.h - side) / 2.0, side, side);
    switch (s) {
    case TransportSymbol::Record:
        m_p.drawEllipse(box.adjusted(side * 0.1, side * 0.1, -side * 0.1, -side * 0.1));
        break;
    case TransportSymbol::Stop:
        m_p.drawRect(box.adjusted(side * 0.15, side * 0.15, -side * 0.15, -side * 0.15));
        break;
    case TransportSymbol::Play: {
        QPainterPath path;
        const QRectF t = box.adjusted(side * 0.18, side * 0.08, -side * 0.08, -side * 0.08);
        path.moveTo(t.left(), t.top());
        path.lineTo(t.right(), t.center().y());
        path.lineTo(t.left(), t.bottom());
        path.closeSubpath();
        m_p.drawPath(path);
        break;
    }
    case TransportSymbol::None: break;
    }
    m_p.restore();
}

} // namespace sonaveil::controls
