#include "player/plots/profilecharts.h"

#include "player/diary/profileseries.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCheckBox>
#include <QDateTimeAxis>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>
#include <QChart>
#include <QChartView>

#include <algorithm>
#include <cmath>

namespace sonaveil::player {

namespace {

QString dateText(double msecs)
{
    return QLocale().toString(QDateTime::fromMSecsSinceEpoch(qint64(msecs)), QLocale::ShortFormat);
}

QString hzText(double hz)
{
    return hz < 1000 ? ProfileCharts::tr("%1 Hz").arg(std::lround(hz))
                     : ProfileCharts::tr("%1 kHz").arg(QLocale().toString(hz / 1000.0, 'f', hz < 10000 ? 2 : 1));
}

QString number(double v, int decimals = 1)
{
    return QLocale().toString(v, 'f', decimals);
}

// A table of `rows`, read-only, named like its plot.
void fillTable(QTableWidget* t, const QStringList& header, const QList<QStringList>& rows)
{
    t->clear();
    t->setColumnCount(int(header.size()));
    t->setRowCount(int(rows.size()));
    t->setHorizontalHeaderLabels(header);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < header.size(); ++c) {
            auto* item = new QTableWidgetItem(c < rows[r].size() ? rows[r][c] : QString());
            // An empty cell is read out as such, not skipped in silence.
            if (item->text().isEmpty())
                item->setData(Qt::AccessibleTextRole, ProfileCharts::tr("no value"));
            t->setItem(r, c, item);
        }
    t->resizeColumnsToContents();
}

QChart* freshChart(QChartView* view, const QString& title)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setAnimationOptions(QChart::NoAnimation);
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
    return chart;
}

QDateTimeAxis* timeAxis(QChart* chart, double from, double to)
{
    auto* axis = new QDateTimeAxis;
    axis->setFormat(QLocale().dateFormat(QLocale::ShortFormat));
    if (from >= to) {
        from -= 86400000.0;
        to += 86400000.0;
    }
    axis->setRange(QDateTime::fromMSecsSinceEpoch(qint64(from)), QDateTime::fromMSecsSinceEpoch(qint64(to)));
    axis->setTickCount(6);
    chart->addAxis(axis, Qt::AlignBottom);
    return axis;
}

} // namespace

ProfileCharts::ProfileCharts(QWidget* parent)
    : ProfilePlots(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName("plotTabs");
    m_tabs->setAccessibleName(tr("Plots"));
    // The tab bar takes the focus and speaks for the pages.
    m_tabs->setFocusPolicy(Qt::NoFocus);
    const QString names[kPlots] = {tr("Audiogram"), tr("Measures over time"), tr("Diary and nights"), tr("What helps")};
    for (int p = 0; p < kPlots; ++p) {
        Page& page = m_pages[p];
        page.stack = new QStackedWidget(m_tabs);
        page.view = new QChartView(page.stack);
        page.view->setRenderHint(QPainter::Antialiasing);
        page.view->setAccessibleName(names[p]);
        page.view->setAccessibleDescription(tr("The same figures are in a table: tick \"Show the figures as tables\"."));
        // Nothing in a plot is operated: the keyboard goes to the tabs and the tables.
        page.view->setFocusPolicy(Qt::NoFocus);
        page.view->viewport()->setFocusPolicy(Qt::NoFocus);
        page.view->setMinimumSize(520, 300);
        page.table = new QTableWidget(page.stack);
        page.table->setObjectName(QString("table%1").arg(p));
        page.table->setAccessibleName(tr("%1 as a table").arg(names[p]));
        page.table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        page.table->verticalHeader()->setVisible(false);
        page.stack->addWidget(page.view);
        page.stack->addWidget(page.table);
        m_tabs->addTab(page.stack, names[p]);
    }
    layout->addWidget(m_tabs);
    m_asTables = new QCheckBox(tr("Show the figures as ta&bles"), this);
    m_asTables->setObjectName("chkTables");
    m_asTables->setToolTip(tr("Tables hold the same figures as the plots, for reading them aloud or copying them"));
    layout->addWidget(m_asTables);
    connect(m_asTables, &QCheckBox::toggled, this, &ProfileCharts::setTables);
}

QWidget* ProfileCharts::plotView(Plot plot) const
{
    return m_pages[plot].view;
}

void ProfileCharts::setTables(bool tables)
{
    if (m_asTables->isChecked() != tables)
        m_asTables->setChecked(tables);
    for (Page& page : m_pages)
        page.stack->setCurrentIndex(tables ? 1 : 0);
}

void ProfileCharts::show(const DiaryStore& diary, std::optional<double> pitchHz)
{
    fillAudiogram(diary, pitchHz);
    fillMeasures(diary);
    fillRatings(diary);
    fillWhatHelps(diary);
}

