#include "controls/ucsliderwidget.h"

#include "controls/accessibility.h"
#include "controls/paintqt.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace sonaveil::controls {

UcSlider::UcSlider(const QString& instanceName, QWidget* parent)
    : QWidget(parent), m_relay(this), m_model(&m_relay)
{
    installAccessibility();
    setObjectName(instanceName);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void UcSlider::load(const PropertyBag& bag)
{
    m_model.load(bag);
    setEnabled(m_model.enabled());
    setSizePolicy(vertical() ? QSizePolicy::Fixed : QSizePolicy::Expanding,
                  vertical() ? QSizePolicy::Expanding : QSizePolicy::Fixed);
    updateGeometry();
}

void UcSlider::setVertical(bool on)
{
    m_model.setOrientation(on ? UcSliderModel::Orientation::Vertical : UcSliderModel::Orientation::Horizontal);
    setSizePolicy(on ? QSizePolicy::Fixed : QSizePolicy::Expanding, on ? QSizePolicy::Expanding : QSizePolicy::Fixed);
    updateGeometry();
}

QSize UcSlider::sizeHint() const
{
    return vertical() ? QSize(UcSliderModel::kThumbThickness + 4, 100) : QSize(100, UcSliderModel::kThumbThickness + 4);
}

QSize UcSlider::minimumSizeHint() const
{
    const int t = UcSliderModel::kThumbThickness;
    const int l = UcSliderModel::kThumbLength * 2;
    return vertical() ? QSize(t, l) : QSize(l, t);
}

void UcSlider::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QtSurface surface(p, width(), height());
    m_model.paint(surface, systemColorsOf(palette()), focusFrameShown(), fromQColor(palette().color(QPalette::Highlight)));
    if (focusFrameShown())
        FocusFrame::paint(p, rect(), palette().color(foregroundRole()), 0);
}

void UcSlider::announceValue()
{
    controls::announceValue(this, m_model.value());
}

void UcSlider::focusInEvent(QFocusEvent* e)
{
    m_focus.focusIn(e->reason());
    update();
}

void UcSlider::focusOutEvent(QFocusEvent*)
{
    m_focus.focusOut();
    update();
}

void UcSlider::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint pos = e->position().toPoint();
    m_model.mousePress(pos.x(), pos.y(), width(), height());
}

void UcSlider::mouseMoveEvent(QMouseEvent* e)
{
    if (!(e->buttons() & Qt::LeftButton))
        return;
    const QPoint pos = e->position().toPoint();
    m_model.mouseMove(pos.x(), pos.y(), width(), height());
}

void UcSlider::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint pos = e->position().toPoint();
    m_model.mouseRelease(pos.x(), pos.y(), width(), height());
}

void UcSlider::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint pos = e->position().toPoint();
    m_model.doubleClick(pos.x(), pos.y(), width(), height());
}

void UcSlider::keyPressEvent(QKeyEvent* e)
{
    if (m_focus.keyPressed())
        update();
    if (!m_model.keyPress(keyCodeOf(e)))
        QWidget::keyPressEvent(e);
}

void UcSlider::wheelEvent(QWheelEvent* e)
{
    const QPoint d = e->angleDelta();
    const int delta = std::abs(d.y()) >= std::abs(d.x()) ? d.y() : -d.x();
    if (!isEnabled() || delta == 0) {
        e->ignore();
        return;
    }
    m_model.wheel(delta);
    e->accept();
}

void UcSlider::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange)
        m_model.setEnabled(isEnabled());
    else if (e->type() == QEvent::PaletteChange)
        update();
    QWidget::changeEvent(e);
}

} // namespace sonaveil::controls
