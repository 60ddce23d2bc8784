#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

namespace sonaveil::controls {
class Multibutton;
}

namespace sonaveil::player {

// A push button in the look of the player's windows: style 7, bronze face, white caption.
controls::Multibutton* makeWindowButton(const QString& name, const QString& caption, int width,
                                        QWidget* parent);

// A top-level window of the player without a system frame: it paints its background picture
// (scaled to cover it, or the drawn one when there is none) with a thin dark edge, and moves
// with the pointer while its background is dragged with the left button.
class BorderlessWindow : public QWidget {
    Q_OBJECT
public:
    explicit BorderlessWindow(QWidget* parent = nullptr);

    // The background picture; a null image paints the drawn one.
    void setBackground(const QImage& picture);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    QImage m_picture;
    QImage m_scaled; // the picture at the window's size, made when the size changes
    bool m_dragging = false;
    QPoint m_dragOffset;
};

// The dark, rounded panel that groups controls on a borderless window: light text stays
// readable on any background picture.
class Panel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override;
};

} // namespace sonaveil::player
