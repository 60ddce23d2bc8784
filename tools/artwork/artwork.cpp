#include "artwork.h"

#include "lettering.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace sonaveil::artwork {

namespace {

constexpr double kTau = 2 * std::numbers::pi;

// SplitMix64: a tiny generator whose sequence is the same on every platform and library.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }

    // Uniform in [lo, hi).
    double between(double lo, double hi) { return lo + (hi - lo) * uniform(); }

private:
    std::uint64_t m_state;
};

// Circular moving average of `length` samples, so a row stays seamless when tiled.
std::vector<double> circularBlur(const std::vector<double>& in, int length)
{
    const int n = int(in.size());
    std::vector<double> out(n);
    double sum = 0;
    for (int i = -length / 2; i < length - length / 2; ++i)
        sum += in[((i % n) + n) % n];
    for (int x = 0; x < n; ++x) {
        out[x] = sum / length;
        sum += in[(x + length - length / 2) % n];
        sum -= in[((x - length / 2) % n + n) % n];
    }
    return out;
}

// Scales to unit standard deviation around zero.
void normalise(std::vector<double>& v)
{
    double mean = 0;
    for (double d : v)
        mean += d;
    mean /= double(v.size());
    double var = 0;
    for (double& d : v) {
        d -= mean;
        var += d * d;
    }
    const double sd = std::sqrt(var / double(v.size()));
    if (sd > 0)
        for (double& d : v)
            d /= sd;
}

std::vector<double> noiseRow(Random& rnd, int width)
{
    std::vector<double> row(width);
    for (double& d : row)
        d = rnd.uniform() - 0.5;
    return row;
}

int clampByte(double v)
{
    return std::clamp(int(std::lround(v)), 0, 255);
}

// Wave i of the icon across `tile` (whose side is s), about `base`.
QPainterPath wave(const QRectF& tile, double s, double base, int i)
{
    const double amplitude = s * 0.025;
    QPainterPath line;
    for (int k = 0; k <= 64; ++k) {
        const double x = tile.left() + tile.width() * k / 64.0;
        const double y = base + amplitude * std::sin(kTau * (x / s) * 1.5 + 0.9 * i);
        if (k == 0)
            line.moveTo(x, y);
        else
            line.lineTo(x, y);
    }
    return line;
}

QPainterPath crescent(QPointF centre, double radius, QPointF cutOffset, double cutRadius)
{
    QPainterPath disc;
    disc.addEllipse(centre, radius, radius);
    QPainterPath cut;
    cut.addEllipse(centre + cutOffset, cutRadius, cutRadius);
    return disc.subtracted(cut);
}

// A gentle swell: the height of a wave line at x.
double swell(double x, double base, double amplitude, double wavelength, double phase)
{
    return base + amplitude * std::sin(kTau * x / wavelength + phase)
        + 0.35 * amplitude * std::sin(kTau * x / (wavelength * 0.43) + 2.1 * phase + 0.8);
}

QPainterPath waveLine(double width, double base, double amplitude, double wavelength, double phase)
{
    QPainterPath p;
    p.moveTo(-2, swell(-2, base, amplitude, wavelength, phase));
    for (double x = 0; x <= width + 2; x += 2)
        p.lineTo(x, swell(x, base, amplitude, wavelength, phase));
    return p;
}

QPainterPath waveBody(double width, double height, double base, double amplitude, double wavelength,
                      double phase)
{
    QPainterPath p = waveLine(width, base, amplitude, wavelength, phase);
    p.lineTo(width + 2, height + 2);
    p.lineTo(-2, height + 2);
    p.closeSubpath();
    return p;
}

} // namespace

