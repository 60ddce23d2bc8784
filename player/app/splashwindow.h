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
    // The picture is let go once the window has been shown and hidden: the player keeps the
    // window (its icon) all night, not the picture.
    void hideEvent(QHideEvent*) override;

private:
    QImage m_picture;
};

// Milliseconds since this process started, from the kernel's record of its start; -1 when it
// cannot be told.
qint64 millisecondsSinceProcessStart();

} // namespace sonaveil::player
