#pragma once

#include "player/diary/diarystore.h"

#include <QWidget>

#include <optional>

class QCheckBox;
class QStackedWidget;
class QTableWidget;
class QTabWidget;

QT_BEGIN_NAMESPACE
class QChartView;
QT_END_NAMESPACE

namespace sonaveil::player {

// The profile's four plots, each beside a table with the same figures that a screen reader
// reads (and anyone can switch to): the audiogram of both ears with the pitch marked, the
// measures over time, the diary's ratings over time with the nights beneath, and "what helps".
class ProfileCharts : public QWidget {
    Q_OBJECT
public:
    enum Plot { Audiogram, Measures, Ratings, WhatHelps, kPlots };

    explicit ProfileCharts(QWidget* parent = nullptr);

    // Fills every plot and table from the diary; `pitchHz` is marked on the audiogram.
    void show(const DiaryStore& diary, std::optional<double> pitchHz);

    QTabWidget* tabs() const { return m_tabs; }
    QChartView* chartView(Plot plot) const { return m_pages[plot].view; }
    QTableWidget* table(Plot plot) const { return m_pages[plot].table; }
    // Shows the table in place of the plot (or back).
    void setTables(bool tables);

private:
    struct Page {
        QStackedWidget* stack = nullptr;
        QChartView* view = nullptr;
        QTableWidget* table = nullptr;
    };
    void fillAudiogram(const DiaryStore& diary, std::optional<double> pitchHz);
    void fillMeasures(const DiaryStore& diary);
    void fillRatings(const DiaryStore& diary);
    void fillWhatHelps(const DiaryStore& diary);

    QTabWidget* m_tabs = nullptr;
    QCheckBox* m_asTables = nullptr;
    Page m_pages[kPlots];
};

} // namespace sonaveil::player