QImage bronzeBackground(QSize size)
{
    const int w = size.width();
    const int h = size.height();
    Random rnd(0x5EB2011Eu);

    // Per row: fine streaks, longer streaks and a brightness of its own, as brushing leaves them.
    std::vector<std::vector<double>> fine(h), coarse(h);
    std::vector<double> rowLevel(h);
    for (int y = 0; y < h; ++y) {
        fine[y] = circularBlur(circularBlur(noiseRow(rnd, w), 40), 40);
        coarse[y] = circularBlur(circularBlur(noiseRow(rnd, w), 260), 260);
        rowLevel[y] = rnd.uniform() - 0.5;
    }
    std::vector<double> all;
    all.reserve(std::size_t(w) * std::size_t(h));
    for (const auto& row : fine)
        all.insert(all.end(), row.begin(), row.end());
    normalise(all);
    for (int y = 0; y < h; ++y)
        std::copy(all.begin() + std::ptrdiff_t(y) * w, all.begin() + std::ptrdiff_t(y + 1) * w, fine[y].begin());
    all.clear();
    for (const auto& row : coarse)
        all.insert(all.end(), row.begin(), row.end());
    normalise(all);
    for (int y = 0; y < h; ++y)
        std::copy(all.begin() + std::ptrdiff_t(y) * w, all.begin() + std::ptrdiff_t(y + 1) * w, coarse[y].begin());
    // Neighbouring rows share some of their level, so the lines are soft rather than scratchy.
    std::vector<double> level(h);
    for (int y = 0; y < h; ++y)
        level[y] = 0.5 * rowLevel[y] + 0.25 * rowLevel[(y + 1) % h] + 0.25 * rowLevel[(y + h - 1) % h];
    normalise(level);

    const double base[3] = {148, 108, 68};
    const double warm[3] = {70, 50, 22};  // highlights turn golden, shadows brown
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        // A broad sheen across the plate; whole periods so that tiles meet without a seam.
        const double sheenY = 0.055 * std::cos(kTau * (double(y) / h - 0.28));
        for (int x = 0; x < w; ++x) {
            const double sheen = sheenY + 0.02 * std::cos(kTau * (double(x) / w) + 0.9)
                + 0.012 * std::cos(kTau * (2.0 * x / w + double(y) / h));
            const double grain = (rnd.uniform() - 0.5) * 0.012;
            const double d = 0.024 * fine[y][x] + 0.014 * coarse[y][x] + 0.016 * level[y] + sheen + grain;
            line[x] = qRgb(clampByte(base[0] * (1 + d) + warm[0] * d),
                           clampByte(base[1] * (1 + d) + warm[1] * d),
                           clampByte(base[2] * (1 + d) + warm[2] * d));
        }
    }
    return img;
}

QImage blankBackground(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(QColor(116, 122, 128));
    return img;
}

