#pragma once

#include <QImage>
#include <QString>

#include <cstdint>

class QLabel;
class QWidget;

namespace sonaveil::controls {
class Multibutton;
}
namespace sonaveil::lumidot {
class LCD;
}

namespace sonaveil::recorder {

// Colour values of the recorder's buttons (red in the low byte).
inline constexpr std::uint32_t kButtonGrey = 0x808080;
inline constexpr std::uint32_t kButtonDarkGrey = 0x404040;
inline constexpr std::uint32_t kCaptionWhite = 0xFFFFFF;
inline constexpr std::uint32_t kCaptionLightGrey = 0xE0E0E0;
inline constexpr std::uint32_t kCaptionRed = 0x0000FF;

// A grey push button in style 7 with a white caption, reachable by the keyboard.
controls::Multibutton* makeButton(const QString& name, const QString& caption, QSize size, QWidget* parent);
// A light label on the dark background; `pointSize` 0 keeps the font's size.
QLabel* makeCaption(const QString& text, QWidget* parent, int pointSize = 0, bool bold = false);
// A dot-matrix display of `rows` lines of 21 small characters lit in `on`; null when the display
// library cannot create one.
lumidot::LCD* makeDisplay(const QString& name, int rows, std::uint32_t on, QWidget* parent);
// The main window's background: brushed dark steel for `size`.
QImage drawBackground(QSize size);

} // namespace sonaveil::recorder
