#include "controls/multibuttonwidget.h"

#include "controls/accessibility.h"
#include "controls/paintqt.h"

#include <QApplication>
#include <QBitmap>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

namespace sonaveil::controls {

namespace {

Qt::CursorShape cursorShapeOf(int pointer)
{
    switch (pointer) {
    case 2: return Qt::CrossCursor;
    case 3: return Qt::IBeamCursor;
    case 5:
    case 15: return Qt::SizeAllCursor;
    case 6: return Qt::SizeBDiagCursor;
    case 7: return Qt::SizeVerCursor;
    case 8: return Qt::SizeFDiagCursor;
    case 9: return Qt::SizeHorCursor;
    case 10: return Qt::UpArrowCursor;
    case 11: return Qt::WaitCursor;
    case 12: return Qt::ForbiddenCursor;
    case 13: return Qt::BusyCursor;
    case 14: return Qt::WhatsThisCursor;
    case 99: return Qt::PointingHandCursor;
    default: return Qt::ArrowCursor;
    }
}

// The control's window shape as a region.
QRegion shapeRegion(int w, int h, int corner)
{
    if (corner <= 0)
        return QRegion(0, 0, w, h);
    QRegion r;
    for (int y = 0; y < h; ++y) {
        const int inset = roundedInset(corner, std::min(y, h - 1 - y));
        r += QRect(inset, y, w - 2 * inset, 1);
    }
    return r;
}

} // namespace

class Multibutton::Bridge : public MultibuttonHost {
public:
    explicit Bridge(Multibutton* w) : m_w(w) {}
    void Click() override { emit m_w->Click(); }
    void DblClick() override { emit m_w->DblClick(); }
    void MouseEnter() override { emit m_w->MouseEnter(); }
    void MouseLeave() override { emit m_w->MouseLeave(); }
    void MouseMove(MouseArgs& a) override { emit m_w->MouseMove(a.button, a.shift, a.x, a.y); }
    void MouseUp(MouseArgs& a) override { emit m_w->MouseUp(a.button, a.shift, a.x, a.y); }
    void MouseDown(MouseArgs& a) override { emit m_w->MouseDown(a.button, a.shift, a.x, a.y); }
    void KeyDown(int& k, int& s) override { emit m_w->KeyDown(k, s); }
    void KeyUp(int& k, int& s) override { emit m_w->KeyUp(k, s); }
    void redraw() override
    {
        m_w->update();
        m_w->announceChanges();
    }
    void reshape() override { m_w->reshape(); }
    void moveFocus(bool forward) override { m_w->focusNextPrevChild(forward); }
    // Qt already routes the moves of a pressed button to it; nothing to grab.
    void setCapture(bool) override {}

private:
    Multibutton* m_w;
};

Multibutton::Multibutton(const QString& instanceName, QWidget* parent)
    : PaintedButton(parent), m_bridge(std::make_unique<Bridge>(this))
{
    setObjectName(instanceName);
    setAttribute(Qt::WA_Hover, false);
    setMinimumSize(MultibuttonModel::kMinimumSize, MultibuttonModel::kMinimumSize);
    m_model.setHost(m_bridge.get());
    m_model.initNew(instanceName.toStdString());
    updateShortcut();
    resetAnnounced();
}

Multibutton::~Multibutton()
{
    m_model.setHost(nullptr);
}

void Multibutton::load(const PropertyBag& bag)
{
    const FontSpec container = parentWidget() ? fontSpecOf(parentWidget()->font()) : FontSpec{};
    m_model.load(bag, container);
    setEnabled(m_model.enabled());
    updateShortcut();
    applyPointer();
    updateGeometry();
}

void Multibutton::save(PropertyBag& bag) const
{
    const FontSpec container = parentWidget() ? fontSpecOf(parentWidget()->font()) : FontSpec{};
    m_model.save(bag, container);
}

void Multibutton::setCaption(const QString& c)
{
    m_model.setCaption(c.toStdString());
    updateShortcut();
    updateGeometry();
}

void Multibutton::setMousePointer(int shape)
{
    m_model.setMousePointer(shape);
    applyPointer();
}

Picture Multibutton::pictureFromQImage(const QImage& image)
{
    return pictureFromImage(image);
}

void Multibutton::applyPointer()
{
    const int p = m_model.mousePointer();
    if (p == 0) {
        unsetCursor();
    } else if (p == 99 && !m_model.mouseIcon().empty()) {
        setCursor(QCursor(QPixmap::fromImage(imageFromPicture(m_model.mouseIcon()))));
    } else {
        setCursor(cursorShapeOf(p));
    }
}

void Multibutton::reshape()
{
    const int corner = m_model.shapeCorner();
    if (corner <= 0)
        clearMask();
    else
        setMask(shapeRegion(width(), height(), corner));
}

QSize Multibutton::contentSize() const
{
    const QFontMetrics fm(resolveFont(m_model.font()));
    const QString text = QString::fromStdString(m_model.caption());
    int w = fm.horizontalAdvance(text) + 16;
    int h = fm.height() + 10;
    if (!m_model.picture().empty()) {
        w += m_model.picture().width + 4;
        h = std::max(h, m_model.picture().height + 8);
    }
    return {w, h};
}

QSize Multibutton::sizeHint() const
{
    const QSize content = contentSize();
    return {std::max(content.width(), 75), std::max(content.height(), 23)};
}

QSize Multibutton::minimumSizeHint() const
{
    return {MultibuttonModel::kMinimumSize, MultibuttonModel::kMinimumSize};
}

bool Multibutton::event(QEvent* e)
{
    // Qt passes the activation of the window down to every visible child.
    if (e->type() == QEvent::WindowActivate)
        m_model.parentActivated(true);
    else if (e->type() == QEvent::WindowDeactivate)
        m_model.parentActivated(false);
    if (isAccessKey(e)) {
        m_model.accessKeyPressed(std::toupper(static_cast<unsigned char>(m_model.accessKey())));
        return true;
    }
    return QWidget::event(e);
}

void Multibutton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QtSurface surface(p, width(), height());
    SystemColors sys = systemColorsOf(palette());
    // Styles that stand on the container draw its background behind the face.
    if (parentWidget())
        sys.window = fromQColor(parentWidget()->palette().color(parentWidget()->backgroundRole()));
    m_model.paint(surface, sys);
    // The built-in looks draw their own dotted rectangle; style 7 and a switched-off rectangle
    // still show the keyboard focus.
    const ButtonLook look = m_model.look();
    const bool ownRect = m_model.showFocusRect() && look != ButtonLook::TwoBands && look != ButtonLook::Pill;
    if (focusFrameShown() && !ownRect)
        FocusFrame::paint(p, rect(), toQColor(sys.translate(m_model.foreColor())), 2);
}

