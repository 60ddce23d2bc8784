#include "player/app/borderlesswindow.h"
#include "controls/windowaccessible.h"
#include "controls/windowdrag.h"

#include "player/app/artwork.h"
#include "player/app/colourapplier.h"

#include "controls/multibuttonwidget.h"

#include <QPainter>

namespace sonaveil::player {

namespace {

// Stores `value` in `member`; true when that changed it.
template <typename T>
bool assignChanged(T& member, const T& value)
{
    if (member == value)
        return false;
    member = value;
    return true;
}

} // namespace

controls::Multibutton* makeWindowButton(const QString& name, const QString& caption, int width,
                                        QWidget* parent)
{
    auto* b = new controls::Multibutton(name, parent);
    b->setButtonStyle(7);
    b->setBackColor(rgb(140, 104, 66));
    b->setForeColor(rgb(255, 255, 255));
    b->setRolloverColor(hoverFace(b->backColor(), b->foreColor()));
    b->setCaption(caption);
    // A translated caption may be longer than the English one the width was chosen for.
    b->setFixedSize(std::max(width, b->contentSize().width()), 24);
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

BorderlessWindow::BorderlessWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    // The main window is a frame; the windows it opens say they are dialogs.
    controls::setWindowRole(this, QAccessible::Window);
    new controls::WindowDrag(this);
}

controls::Multibutton* BorderlessWindow::makeButton(const QString& name, const QString& caption, int width,
                                                    QWidget* parent, const QString& tip)
{
    auto* b = makeWindowButton(name, caption, width, parent);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    m_buttons[name] = b;
    return b;
}

controls::Multibutton* BorderlessWindow::button(const QString& name) const
{
    const auto it = m_buttons.find(name);
    return it == m_buttons.end() ? nullptr : it->second;
}

void BorderlessWindow::bringUp()
{
    show();
    raise();
    activateWindow();
}

void BorderlessWindow::setBackground(const QImage& picture)
{
    m_source = {};
    m_picture = picture;
    m_scaled = {};
    // A window of fixed size keeps the picture only at the size it is shown: the decoded
    // original (megabytes for a large photograph) is not needed again.
    if (!picture.isNull() && minimumSize() == maximumSize() && !minimumSize().isEmpty()) {
        m_scaled = artwork::covering(picture, minimumSize());
        m_picture = m_scaled;
    }
    update();
}

void BorderlessWindow::setBackgroundSource(PictureSource source)
{
    m_source = std::move(source);
    m_picture = {};
    m_scaled = {};
    update();
}

void BorderlessWindow::setFormColour(const QColor& colour)
{
    if (assignChanged(m_formColour, colour))
        update();
}

void BorderlessWindow::setShowPicture(bool on)
{
    if (assignChanged(m_showPicture, on))
        update();
}

void BorderlessWindow::setEdgeColour(const QColor& colour)
{
    if (assignChanged(m_edgeColour, colour))
        update();
}

void BorderlessWindow::resizeEvent(QResizeEvent*)
{
    m_scaled = {};
}

void BorderlessWindow::hideEvent(QHideEvent*)
{
    // A hidden window (most of them, most of the night) holds no picture: it is made again
    // when the window is shown.
    if (m_source)
        m_scaled = {};
}

void BorderlessWindow::prepareBackground()
{
    if (!m_showPicture || m_scaled.size() == size())
        return;
    m_scaled = m_source ? m_source(size()) : artwork::covering(m_picture, size());
    if (m_scaled.isNull())
        m_scaled = artwork::drawnBackground(width(), height());
    // Three bytes a pixel instead of four: the same colours, a quarter less to hold all night
    // for a window that stays open.
    if (m_scaled.format() == QImage::Format_RGB32)
        m_scaled.convertTo(QImage::Format_RGB888);
}

void BorderlessWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_showPicture) {
        prepareBackground();
        p.drawImage(QPoint(0, 0), m_scaled);
    } else {
        p.fillRect(rect(), m_formColour);
    }
    p.setPen(QPen(m_edgeColour, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void Panel::setFill(const QColor& colour)
{
    if (colour == m_fill)
        return;
    m_fill = colour;
    update();
}

void Panel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 230, 190, 70), 1));
    p.setBrush(m_fill);
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
}

} // namespace sonaveil::player
