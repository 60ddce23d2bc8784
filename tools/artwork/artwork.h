#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// The program's pictures, drawn from code so that every build makes the same bytes.
namespace sonaveil::artwork {

// Warm brushed bronze for the main window; tiles without seams in both directions.
QImage bronzeBackground(QSize size = {1200, 800});

// A plain, calm background for users who turn the picture off.
QImage blankBackground(QSize size = {1200, 800});

// The start-up picture: the name over a moonlit sea at night.
QImage splash(QSize size = {480, 300});

// The program icon at `size` × `size` pixels with a transparent corner; small sizes drop detail.
QImage icon(int size);

// The program icon as a scalable picture (SVG), drawn like icon(256).
QByteArray iconSvg();

// The user guide's picture of a masking level: a sound that rises to just below a tinnitus line.
QImage maskingLevelDiagram(QSize size = {560, 200});

} // namespace sonaveil::artwork