PaintedButton::Announced Multibutton::announcement() const
{
    return {caption(), m_model.checkBoxMode() && m_model.value(), m_model.visualState() == VisualState::Pressed};
}

void Multibutton::resizeEvent(QResizeEvent*)
{
    reshape();
    update();
}

void Multibutton::showEvent(QShowEvent*)
{
    if (m_model.parentActive() != isActiveWindow())
        m_model.parentActivated(isActiveWindow());
}

void Multibutton::enterEvent(QEnterEvent*)
{
    m_model.hookedMouseMove();
}

void Multibutton::leaveEvent(QEvent*)
{
    m_model.hookedMouseLeave();
}

void Multibutton::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    const bool inside = rect().contains(pos);
    if (inside && !m_model.mouseOver())
        m_model.hookedMouseMove();
    else if (!inside && m_model.mouseOver())
        m_model.hookedMouseLeave();
    m_model.mouseMove(mouseButtonsOf(e->buttons()), shiftStateOf(e->modifiers()), float(pos.x()),
                      float(pos.y()), inside);
}

void Multibutton::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    trackPress(e);
    if (rect().contains(pos) && !m_model.mouseOver())
        m_model.hookedMouseMove();
    m_model.mousePress(mouseButtonOf(e->button()), shiftStateOf(e->modifiers()), float(pos.x()),
                       float(pos.y()));
}

void Multibutton::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    trackRelease(e);
    m_model.mouseRelease(mouseButtonOf(e->button()), shiftStateOf(e->modifiers()), float(pos.x()),
                         float(pos.y()), width(), height());
    // The look follows the cursor once the button is up, as a move would.
    if (e->buttons() == Qt::NoButton)
        m_model.refreshHover(rect().contains(pos));
}

void Multibutton::doubleClicked(bool pressDelivered)
{
    m_model.doubleClick(!pressDelivered);
}

void Multibutton::keyPressed(QKeyEvent*, int keyCode, int shift)
{
    m_model.keyPress(keyCode, shift);
}

void Multibutton::keyReleased(int keyCode, int shift)
{
    m_model.keyRelease(keyCode, shift);
}

bool Multibutton::usesKey(int key) const
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || PaintedButton::usesKey(key);
}

void Multibutton::focusChanged(bool in)
{
    if (in)
        m_model.focusIn();
    else
        m_model.focusOut();
}

void Multibutton::changeEvent(QEvent* e)
{
    switch (e->type()) {
    case QEvent::EnabledChange:
        if (m_model.enabled() != isEnabled())
            m_model.setEnabled(isEnabled());
        break;
    case QEvent::PaletteChange:
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(e);
}

} // namespace sonaveil::controls