QImage splash(QSize size)
{
    const double w = size.width();
    const double h = size.height();
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0.0, QColor(8, 14, 36));
    sky.setColorAt(0.65, QColor(26, 40, 78));
    sky.setColorAt(1.0, QColor(34, 52, 92));
    p.fillRect(img.rect(), sky);

    const QPointF moon(w * 0.82, h * 0.25);
    const double moonR = h * 0.095;

    QRadialGradient glow(moon, moonR * 4.5);
    glow.setColorAt(0.0, QColor(240, 226, 180, 70));
    glow.setColorAt(0.35, QColor(200, 200, 210, 22));
    glow.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.fillRect(img.rect(), glow);

    const double seaTop = h * 0.64;
    Random rnd(0x0057A125u);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 70; ++i) {
        const QPointF at(rnd.between(0, w), rnd.between(0, seaTop - 12));
        const double r = rnd.between(0.45, 1.25);
        const int alpha = int(rnd.between(70, 230));
        if (std::hypot(at.x() - moon.x(), at.y() - moon.y()) < moonR * 2.2)
            continue;
        p.setBrush(QColor(235, 236, 250, alpha));
        p.drawEllipse(at, r, r);
    }

    p.setBrush(QColor(246, 232, 188));
    p.drawPath(crescent(moon, moonR, QPointF(moonR * 0.45, -moonR * 0.22), moonR * 0.88));

    // Three rows of soft waves, the farthest first.
    struct Wave {
        double base, amplitude, wavelength, phase;
        QColor body, crest;
    };
    const Wave waves[] = {
        {seaTop, 2.5, 150, 0.4, QColor(30, 47, 86), QColor(150, 180, 220, 70)},
        {h * 0.75, 4.0, 210, 2.0, QColor(22, 37, 70), QColor(150, 185, 225, 80)},
        {h * 0.87, 5.5, 280, 4.1, QColor(14, 26, 52), QColor(160, 195, 230, 90)},
    };
    for (const Wave& wave : waves) {
        p.setPen(Qt::NoPen);
        p.setBrush(wave.body);
        p.drawPath(waveBody(w, h, wave.base, wave.amplitude, wave.wavelength, wave.phase));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(wave.crest, 1.4, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(waveLine(w, wave.base, wave.amplitude, wave.wavelength, wave.phase));
    }

    // The moon's path on the water: a faint glow and scattered glints that widen towards the shore.
    QRadialGradient path(QPointF(moon.x(), h * 0.86), h * 0.3);
    path.setColorAt(0.0, QColor(246, 232, 188, 34));
    path.setColorAt(1.0, QColor(246, 232, 188, 0));
    p.save();
    p.translate(moon.x(), h * 0.86);
    p.scale(0.35, 1.0);
    p.translate(-moon.x(), -h * 0.86);
    p.setPen(Qt::NoPen);
    p.setBrush(path);
    p.drawRect(QRectF(moon.x() - h * 0.3, seaTop, h * 0.6, h - seaTop));
    p.restore();
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 30; ++i) {
        const double t = rnd.uniform();
        const double y = seaTop + 3 + t * (h - seaTop - 6);
        const double half = 1.5 + (3 + 12 * t) * rnd.uniform();
        const double spread = (rnd.uniform() + rnd.uniform() - 1) * (6 + 22 * t);
        const int alpha = int((140 - 70 * t) * (0.4 + 0.6 * rnd.uniform()));
        p.setPen(QPen(QColor(246, 232, 188, alpha), 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(moon.x() + spread - half, y), QPointF(moon.x() + spread + half, y));
    }

    // The name, in our own lettering.
    const Lettering name = letter(QStringLiteral("Sonaveil"), 0.3);
    const double unit = h * 0.115;
    const QPointF origin(w * 0.09, h * 0.43);
    p.save();
    p.translate(origin);
    p.scale(unit, unit);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 90), 0.15, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.translate(0.03, 0.04);
    p.drawPath(name.path);
    p.translate(-0.03, -0.04);
    p.setPen(QPen(QColor(240, 232, 212), 0.13, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(name.path);
    p.restore();

    // A quiet rule under the name, like a line of calm water.
    const double ruleY = origin.y() + unit * 0.45;
    QLinearGradient rule(origin.x(), 0, origin.x() + name.advance * unit, 0);
    rule.setColorAt(0.0, QColor(240, 232, 212, 150));
    rule.setColorAt(1.0, QColor(240, 232, 212, 0));
    p.setPen(QPen(QBrush(rule), 1.2));
    p.drawLine(QPointF(origin.x(), ruleY), QPointF(origin.x() + name.advance * unit, ruleY));
    p.end();
    return img;
}

QImage icon(int size)
{
    const double s = size;
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    const double margin = size >= 32 ? s * 0.04 : 0.5;
    const QRectF tile(margin, margin, s - 2 * margin, s - 2 * margin);
    const double corner = tile.width() * 0.22;
    QLinearGradient night(0, tile.top(), 0, tile.bottom());
    night.setColorAt(0.0, QColor(34, 56, 108));
    night.setColorAt(1.0, QColor(12, 20, 46));
    p.setPen(size >= 32 ? QPen(QColor(120, 150, 200, 110), s / 128.0) : Qt::NoPen);
    p.setBrush(night);
    p.drawRoundedRect(tile, corner, corner);

    // Clip to the tile so that the waves end at its rounded edge.
    QPainterPath clip;
    clip.addRoundedRect(tile, corner, corner);
    p.setClipPath(clip);

    if (size >= 64) {
        QRadialGradient glow(QPointF(s * 0.42, s * 0.38), s * 0.42);
        glow.setColorAt(0.0, QColor(240, 226, 180, 60));
        glow.setColorAt(1.0, QColor(0, 0, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawRect(tile);
    }

    const QPointF moon(s * 0.43, s * 0.39);
    const double moonR = s * (size >= 32 ? 0.22 : 0.26);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(246, 232, 188));
    p.drawPath(crescent(moon, moonR, QPointF(moonR * 0.5, -moonR * 0.3), moonR * 0.86));

    // Waves: three at full size, fewer where they would blur into one.
    const int count = size >= 64 ? 3 : (size >= 32 ? 2 : 1);
    const double penWidth = std::max(1.3, s * 0.035);
    for (int i = 0; i < count; ++i) {
        const double base = s * (0.72 + 0.1 * i) - (count == 1 ? s * 0.02 : 0);
        const int alpha = 230 - 50 * i;
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(130, 190, 230, alpha), penWidth, Qt::SolidLine, Qt::RoundCap));
        const QPainterPath line = wave(tile, s, base, i);
        p.drawPath(line);
    }
    p.end();
    return img;
}

