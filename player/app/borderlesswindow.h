#pragma once

#include <QImage>
#include <QWidget>

#include <functional>
#include <map>

namespace sonaveil::controls {
class Multibutton;
}

namespace sonaveil::player {

struct WindowColours;

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

    // Shows the window in front of the others, with the keyboard.
    void bringUp();

    // A push button of the window made by makeButton(), by its name; nullptr for none.
    controls::Multibutton* button(const QString& name) const;

    // The background picture; a null image paints the drawn one.
    void setBackground(const QImage& picture);
    // Where the background picture comes from when the window is painted at a new size: it is
    // asked for the picture covering that size then, which is kept while the window is shown.
    // A null image from it paints the drawn picture.
    using PictureSource = std::function<QImage(const QSize&)>;
    void setBackgroundSource(PictureSource source);
    // Makes the picture at the window's size now, rather than at the next paint.
    void prepareBackground();
    // The picture at the window's size, as last painted (null until painted, and while hidden).
    const QImage& scaledBackground() const { return m_scaled; }

    // The plain colour the window shows in place of its picture while showPicture() is false.
    static inline const QColor kFormColour{58, 38, 22};
    QColor formColour() const { return m_formColour; }
    void setFormColour(const QColor& colour);
    bool showPicture() const { return m_showPicture; }
    void setShowPicture(bool on);
    // The thin line around the window.
    static inline const QColor kEdgeColour{30, 18, 8};
    QColor edgeColour() const { return m_edgeColour; }
    void setEdgeColour(const QColor& colour);

    // Called after the colour scheme has recoloured the window's controls, for the window's own
    // parts that the scheme paints.
    virtual void coloursApplied(const WindowColours&) {}

protected:
    // A push button of the window (makeWindowButton), found again by button(name), with `tip` as
    // its tool tip.
    controls::Multibutton* makeButton(const QString& name, const QString& caption, int width, QWidget* parent,
                                      const QString& tip = {});

    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    std::map<QString, controls::Multibutton*> m_buttons;
    QImage m_picture;
    PictureSource m_source; // asked for the picture instead of m_picture, when set
    QImage m_scaled; // the picture at the window's size, made when the size changes
    QColor m_formColour = kFormColour;
    bool m_showPicture = true;
    QColor m_edgeColour = kEdgeColour;
};

// The dark, rounded panel that groups controls on a borderless window: light text stays
// readable on any background picture.
class Panel : public QWidget {
public:
    using QWidget::QWidget;

    static inline const QColor kFill{20, 12, 6, 120};
    // The panel's colour; a translucent one lets the window's picture show through.
    QColor fill() const { return m_fill; }
    void setFill(const QColor& colour);

    // Gives the panel a layout of kind L: `margins` from its edges, `spacing` between what it
    // holds (both ways in a grid).
    template <typename L>
    L* setUpLayout(const QMargins& margins, int spacing)
    {
        auto* layout = new L(this);
        layout->setContentsMargins(margins);
        layout->setSpacing(spacing);
        return layout;
    }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor m_fill = kFill;
};

} // namespace sonaveil::player
