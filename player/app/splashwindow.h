#pragma once

#include <QImage>
#include <QWidget>

namespace sonaveil::player {

// frmstartup: one picture (the drawn one when the file is missing), no buttons.
class SplashWindow : public QWidget {
public:
    explicit SplashWindow(const QImage& picture);

protected:
    void paintEvent(QPaintEvent*) override;
    // The picture and the window system's copy of the window (a surface the size of the
    // picture) are let go once the window has been shown and hidden: the player keeps the
    // widget (its icon) all night, not what it showed.
    void hideEvent(QHideEvent*) override;

private:
    QImage m_picture;
};

// Milliseconds since this process started, from the kernel's record of its start; -1 when it
// cannot be told.
qint64 millisecondsSinceProcessStart();

} // namespace sonaveil::player
