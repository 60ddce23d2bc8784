#include "recorder/app/levelmeter.h"

#include <QAccessible>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace sonaveil::recorder {

namespace {

// Segments span -48 dBFS to 0 dBFS.
constexpr float kFloorDb = -48.0f;
// Fall of the shown level per poll (50 ms): about 24 dB a second.
constexpr float kFallDb = 1.2f;

float toScale(float level)
{
    if (level <= 0.0f)
        return 0.0f;
    const float db = 20.0f * std::log10(level);
    return std::clamp((db - kFloorDb) / -kFloorDb, 0.0f, 1.0f);
}

} // namespace

LevelMeter::LevelMeter(Source source, QWidget* parent)
    : QWidget(parent), m_source(std::move(source))
{
    installLevelMeterAccessibility();
    setObjectName(QStringLiteral("dxVU1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_timer.setInterval(50);
    connect(&m_timer, &QTimer::timeout, this, &LevelMeter::poll);
}

void LevelMeter::setSegments(int count)
{
    m_segments = std::max(4, count);
    update();
}

std::array<int, 2> LevelMeter::levelPercent() const
{
    return {int(std::lround(m_shown[0] * 100.0f)), int(std::lround(m_shown[1] * 100.0f))};
}

std::array<int, 2> LevelMeter::litSegments() const
{
    return {int(std::lround(m_shown[0] * float(m_segments))), int(std::lround(m_shown[1] * float(m_segments)))};
}

void LevelMeter::poll()
{
    if (!m_source)
        return;
    const auto levels = m_source();
    const auto before = litSegments();
    for (int c = 0; c < 2; ++c)
        m_shown[std::size_t(c)] = std::max(toScale(levels[std::size_t(c)]),
                                           m_shown[std::size_t(c)] - kFallDb / -kFloorDb);
    if (litSegments() != before)
        update();
    // Twenty readings a second would drown a screen reader; a change of a tenth of the scale is
    // worth telling.
    const auto p = levelPercent();
    const int step = std::max(p[0], p[1]) / 10;
    if (step != m_announced && QAccessible::isActive()) {
        m_announced = step;
        QAccessibleValueChangeEvent event(this, std::max(p[0], p[1]));
        QAccessible::updateAccessibility(&event);
    }
}

void LevelMeter::setRendering(bool on)
{
    m_rendering = on;
    update();
}

void LevelMeter::showEvent(QShowEvent*)
{
    m_timer.start();
}

void LevelMeter::hideEvent(QHideEvent*)
{
    m_timer.stop();
}

void LevelMeter::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.setPen(QColor(70, 70, 70));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!m_rendering)
        return;
    const int margin = 4;
    const int gap = 3;
    const int columnWidth = (width() - 2 * margin - gap) / 2;
    const double pitch = double(height() - 2 * margin) / m_segments;
    const auto lit = litSegments();
    for (int c = 0; c < 2; ++c) {
        const int x = margin + c * (columnWidth + gap);
        for (int s = 0; s < m_segments; ++s) {
            const double share = double(s + 1) / m_segments;
            QColor on = share > 0.9 ? QColor(235, 40, 30) : share > 0.75 ? QColor(240, 200, 30) : QColor(40, 210, 60);
            const QColor colour = s < lit[std::size_t(c)] ? on : on.darker(500);
            const int y = int(std::lround(height() - margin - (s + 1) * pitch));
            p.fillRect(x, y + 1, columnWidth, std::max(1, int(pitch) - 1), colour);
        }
    }
}

} // namespace sonaveil::recorder
