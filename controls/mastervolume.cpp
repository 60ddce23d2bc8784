#include "controls/mastervolume.h"

#include "controls/accessibility.h"

#include <QBuffer>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>

namespace sonaveil::controls {
namespace {

QColor toQColor(ColorValue c)
{
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

int buttonOf(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

} // namespace

MasterVolume::MasterVolume(QWidget* parent)
    : MasterVolume(platform::createPulseSystemVolume(), parent)
{
}

MasterVolume::MasterVolume(std::unique_ptr<platform::SystemVolume> system, QWidget* parent)
    : QWidget(parent)
    , m_system(std::move(system))
{
    installAccessibility();
    setObjectName(QStringLiteral("MasterVolume1"));
    m_model.setSystem(m_system.get());
    if (m_system) {
        // Called on the system's own thread: the change is read on the interface thread. The
        // posted call dies with the bar, and the destructor drops the listener before anything
        // it uses goes away.
        m_system->setChangeListener([this] {
            if (!m_changePending.exchange(true))
                QMetaObject::invokeMethod(this, &MasterVolume::systemChanged, Qt::QueuedConnection);
        });
    }
    m_model.onRedraw = [this] {
        update();
        if (m_model.mute() != m_announcedMute) {
            m_announcedMute = m_model.mute();
            announceValue(this, m_model.value());
        }
    };
    m_model.onChange = [this](int v) {
        setToolTip(toolTipText());
        announceValue(this, v);
        emit Change(v);
    };
    setToolTip(toolTipText());
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("System volume"));
    m_knob = builtInKnob();
    m_model.setKnobSize(m_knob.width(), m_knob.height());
    syncGeometry();
}

MasterVolume::~MasterVolume()
{
    if (m_system)
        m_system->setChangeListener({});
    m_timer.TmrStop();
    m_model.onRedraw = nullptr;
    m_model.onChange = nullptr;
    if (m_system)
        m_system->close();
}

QImage MasterVolume::builtInKnob()
{
    QImage img(MasterVolumeModel::kKnobWidth, MasterVolumeModel::kKnobHeight, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF ball(0.5, 1.0, 12.0, 12.0);
    QRadialGradient shade(QPointF(4.5, 4.5), 8.0);
    shade.setColorAt(0.0, QColor(255, 255, 255));
    shade.setColorAt(0.45, QColor(200, 200, 205));
    shade.setColorAt(1.0, QColor(90, 90, 100));
    p.setBrush(shade);
    p.setPen(QPen(QColor(40, 40, 48), 1.0));
    p.drawEllipse(ball);
    return img;
}

void MasterVolume::setSliderIcon(const QImage& picture)
{
    m_knob = picture.isNull() ? builtInKnob() : picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    m_model.setKnobSize(m_knob.width(), m_knob.height());
    syncGeometry();
}

void MasterVolume::setOrientation(int orientation)
{
    // The bar keeps its length when it turns.
    const int length = m_model.orientation() == MasterVolumeModel::Vertical ? height() : width();
    m_model.setOrientation(orientation);
    m_syncing = true;
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (m_model.orientation() == MasterVolumeModel::Vertical)
        resize(m_model.knobWidth(), length);
    else
        resize(length, m_model.knobHeight());
    m_syncing = false;
    syncGeometry();
}

void MasterVolume::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange) {
        m_model.setEnabled(isEnabled());
        update();
    }
    QWidget::changeEvent(e);
}

void MasterVolume::readProperties(const PropertyBag& bag)
{
    const auto bytes = bag.readBytes("SliderIcon");
    QImage icon;
    if (!bytes.empty())
        icon.loadFromData(bytes.data(), int(bytes.size()));
    m_knob = icon.isNull() ? builtInKnob() : icon.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    m_model.setKnobSize(m_knob.width(), m_knob.height());
    m_model.readProperties(bag);
    setEnabled(m_model.enabled());
    setToolTip(toolTipText());
    syncGeometry();
    update();
}

void MasterVolume::writeProperties(PropertyBag& bag) const
{
    m_model.writeProperties(bag);
    if (m_knob != builtInKnob()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        m_knob.save(&buffer, "PNG");
        bag.write("SliderIcon", PropertyBag::Bytes(png.begin(), png.end()));
    }
}

QSize MasterVolume::sizeHint() const
{
    if (m_model.orientation() == MasterVolumeModel::Vertical)
        return {m_model.knobWidth(), 100};
    return {100, m_model.knobHeight()};
}

void MasterVolume::syncGeometry()
{
    if (m_syncing)
        return;
    m_syncing = true;
    m_model.resize(width(), height());
    if (m_model.orientation() == MasterVolumeModel::Vertical) {
        setMinimumSize(m_model.knobWidth(), m_model.knobHeight());
        setMaximumSize(m_model.knobWidth(), QWIDGETSIZE_MAX);
    } else {
        setMinimumSize(m_model.knobWidth(), m_model.knobHeight());
        setMaximumSize(QWIDGETSIZE_MAX, m_model.knobHeight());
    }
    if (size() != QSize(m_model.width(), m_model.height()))
        resize(m_model.width(), m_model.height());
    m_syncing = false;
}

void MasterVolume::resizeEvent(QResizeEvent*)
{
    syncGeometry();
}

void MasterVolume::showEvent(QShowEvent*)
{
    // The mixer is opened once, at the first show. The bar follows the system only while it can
    // be seen, and a show catches up with what changed while it was hidden at once.
    if (m_model.show())
        follow();
    update();
}

void MasterVolume::follow()
{
    m_model.poll();
    if (m_model.needsPolling())
        m_timer.TmrStart(this, kPollMs, 0);
}

void MasterVolume::systemChanged()
{
    // Cleared before reading, so that a change arriving during the read is announced again.
    m_changePending.store(false);
    // Hidden, the change waits for the next show, which reads the system anyway.
    if (isVisible())
        m_model.poll();
}

void MasterVolume::hideEvent(QHideEvent*)
{
    // Also sent, spontaneously, when the window is minimised: nobody sees the bar then, and a
    // poll twenty times a second would only keep the processor awake.
    m_timer.TmrStop();
}

void MasterVolume::iTimer_Proc(long, long)
{
    if (!isVisible()) {
        m_timer.TmrStop();
        return;
    }
    if (QWidget* w = window(); w && w->isMinimized()) {
        // Not every platform hides a minimised window's widgets; its restoring is watched
        // instead, to go on from there.
        m_timer.TmrStop();
        w->installEventFilter(this);
        return;
    }
    m_model.poll();
}

bool MasterVolume::eventFilter(QObject* watched, QEvent* event)
{
    QWidget* w = window();
    if (watched == w && (event->type() == QEvent::WindowStateChange || event->type() == QEvent::Show)
        && !w->isMinimized() && isVisible() && !m_timer.running() && m_model.show()) {
        w->removeEventFilter(this);
        follow();
    }
    return QWidget::eventFilter(watched, event);
}

void MasterVolume::paintEvent(QPaintEvent*)
{
    const auto f = m_model.face();
    QPainter p(this);
    p.fillRect(rect(), toQColor(f.background));
    QPen pen;
    pen.setWidth(1);
    pen.setCosmetic(true);
    for (const auto& line : f.lines) {
        pen.setColor(toQColor(line.color));
        p.setPen(pen);
        p.drawLine(line.x1, line.y1, line.x2, line.y2);
    }
    p.drawImage(f.knobX, f.knobY, m_knob);
    if (focusFrameShown())
        FocusFrame::paint(p, rect(), palette().color(foregroundRole()), 0);
}

QString MasterVolume::toolTipText() const
{
    return tr("Volume:  %1%").arg(m_model.value());
}

void MasterVolume::focusInEvent(QFocusEvent* e)
{
    m_focus.focusIn(e->reason());
    update();
}

void MasterVolume::focusOutEvent(QFocusEvent*)
{
    m_focus.focusOut();
    update();
}

void MasterVolume::mousePressEvent(QMouseEvent* e)
{
    const int button = buttonOf(e->button());
    emit MouseDown(button);
    const QPoint pos = e->position().toPoint();
    m_model.press(button, pos.x(), pos.y());
}

void MasterVolume::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    m_model.move(pos.x(), pos.y());
}

void MasterVolume::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        m_model.release();
    emit MouseUp(buttonOf(e->button()));
}

} // namespace sonaveil::controls

namespace sonaveil::controls {

void MasterVolume::keyPressEvent(QKeyEvent* e)
{
    if (m_focus.keyPressed())
        update();
    switch (e->key()) {
    case Qt::Key_Right:
    case Qt::Key_Up: m_model.stepBy(1); break;
    case Qt::Key_Left:
    case Qt::Key_Down: m_model.stepBy(-1); break;
    case Qt::Key_PageUp: m_model.stepBy(10); break;
    case Qt::Key_PageDown: m_model.stepBy(-10); break;
    case Qt::Key_Home: m_model.stepBy(-100); break;
    case Qt::Key_End: m_model.stepBy(100); break;
    case Qt::Key_M:
        if (m_model.enabled())
            m_model.setMute(!m_model.mute());
        break;
    default: QWidget::keyPressEvent(e); return;
    }
    e->accept();
}

void MasterVolume::wheelEvent(QWheelEvent* e)
{
    const int notches = e->angleDelta().y() / 120;
    if (notches != 0)
        m_model.stepBy(notches * 5);
    e->accept();
}

} // namespace sonaveil::controls
