#include "player/app/notchchart.h"

#include "player/app/windowlook.h"

#include <QAccessible>
#include <QPainter>

#include <algorithm>
#include <numeric>

namespace sonaveil::player {

namespace {
using look::kText;
const QColor kBar(214, 160, 84);
const QColor kToday(250, 204, 120);
const QColor kAxis(120, 96, 70);
constexpr int kChartHeight = 70;
// The scale never shrinks below an hour, so a few minutes do not fill the chart.
constexpr int kLeastScale = 60;
} // namespace

NotchChart::NotchChart(QWidget* parent)
    : QWidget(parent)
{
    setObjectName("chartNotchMinutes");
    setAccessibleName(tr("Minutes of notched listening"));
    setMinimumHeight(kChartHeight + fontMetrics().height() + 6);
    setMinutes({});
}

QString NotchChart::duration(int minutes)
{
    if (minutes < 60)
        return tr("%1 min").arg(minutes);
    return tr("%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
}

void NotchChart::setMinutes(const std::vector<int>& minutes)
{
    if (minutes == m_minutes && !m_minutes.empty())
        return;
    m_minutes = minutes;
    setAccessibleDescription(summary());
    setToolTip(summary());
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
    update();
}

QString NotchChart::summary() const
{
    const int today = m_minutes.empty() ? 0 : m_minutes.back();
    const int total = std::accumulate(m_minutes.begin(), m_minutes.end(), 0) - today;
    return tr("Today: %1 · the %2 days before: %3")
        .arg(duration(today))
        .arg(std::max<int>(0, int(m_minutes.size()) - 1))
        .arg(duration(total));
}

QSize NotchChart::sizeHint() const
{
    return {360, kChartHeight + fontMetrics().height() + 6};
}

void NotchChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area(0, 0, width(), kChartHeight);
    p.setPen(kAxis);
    p.drawLine(area.bottomLeft(), area.bottomRight());
    const int count = std::max<int>(1, int(m_minutes.size()));
    const int most = std::max(kLeastScale, m_minutes.empty() ? 0 : *std::max_element(m_minutes.begin(), m_minutes.end()));
    const double slot = area.width() / count;
    for (int i = 0; i < int(m_minutes.size()); ++i) {
        const double h = (area.height() - 4) * double(m_minutes[std::size_t(i)]) / double(most);
        const QRectF bar(i * slot + slot * 0.15, area.bottom() - h, slot * 0.7, h);
        p.fillRect(bar, i + 1 == int(m_minutes.size()) ? kToday : kBar);
    }
    p.setPen(kText);
    p.drawText(QRectF(0, kChartHeight + 2, width(), height() - kChartHeight - 2), Qt::AlignLeft | Qt::AlignTop,
               summary());
}

} // namespace sonaveil::player
