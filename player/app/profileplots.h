#pragma once

#include <QWidget>

#include <optional>

class QTabWidget;
class QTableWidget;

namespace sonaveil::player {

class DiaryStore;

// The profile's four plots, each beside a table with the same figures that a screen reader
// reads (and anyone can switch to): the audiogram of both ears with the pitch marked, the
// measures over time, the diary's ratings over time with the nights beneath, and "what helps".
// They are drawn with Qt Charts, which lives in a library of its own (libsonaveil-plots.so)
// that make() loads the first time plots are wanted: a player whose profile is never opened
// never loads Qt Charts.
class ProfilePlots : public QWidget {
public:
    enum Plot { Audiogram, Measures, Ratings, WhatHelps, kPlots };

    using QWidget::QWidget;

    // Fills every plot and table from the diary; `pitchHz` is marked on the audiogram.
    virtual void show(const DiaryStore& diary, std::optional<double> pitchHz) = 0;
    virtual QTabWidget* tabs() const = 0;
    // The widget that draws the plot.
    virtual QWidget* plotView(Plot plot) const = 0;
    virtual QTableWidget* table(Plot plot) const = 0;
    // Shows the tables in place of the plots (or back).
    virtual void setTables(bool tables) = 0;

    // New plots in `parent`; nullptr, with the reason in `why`, when the library that draws
    // them cannot be loaded.
    static ProfilePlots* make(QWidget* parent, QString* why = nullptr);
    // The name of the function the library makes its plots with.
    static constexpr const char* kMakerName = "sonaveilMakeProfilePlots";
    using Maker = ProfilePlots* (*)(QWidget* parent);
};

} // namespace sonaveil::player
