#pragma once

#include "controls/focusframe.h"

#include <QString>
#include <QWidget>

namespace sonaveil::controls {

// What the painted push buttons (Multibutton, ChameleonButton) share on screen: the access key
// (Alt and the letter after "&"), the keys they use and those left to Qt's focus chain, the focus
// frame, the press that a double click may or may not bring, and telling a screen reader what
// changed. A button forwards what its model needs through the protected virtuals.
class PaintedButton : public QWidget {
    Q_OBJECT

protected:
    explicit PaintedButton(QWidget* parent);
    ~PaintedButton() override;

    // What a screen reader hears of the button.
    struct Announced {
        QString caption;
        bool checked = false;
        bool pressed = false;
    };
    virtual Announced announcement() const = 0;
    // Takes the present state as told (after construction).
    void resetAnnounced() { m_announced = announcement(); }
    // Tells a listening screen reader what changed since it was last told.
    void announceChanges();

    // Grabs Alt and `key` (a letter; 0 for none) in place of the last access key.
    void setAccessKey(char key);
    // Whether `e` is this button's access key being pressed.
    bool isAccessKey(const QEvent* e) const;

    // The keyboard: the key code and shift state as the models take them (keyCodeOf, shiftStateOf).
    virtual void keyPressed(QKeyEvent* e, int keyCode, int shift) = 0;
    virtual void keyReleased(int keyCode, int shift) = 0;
    // The keys the button acts on (Qt::Key); the rest go on to the parent.
    virtual bool usesKey(int key) const;
    virtual void focusChanged(bool in) = 0;

    // A double click with the left button; `pressDelivered`: the window system delivered its
    // second press as a press of its own, already handled.
    virtual void doubleClicked(bool pressDelivered) = 0;
    // Called by the mouse press and release handlers, to tell the two kinds of double click apart.
    void trackPress(const QMouseEvent* e);
    void trackRelease(const QMouseEvent* e);

    bool focusVisible() const { return m_focus.visible(); }

    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void focusOutEvent(QFocusEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;

private:
    int m_shortcutId = 0;
    bool m_pressSinceRelease = false;
    FocusFrame m_focus;
    Announced m_announced;
};

} // namespace sonaveil::controls