namespace {

QString number(double v)
{
    // Three decimals are finer than any screen; fixed notation keeps the bytes the same.
    QString text = QString::number(v, 'f', 3);
    while (text.contains(QLatin1Char('.')) && (text.endsWith(QLatin1Char('0')) || text.endsWith(QLatin1Char('.'))))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

// The path as SVG path data: moves, lines and cubic curves, as QPainterPath holds them.
QString svgPathData(const QPainterPath& path)
{
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.type == QPainterPath::MoveToElement) {
            d += QStringLiteral("M%1 %2").arg(number(e.x), number(e.y));
        } else if (e.type == QPainterPath::LineToElement) {
            d += QStringLiteral("L%1 %2").arg(number(e.x), number(e.y));
        } else if (e.type == QPainterPath::CurveToElement && i + 2 < path.elementCount()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            d += QStringLiteral("C%1 %2 %3 %4 %5 %6")
                     .arg(number(e.x), number(e.y), number(c2.x), number(c2.y), number(end.x), number(end.y));
            i += 2;
        }
    }
    return d;
}

} // namespace

QByteArray iconSvg()
{
    // The 256-pixel icon's drawing, as shapes: the night tile, the glow, the moon, three waves.
    const double s = 256;
    const double margin = s * 0.04;
    const QRectF tile(margin, margin, s - 2 * margin, s - 2 * margin);
    const double corner = tile.width() * 0.22;
    const QPointF moon(s * 0.43, s * 0.39);
    const double moonR = s * 0.22;
    const QPainterPath moonPath = crescent(moon, moonR, QPointF(moonR * 0.5, -moonR * 0.3), moonR * 0.86);

    QString svg;
    svg += QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n");
    svg += QStringLiteral("  <defs>\n"
                          "    <linearGradient id=\"night\" x1=\"0\" y1=\"%1\" x2=\"0\" y2=\"%2\" gradientUnits=\"userSpaceOnUse\">\n"
                          "      <stop offset=\"0\" stop-color=\"#22386c\"/>\n"
                          "      <stop offset=\"1\" stop-color=\"#0c142e\"/>\n"
                          "    </linearGradient>\n"
                          "    <radialGradient id=\"glow\" cx=\"%3\" cy=\"%4\" r=\"%5\" gradientUnits=\"userSpaceOnUse\">\n"
                          "      <stop offset=\"0\" stop-color=\"#f0e2b4\" stop-opacity=\"0.235\"/>\n"
                          "      <stop offset=\"1\" stop-color=\"#000000\" stop-opacity=\"0\"/>\n"
                          "    </radialGradient>\n"
                          "    <clipPath id=\"tile\">\n"
                          "      <rect x=\"%6\" y=\"%6\" width=\"%7\" height=\"%7\" rx=\"%8\"/>\n"
                          "    </clipPath>\n"
                          "  </defs>\n")
               .arg(number(tile.top()), number(tile.bottom()), number(s * 0.42), number(s * 0.38), number(s * 0.42),
                    number(margin), number(tile.width()), number(corner));
    svg += QStringLiteral("  <rect x=\"%1\" y=\"%1\" width=\"%2\" height=\"%2\" rx=\"%3\" fill=\"url(#night)\" "
                          "stroke=\"#7896c8\" stroke-opacity=\"0.431\" stroke-width=\"2\"/>\n")
               .arg(number(margin), number(tile.width()), number(corner));
    svg += QStringLiteral("  <g clip-path=\"url(#tile)\">\n");
    svg += QStringLiteral("    <rect x=\"%1\" y=\"%1\" width=\"%2\" height=\"%2\" fill=\"url(#glow)\"/>\n")
               .arg(number(margin), number(tile.width()));
    svg += QStringLiteral("    <path d=\"%1\" fill=\"#f6e8bc\" fill-rule=\"evenodd\"/>\n").arg(svgPathData(moonPath));
    for (int i = 0; i < 3; ++i) {
        const QPainterPath line = wave(tile, s, s * (0.72 + 0.1 * i), i);
        svg += QStringLiteral("    <path d=\"%1\" fill=\"none\" stroke=\"#82bee6\" stroke-opacity=\"%2\" "
                              "stroke-width=\"%3\" stroke-linecap=\"round\"/>\n")
                   .arg(svgPathData(line), number((230 - 50 * i) / 255.0), number(s * 0.035));
    }
    svg += QStringLiteral("  </g>\n</svg>\n");
    return svg.toUtf8();
}