void ProfileCharts::fillAudiogram(const DiaryStore& diary, std::optional<double> pitchHz)
{
    QChart* chart = freshChart(m_pages[Audiogram].view, tr("Hearing threshold, dB of full scale (lower is better hearing)"));
    const auto measures = diary.measures();
    auto* x = new QLogValueAxis;
    x->setBase(2);
    x->setRange(200, 14000);
    x->setLabelFormat("%.0f");
    x->setTitleText(tr("Pitch, Hz"));
    auto* y = new QValueAxis;
    y->setRange(-100, -20);
    y->setTickCount(9);
    y->setLabelFormat("%.0f");
    y->setTitleText(tr("dB"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);

    QMap<long, QStringList> rows;
    const std::pair<MeasureRecord::Ear, QString> ears[] = {{MeasureRecord::Ear::Left, tr("Left ear")},
                                                           {MeasureRecord::Ear::Right, tr("Right ear")}};
    for (const auto& [ear, name] : ears) {
        auto* line = new QLineSeries;
        line->setName(name);
        line->setPointsVisible(true);
        const auto points = profileseries::audiogram(measures, ear);
        line->append(points);
        chart->addSeries(line);
        line->attachAxis(x);
        line->attachAxis(y);
        line->setColor(ear == MeasureRecord::Ear::Left ? QColor(40, 90, 200) : QColor(200, 40, 40));
        for (const QPointF& p : points) {
            QStringList& row = rows[std::lround(p.x())];
            if (row.isEmpty())
                row = {hzText(p.x()), QString(), QString()};
            row[ear == MeasureRecord::Ear::Left ? 1 : 2] = number(p.y(), 0);
        }
    }
    if (pitchHz) {
        auto* mark = new QLineSeries;
        mark->setName(tr("Tinnitus pitch %1").arg(hzText(*pitchHz)));
        mark->append(*pitchHz, -100);
        mark->append(*pitchHz, -20);
        QPen pen(QColor(230, 140, 0));
        pen.setWidth(2);
        pen.setStyle(Qt::DashLine);
        mark->setPen(pen);
        chart->addSeries(mark);
        mark->attachAxis(x);
        mark->attachAxis(y);
    }
    QList<QStringList> table = rows.values();
    if (pitchHz)
        table.append({tr("Tinnitus pitch"), hzText(*pitchHz), QString()});
    fillTable(m_pages[Audiogram].table, {tr("Pitch"), tr("Left ear, dB"), tr("Right ear, dB")}, table);
}

void ProfileCharts::fillMeasures(const DiaryStore& diary)
{
    QChart* chart = freshChart(m_pages[Measures].view, tr("Measures over time"));
    const auto measures = diary.measures();
    struct Line {
        MeasureRecord::Kind kind;
        QString name;
        bool seconds;
    };
    const Line lines[] = {
        {MeasureRecord::Kind::Loudness, tr("Loudness match, dB above threshold"), false},
        {MeasureRecord::Kind::Masking, tr("Minimum masking level, dB above threshold"), false},
        {MeasureRecord::Kind::Inhibition, tr("Residual inhibition, seconds"), true},
    };
    double from = 1e300, to = -1e300, low = 0, high = 10, longest = 60;
    QList<QStringList> rows;
    QList<QPair<QLineSeries*, bool>> series;
    for (const Line& l : lines) {
        auto* s = new QLineSeries;
        s->setName(l.name);
        s->setPointsVisible(true);
        for (const QPointF& p : profileseries::overTime(measures, l.kind)) {
            s->append(p);
            from = std::min(from, p.x());
            to = std::max(to, p.x());
            if (l.seconds) {
                longest = std::max(longest, p.y());
            } else {
                low = std::min(low, p.y());
                high = std::max(high, p.y());
            }
            rows.append({dateText(p.x()), l.name, number(p.y())});
        }
        chart->addSeries(s);
        series.append({s, l.seconds});
    }
    if (from > to)
        from = to = double(QDateTime::currentMSecsSinceEpoch());
    auto* x = timeAxis(chart, from, to);
    auto* db = new QValueAxis;
    const double dbLow = std::floor(low / 5) * 5, dbHigh = std::ceil(high / 5) * 5 + 5;
    db->setRange(dbLow, dbHigh);
    db->setTickCount(int((dbHigh - dbLow) / ((dbHigh - dbLow) > 50 ? 10 : 5)) + 1);
    db->setLabelFormat("%.0f");
    db->setTitleText(tr("dB"));
    chart->addAxis(db, Qt::AlignLeft);
    auto* secs = new QValueAxis;
    const double secsHigh = std::ceil(longest / 30) * 30;
    secs->setRange(0, secsHigh);
    secs->setTickCount(int(secsHigh / (secsHigh > 300 ? 60 : 30)) + 1);
    secs->setLabelFormat("%.0f");
    secs->setTitleText(tr("seconds"));
    chart->addAxis(secs, Qt::AlignRight);
    for (const auto& [s, seconds] : series) {
        s->attachAxis(x);
        s->attachAxis(seconds ? secs : db);
    }
    fillTable(m_pages[Measures].table, {tr("Date"), tr("Measure"), tr("Value")}, rows);
}

void ProfileCharts::fillRatings(const DiaryStore& diary)
{
    QChart* chart = freshChart(m_pages[Ratings].view, tr("Diary ratings (0 to 10) with the nights beneath"));
    const auto entries = diary.entries();
    const auto nights = diary.nights();
    double from = 1e300, to = -1e300;
    const std::pair<profileseries::Rating, QString> kinds[] = {{profileseries::Rating::Loudness, tr("Loudness")},
                                                               {profileseries::Rating::Bother, tr("Bother")},
                                                               {profileseries::Rating::Sleep, tr("Sleep")}};
    QList<QLineSeries*> series;
    for (const auto& [rating, name] : kinds) {
        auto* s = new QLineSeries;
        s->setName(name);
        s->setPointsVisible(true);
        for (const QPointF& p : profileseries::ratings(entries, rating)) {
            s->append(p);
            from = std::min(from, p.x());
            to = std::max(to, p.x());
        }
        chart->addSeries(s);
        series.append(s);
    }
    // Each night a bar below the ratings, from when to when it played.
    QList<QLineSeries*> bars;
    for (const NightRecord& n : nights) {
        auto* s = new QLineSeries;
        const double a = double(n.started.toMSecsSinceEpoch()), b = double(n.ended.toMSecsSinceEpoch());
        s->append(a, -1.0);
        s->append(b, -1.0);
        QPen pen(QColor(90, 70, 160));
        pen.setWidth(6);
        s->setPen(pen);
        chart->addSeries(s);
        bars.append(s);
        from = std::min(from, a);
        to = std::max(to, b);
    }
    if (from > to)
        from = to = double(QDateTime::currentMSecsSinceEpoch());
    auto* x = timeAxis(chart, from, to);
    auto* y = new QValueAxis;
    y->setRange(-2, 10);
    y->setTickCount(7);
    y->setLabelFormat("%.0f");
    chart->addAxis(y, Qt::AlignLeft);
    for (QLineSeries* s : series + bars) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
    // Only the ratings in the legend; the nights are named in the title.
    for (QLineSeries* s : bars)
        for (QLegendMarker* m : chart->legend()->markers(s))
            m->setVisible(false);

    QList<QStringList> rows;
    for (const DiaryEntry& e : entries)
        rows.append({dateText(double(e.at.toMSecsSinceEpoch())),
                     e.kind == DiaryEntry::Kind::Morning ? tr("Morning") : tr("Evening"), QString::number(e.loudness),
                     QString::number(e.bother), e.sleep ? QString::number(*e.sleep) : QString(), e.note});
    for (const NightRecord& n : nights)
        rows.append({dateText(double(n.started.toMSecsSinceEpoch())), tr("Night until %1").arg(dateText(double(n.ended.toMSecsSinceEpoch()))),
                     QString(), QString(), QString(), n.mix + (n.sounds.isEmpty() ? QString() : ": " + n.sounds.join(", "))});
    fillTable(m_pages[Ratings].table, {tr("Date"), tr("Entry"), tr("Loudness"), tr("Bother"), tr("Sleep"), tr("Note or sounds")},
              rows);
}

void ProfileCharts::fillWhatHelps(const DiaryStore& diary)
{
    QChart* chart = freshChart(m_pages[WhatHelps].view, tr("Mean morning ratings after nights with each mix or sound"));
    const auto figures = diary.whatHelps();
    auto* loud = new QBarSet(tr("Loudness"));
    auto* bother = new QBarSet(tr("Bother"));
    auto* sleep = new QBarSet(tr("Sleep"));
    QStringList names;
    QList<QStringList> rows;
    for (const HelpFigure& f : figures) {
        names.append(tr("%1 (%2, %n night(s))", nullptr, f.nights).arg(f.name, f.sound ? tr("sound") : tr("mix")));
        *loud << f.loudness;
        *bother << f.bother;
        *sleep << (f.sleepNights ? f.sleep : 0.0);
        rows.append({f.name, f.sound ? tr("Sound") : tr("Mix"), QString::number(f.nights), number(f.loudness, 2),
                     number(f.bother, 2), f.sleepNights ? number(f.sleep, 2) : QString()});
    }
    auto* series = new QHorizontalBarSeries;
    series->append(loud);
    series->append(bother);
    series->append(sleep);
    chart->addSeries(series);
    auto* y = new QBarCategoryAxis;
    y->append(names.isEmpty() ? QStringList{tr("No nights with a morning entry yet")} : names);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
    auto* x = new QValueAxis;
    x->setRange(0, 10);
    x->setTickCount(6);
    x->setLabelFormat("%.0f");
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    fillTable(m_pages[WhatHelps].table,
              {tr("Name"), tr("Kind"), tr("Nights"), tr("Mean loudness"), tr("Mean bother"), tr("Mean sleep")}, rows);
}

} // namespace sonaveil::player

// What the player calls, by name, once it has loaded this library.
extern "C" __attribute__((visibility("default"))) sonaveil::player::ProfilePlots* sonaveilMakeProfilePlots(QWidget* parent)
{
    return new sonaveil::player::ProfileCharts(parent);
}
