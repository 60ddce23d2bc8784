#pragma once

#include <QWidget>

#include <vector>

namespace sonaveil::player {

// A small bar chart of the minutes of notched listening, one bar a day, the oldest on the left and
// today on the right, with today's total and the period's written beneath.
class NotchChart : public QWidget {
    Q_OBJECT
public:
    explicit NotchChart(QWidget* parent = nullptr);

    // The minutes of each day, oldest first, today last.
    void setMinutes(const std::vector<int>& minutes);
    const std::vector<int>& minutes() const { return m_minutes; }
    // "Today: 1 h 20 min · 14 days: 9 h 5 min", as shown and spoken.
    QString summary() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    static QString duration(int minutes);

    std::vector<int> m_minutes;
};

} // namespace sonaveil::player
