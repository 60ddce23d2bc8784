#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class QLabel;
class QWidget;

namespace sonaveil::controls {
class Multibutton;
class SComboBox;
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
// A list entry as shown: the words among them in the user's language.
QString shownItem(const QString& item);
// The entry as the settings store it for one shown in the user's language: shownItem() undone.
QString storedItem(const QString& shown);
// A drop-down list of `items`, at least `width` wide and wide enough for its longest entry.
controls::SComboBox* makeList(const QString& name, int width, const QStringList& items, QWidget* parent);
// Moves `window` to its stored position, or onto the primary screen when that is off every screen.
void placeOnScreen(QWidget& window, std::optional<QPoint> position);
// The main window's background: brushed dark steel for `size`.
QImage drawBackground(QSize size);

} // namespace sonaveil::recorder
