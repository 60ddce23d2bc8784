#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QString>

namespace sonaveil::player::artwork {

// A picture of the program folder, or a null image when it is missing or unreadable.
QImage load(const QString& programFolder, const QString& name);

// `picture` scaled to cover `size` without distortion, cut to it around its middle.
QImage covering(const QImage& picture, const QSize& size);
// The picture in the file scaled and cut to cover `size`, as covering() makes it, decoded at
// that size rather than whole first; null when the file cannot be read.
QImage loadCovering(const QString& programFolder, const QString& name, const QSize& size);

// Drawn by code, for a program folder without its pictures.
QImage drawnBackground(int width, int height);
QImage drawnSplash(int width, int height);
QImage drawnIcon(int size);
// The system volume bar's knob, 9 x 8 pixels, and the same as PNG bytes.
QImage systemKnob();
QByteArray systemKnobPng();

// "sonaveil.png" and its small sizes from the program folder, else the drawn icon.
QIcon programIcon(const QString& programFolder);

} // namespace sonaveil::player::artwork
