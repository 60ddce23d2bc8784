#pragma once

// The Qt side of the painted controls: the pixel surface over QPainter, fonts with a fallback
// for faces the desktop lacks, the desktop's colours, pictures from images and the key codes
// that the controls' key events carry.

#include "controls/paint.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>

class QKeyEvent;
class QMouseEvent;
class QPalette;
class QWidget;

namespace sonaveil::controls {

inline QColor toQColor(ColorValue c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }
inline ColorValue fromQColor(const QColor& c) { return rgb(c.red(), c.green(), c.blue()); }

// The font to draw with: the face asked for when the desktop has it, else the desktop's sans
// font at the same size and style.
QFont resolveFont(const FontSpec& font);
// A FontSpec describing a QFont as the controls store it.
FontSpec fontSpecOf(const QFont& font);

// The system colours as the desktop's palette has them.
SystemColors systemColorsOf(const QPalette& palette);

// An image as a picture; images with transparency become icons, others bitmaps.
Picture pictureFromImage(const QImage& image);
QImage imageFromPicture(const Picture& picture);

// The key code and shift state of a key event as the controls' KeyDown and KeyUp carry them
// (Enter 13, Esc 27, Space 32, Left 37 ... Down 40, letters as upper-case codes); 0 if none.
int keyCodeOf(const QKeyEvent* event);
int shiftStateOf(Qt::KeyboardModifiers modifiers);
// 1 left, 2 right, 4 middle; for a move the buttons held.
int mouseButtonOf(Qt::MouseButton button);
int mouseButtonsOf(Qt::MouseButtons buttons);

// Draws on a widget (or an image) through QPainter. Fonts are cached per font description while painting.
class QtSurface : public PaintSurface {
public:
    QtSurface(QPainter& painter, int w, int h);

    int width() const override { return m_w; }
    int height() const override { return m_h; }
    void fillRect(Rect r, ColorValue c) override;
    void line(int x1, int y1, int x2, int y2, ColorValue c) override;
    void setPixel(int x, int y, ColorValue c) override;
    void rows(int x, int y, int w, const std::vector<ColorValue>& colors) override;
    void columns(int x, int y, int h, const std::vector<ColorValue>& colors) override;
    TextSize measureText(std::string_view text, const FontSpec& font, TextFlags flags,
                         int wrapWidth) override;
    void text(Rect r, std::string_view text, const FontSpec& font, ColorValue c,
              TextFlags flags) override;
    void picture(int x, int y, int w, int h, const Picture& p, PictureMode mode) override;
    void symbol(Rect r, TransportSymbol s, ColorValue c) override;

private:
    const QFont& fontFor(const FontSpec& font);

    QPainter& m_p;
    int m_w;
    int m_h;
    FontSpec m_lastSpec;
    QFont m_lastFont;
    bool m_haveFont = false;
};

} // namespace sonaveil::controls
