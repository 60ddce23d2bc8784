#pragma once

#include "player/app/profileplots.h"
#include "player/diary/diarystore.h"

#include <optional>

class QCheckBox;
class QStackedWidget;
class QTableWidget;
class QTabWidget;

QT_BEGIN_NAMESPACE
class QChartView;
QT_END_NAMESPACE

namespace sonaveil::player {

// The profile's plots drawn with Qt Charts (see ProfilePlots). Made only by the library's
// maker function, so that nothing outside this library needs Qt Charts.
class ProfileCharts final : public ProfilePlots {
    Q_OBJECT
public:
    explicit ProfileCharts(QWidget* parent = nullptr);

    void show(const DiaryStore& diary, std::optional<double> pitchHz) override;
    QTabWidget* tabs() const override { return m_tabs; }
    QWidget* plotView(Plot plot) const override;
    QTableWidget* table(Plot plot) const override { return m_pages[plot].table; }
    void setTables(bool tables) override;

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
