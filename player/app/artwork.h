#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

namespace sonaveil::player::artwork {

// A picture of the program folder, or a null image when it is missing or unreadable.
QImage load(const QString& programFolder, const QString& name);

// `picture` scaled to cover `size` without distortion, cut to it around its middle.
QImage covering(const QImage& picture, const QSize& size);

// Drawn by code, for a program folder without its pictures.
QImage drawnBackground(int width, int height);
QImage drawnSplash(int width, int height);
QImage drawnIcon(int size);

// "sonaveil.png" and its small sizes from the program folder, else the drawn icon.
QIcon programIcon(const QString& programFolder);

} // namespace sonaveil::player::artwork