QImage maskingLevelDiagram(QSize size)
{
    const double w = size.width();
    const double h = size.height();
    QImage img(size, QImage::Format_RGB32);
    img.fill(QColor(250, 248, 243));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    const double left = 24, right = w - 24, bottom = h - 20, top = 20;
    // Ground line.
    p.setPen(QPen(QColor(150, 140, 125), 1.5));
    p.drawLine(QPointF(left, bottom), QPointF(right, bottom));

    // The masking sound: a soft band that rises from silence to just below the tinnitus line.
    const double tinnitusY = top + (bottom - top) * 0.28;
    const double plateau = tinnitusY + 14;
    QPainterPath band;
    band.moveTo(left, bottom);
    Random rnd(0x00D1A6A4u);
    for (double x = left; x <= right; x += 3) {
        const double t = (x - left) / (right - left);
        const double rise = std::min(1.0, t / 0.3);
        const double eased = rise * rise * (3 - 2 * rise);
        const double ripple = 3.0 * std::sin(x * 0.11) + 2.0 * (rnd.uniform() - 0.5);
        band.lineTo(x, bottom - eased * (bottom - plateau) + eased * ripple);
    }
    band.lineTo(right, bottom);
    band.closeSubpath();
    QLinearGradient fill(0, plateau, 0, bottom);
    fill.setColorAt(0.0, QColor(96, 150, 200, 220));
    fill.setColorAt(1.0, QColor(96, 150, 200, 60));
    p.setPen(QPen(QColor(60, 110, 165), 1.5));
    p.setBrush(fill);
    p.drawPath(band);

    // The tinnitus: a steady line across, drawn on top so that it stays in view.
    p.setPen(QPen(QColor(205, 110, 40), 3, Qt::DashLine, Qt::RoundCap));
    p.drawLine(QPointF(left, tinnitusY), QPointF(right, tinnitusY));
    p.end();
    return img;
}

} // namespace sonaveil::artwork
