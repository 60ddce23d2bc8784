#include "controls/chameleonbuttonwidget.h"

#include "controls/accessibility.h"
#include "controls/paintqt.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

namespace sonaveil::controls {

class ChameleonButton::Bridge : public ChameleonButtonHost {
public:
    explicit Bridge(ChameleonButton* w) : m_w(w) {}
    void Click() override { emit m_w->Click(); }
    void MouseDown(MouseArgs& a) override { emit m_w->MouseDown(a.button, a.shift, a.x, a.y); }
    void MouseMove(MouseArgs& a) override { emit m_w->MouseMove(a.button, a.shift, a.x, a.y); }
    void MouseUp(MouseArgs& a) override { emit m_w->MouseUp(a.button, a.shift, a.x, a.y); }
    void KeyPress(int& k) override { emit m_w->KeyPress(k); }
    void KeyDown(int& k, int& s) override { emit m_w->KeyDown(k, s); }
    void KeyUp(int& k, int& s) override { emit m_w->KeyUp(k, s); }
    void MouseOver() override { emit m_w->MouseOver(); }
    void MouseOut() override { emit m_w->MouseOut(); }
    void redraw() override
    {
        m_w->update();
        m_w->announceChanges();
    }
    // The model would poll the pointer while it hovers; the widget hears of its leaving instead
    // (leaveEvent, hideEvent), so nothing wakes the program while the pointer rests on it.
    void startOverTimer() override {}
    void stopOverTimer() override {}
    void moveFocus(bool forward) override { m_w->focusNextPrevChild(forward); }
    void setCapture(bool) override {}
    void pointerChanged() override { m_w->applyPointer(); }

private:
    ChameleonButton* m_w;
};

ChameleonButton::ChameleonButton(const QString& instanceName, QWidget* parent)
    : PaintedButton(parent), m_bridge(std::make_unique<Bridge>(this))
{
    setObjectName(instanceName);
    m_model.setHost(m_bridge.get());
    syncColors();
    m_model.initNew(instanceName.toStdString(),
                    parent ? fontSpecOf(parent->font()) : fontSpecOf(QApplication::font()));
    updateShortcut();
    resetAnnounced();
}

ChameleonButton::~ChameleonButton()
{
    m_model.setHost(nullptr);
}

void ChameleonButton::load(const PropertyBag& bag)
{
    syncColors();
    m_model.load(bag, fontSpecOf(font()));
    setEnabled(m_model.enabled());
    updateShortcut();
    reshape();
}

void ChameleonButton::setCaption(const QString& c)
{
    m_model.setCaption(c.toStdString());
    updateShortcut();
}

void ChameleonButton::pointerGone()
{
    if (m_model.mouseOver())
        m_model.overTimerTick(false);
}

void ChameleonButton::syncColors()
{
    m_model.setSystemColors(systemColorsOf(palette()));
    ChameleonButtonModel::Ambient a;
    if (const QWidget* p = parentWidget()) {
        a.back = fromQColor(p->palette().color(p->backgroundRole()));
        a.fore = fromQColor(p->palette().color(p->foregroundRole()));
    }
    m_model.setAmbient(a);
}

void ChameleonButton::applyPointer()
{
    if (m_model.handPointer()) {
        setCursor(Qt::PointingHandCursor);
        return;
    }
    const int p = m_model.mousePointer();
    if (p == 99 && !m_model.mouseIcon().empty())
        setCursor(QCursor(QPixmap::fromImage(imageFromPicture(m_model.mouseIcon()))));
    else if (p == 0)
        unsetCursor();
    else
        setCursor(Qt::ArrowCursor);
}

void ChameleonButton::reshape()
{
    const auto rows = m_model.shape(width(), height());
    QRegion r;
    for (const auto& row : rows)
        r += QRect(row.x, row.y, row.w, row.h);
    if (rows.size() == std::size_t(height()) && !rows.empty() && r == QRegion(rect()))
        clearMask();
    else
        setMask(r);
}

QSize ChameleonButton::sizeHint() const
{
    const QFontMetrics fm(resolveFont(m_model.font()));
    const QString text = QString::fromStdString(m_model.caption());
    return {std::max(75, fm.horizontalAdvance(text) + 20), std::max(25, fm.height() + 12)};
}

bool ChameleonButton::event(QEvent* e)
{
    if (isAccessKey(e)) {
        m_model.accessKey();
        return true;
    }
    return QWidget::event(e);
}

void ChameleonButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QtSurface surface(p, width(), height());
    m_model.paint(surface);
    // With its own rectangle switched off the button still shows the keyboard focus.
    if (!m_model.showFocusRect() && hasFocus() && focusVisible())
        FocusFrame::paint(p, rect(), toQColor(m_model.colors().text), 2);
}

PaintedButton::Announced ChameleonButton::announcement() const
{
    return {caption(), m_model.checkBoxBehaviour() && m_model.value(), m_model.drawnState() == 2};
}

void ChameleonButton::resizeEvent(QResizeEvent*)
{
    m_model.resized(width(), height());
    reshape();
}

void ChameleonButton::showEvent(QShowEvent*)
{
    syncColors();
    m_model.shown(width(), height());
}

void ChameleonButton::hideEvent(QHideEvent*)
{
    // A hidden button cannot be under the pointer, whether or not a Leave comes.
    pointerGone();
    m_model.hidden();
}

void ChameleonButton::leaveEvent(QEvent*)
{
    // Sent when the pointer moves off the button, onto a window over it, or out of the window.
    pointerGone();
}

void ChameleonButton::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    m_model.mouseMove(mouseButtonsOf(e->buttons()), shiftStateOf(e->modifiers()), float(pos.x()),
                      float(pos.y()), rect().contains(pos));
}

void ChameleonButton::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    trackPress(e);
    m_model.mousePress(mouseButtonOf(e->button()), shiftStateOf(e->modifiers()), float(pos.x()),
                       float(pos.y()));
}

void ChameleonButton::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    trackRelease(e);
    m_model.mouseRelease(mouseButtonOf(e->button()), shiftStateOf(e->modifiers()), float(pos.x()),
                         float(pos.y()));
    if (e->button() == Qt::LeftButton && rect().contains(pos))
        m_model.click();
}

void ChameleonButton::doubleClicked(bool pressDelivered)
{
    if (!pressDelivered)
        m_model.doubleClick();
}

void ChameleonButton::keyPressed(QKeyEvent* e, int keyCode, int shift)
{
    m_model.keyPress(keyCode, shift);
    const QString text = e->text();
    if (!text.isEmpty() && text.at(0).unicode() < 256)
        m_model.characterKey(text.at(0).unicode());
}

void ChameleonButton::keyReleased(int keyCode, int shift)
{
    m_model.keyRelease(keyCode, shift);
}

void ChameleonButton::focusChanged(bool in)
{
    m_model.focusChanged(in);
}

void ChameleonButton::changeEvent(QEvent* e)
{
    switch (e->type()) {
    case QEvent::EnabledChange:
        if (m_model.enabled() != isEnabled())
            m_model.setEnabled(isEnabled());
        break;
    case QEvent::PaletteChange: {
        syncColors();
        ChameleonButtonModel::Ambient a;
        if (const QWidget* p = parentWidget()) {
            a.back = fromQColor(p->palette().color(p->backgroundRole()));
            a.fore = fromQColor(p->palette().color(p->foregroundRole()));
        }
        m_model.ambientChanged(a);
        break;
    }
    default:
        break;
    }
    QWidget::changeEvent(e);
}

} // namespace sonaveil::controls
