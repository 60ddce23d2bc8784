#pragma once

#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>

namespace sonaveil::recorder {

// The vertical level meter: two columns of lit segments (left and right), green, then yellow
// and red near full scale, on black. It polls its level source twenty times a second while
// shown; the peaks fall back slowly so that short sounds stay visible.
class LevelMeter : public QWidget {
    Q_OBJECT
public:
    using Source = std::function<std::array<float, 2>()>;
    explicit LevelMeter(Source source, QWidget* parent = nullptr);

    // Number of segments per column.
    void setSegments(int count);
    int segments() const { return m_segments; }
    // Lit segments of each column now.
    std::array<int, 2> litSegments() const;
    // The shown level of each column in percent of the scale (-48 dBFS to full scale).
    std::array<int, 2> levelPercent() const;
    // Takes the next levels from the source (what the timer does).
    void poll();
    // Whether the meter draws itself; switched off, it shows an empty frame.
    void setRendering(bool on);

    QSize sizeHint() const override { return {34, 200}; }

protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    Source m_source;
    QTimer m_timer;
    int m_segments = 30;
    bool m_rendering = true;
    std::array<float, 2> m_shown{0, 0};
    // The louder column as last told to a screen reader, in steps of 10 %.
    int m_announced = 0;
};

// Installs the level meter's screen-reader interface once: a progress bar over the louder column.
void installLevelMeterAccessibility();

} // namespace sonaveil::recorder
