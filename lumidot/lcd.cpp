#include "lumidot/lcd.h"

#include "common/propertybag.h"
#include "lumidot/displaymodel.h"
#include "lumidot/lcdaccessible.h"

#include <QAccessible>
#include <QCursor>
#include <QDrag>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace sonaveil::lumidot {

namespace {

std::u16string toText(const QString& s)
{
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), std::size_t(s.size()));
}

QString fromText(const std::u16string& s)
{
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

PictureRef toPicture(const QImage& image)
{
    if (image.isNull())
        return nullptr;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    auto p = std::make_shared<lumidot::Picture>();
    p->width = rgb.width();
    p->height = rgb.height();
    p->pixels.resize(std::size_t(p->width) * p->height);
    for (int y = 0; y < p->height; ++y)
        std::memcpy(&p->pixels[std::size_t(y) * p->width], rgb.constScanLine(y), std::size_t(p->width) * 4);
    return p;
}

QImage toImage(const PictureRef& p)
{
    if (!p || p->width <= 0 || p->height <= 0)
        return {};
    QImage image(p->width, p->height, QImage::Format_RGB32);
    for (int y = 0; y < p->height; ++y)
        std::memcpy(image.scanLine(y), &p->pixels[std::size_t(y) * p->width], std::size_t(p->width) * 4);
    return image;
}

// Shift state as the events carry it: 1 Shift, 2 Ctrl, 4 Alt.
int shiftOf(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

// Buttons: 1 left, 2 right, 4 middle.
int buttonsOf(Qt::MouseButtons b)
{
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}

// The key code of the events: letters and digits are their capital character codes, the
// others the classic virtual-key numbers.
int keyCodeOf(int key)
{
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9) || key == Qt::Key_Space)
        return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 0x70 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 0x09;
    case Qt::Key_Return: case Qt::Key_Enter: return 0x0D;
    case Qt::Key_Shift: return 0x10;
    case Qt::Key_Control: return 0x11;
    case Qt::Key_Alt: return 0x12;
    case Qt::Key_Pause: return 0x13;
    case Qt::Key_CapsLock: return 0x14;
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    default: return key & 0xFFFF;
    }
}

} // namespace

// Carries the model's notices to the widget.
class LCD::Bridge : public DisplayListener {
public:
    explicit Bridge(LCD& lcd) : m_lcd(lcd) {}
    void propertyChanged(std::string_view name) override
    {
        emit m_lcd.propertyChanged(QString::fromLatin1(name.data(), qsizetype(name.size())));
    }
    void resizeSurface(int width, int height) override
    {
        m_lcd.updateGeometry();
        m_lcd.resize(width, height);
    }
    void present(int x, int y, int width, int height) override
    {
        m_lcd.update(x, y, width, height);
        m_lcd.announceText();
    }
    void sizeChanged() override { emit m_lcd.SizeChanged(); }
    void colorChanged(LCDColor which, ColorValue color) override { emit m_lcd.ColorChanged(int(which), uint(color)); }
    void animationComplete(int lineNumber) override { emit m_lcd.AnimationComplete(lineNumber); }
    void timerChanged(int index, bool enabled, int intervalMs) override
    {
        QTimer& timer = m_lcd.m_timers[std::size_t(index)];
        if (!enabled) {
            timer.stop();
            return;
        }
        timer.setInterval(intervalMs);
        timer.start();
    }

private:
    LCD& m_lcd;
};

LCD::LCD(QWidget* parent)
    : QWidget(parent), m_model(std::make_unique<DisplayModel>()), m_bridge(std::make_unique<Bridge>(*this))
{
    installLcdAccessibility();
    setObjectName(QStringLiteral("LCD"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
    for (int i = 0; i < 4; ++i) {
        QTimer& timer = m_timers[std::size_t(i)];
        timer.setObjectName(QStringLiteral("AniTimer%1").arg(i));
        timer.setInterval(100);
        connect(&timer, &QTimer::timeout, this, [this, i] { m_model->tick(i); });
    }
    m_model->setListener(m_bridge.get());
    m_model->ResizeDisplay();
}

LCD::~LCD()
{
    for (QTimer& timer : m_timers)
        timer.stop();
    m_model->setListener(nullptr);
}

void LCD::LoadColorPallete() { m_model->LoadColorPallete(); }
void LCD::CLS() { m_model->CLS(); }
QString LCD::GetDisplay(int LineNumber) const { return fromText(m_model->GetDisplay(LineNumber)); }
void LCD::SetAni_Animation(int LineNumber, int Animation) { m_model->SetAni_Animation(LineNumber, Animation); }
void LCD::SetAni_SkipSpace(int LineNumber, bool Setting) { m_model->SetAni_SkipSpace(LineNumber, Setting); }
void LCD::SetAni_LoopCount(int LineNumber, int Count) { m_model->SetAni_LoopCount(LineNumber, Count); }
int LCD::SetAni_Timing(int LineNumber, int Timing_In_ms) { return m_model->SetAni_Timing(LineNumber, Timing_In_ms); }
void LCD::SetAni_Text(int LineNumber, const QString& Text) { m_model->SetAni_Text(LineNumber, toText(Text)); }
void LCD::SetAni_RightToLeft(int LineNumber, bool Setting) { m_model->SetAni_RightToLeft(LineNumber, Setting); }
void LCD::SetAnimationOpts(int LineNumber, int Animation, int Timing_In_ms, bool RightToLeft, bool SkipSpace,
                           int LoopCount, int* usedTiming, int* usedLoopCount)
{
    m_model->SetAnimationOpts(LineNumber, Animation, Timing_In_ms, RightToLeft, SkipSpace, LoopCount, usedTiming,
                              usedLoopCount);
}
void LCD::SetDisplay(int LineNumber, const QString& Text) { m_model->SetDisplay(LineNumber, toText(Text)); }
void LCD::SetAnimation(int LineNumber, const QString& Text) { m_model->SetAnimation(LineNumber, toText(Text)); }
void LCD::StartAnimation(int LineNumber) { m_model->StartAnimation(LineNumber); }
void LCD::StopAnimation(int LineNumber) { m_model->StopAnimation(LineNumber); }
void LCD::WrapDisplay(const QString& Text) { m_model->WrapDisplay(toText(Text)); }
void LCD::Refresh() { m_model->Refresh(); }

uint LCD::ColorLCDon() const { return m_model->ColorLCDon(); }
void LCD::setColorLCDon(uint color) { m_model->setColorLCDon(color); }
bool LCD::BorderStyle() const { return m_model->BorderStyle(); }
void LCD::setBorderStyle(bool on) { m_model->setBorderStyle(on); }
uint LCD::ColorBacklight() const { return m_model->ColorBacklight(); }
void LCD::setColorBacklight(uint color) { m_model->setColorBacklight(color); }
uint LCD::ColorLCDoff() const { return m_model->ColorLCDoff(); }
void LCD::setColorLCDoff(uint color) { m_model->setColorLCDoff(color); }
int LCD::DisplayType() const { return m_model->DisplayType(); }
void LCD::setDisplayType(int type) { m_model->setDisplayType(type); }
QImage LCD::LCDoffPicture() const { return toImage(m_model->LCDoffPicture()); }
void LCD::setLCDoffPicture(const QImage& picture) { m_model->setLCDoffPicture(toPicture(picture)); }
QImage LCD::LCDonPicture() const { return toImage(m_model->LCDonPicture()); }
void LCD::setLCDonPicture(const QImage& picture) { m_model->setLCDonPicture(toPicture(picture)); }
int LCD::LCDRow() const { return m_model->LCDRow(); }
void LCD::setLCDRow(int rows) { m_model->setLCDRow(rows); }
int LCD::LCDCol() const { return m_model->LCDCol(); }
void LCD::setLCDCol(int cols) { m_model->setLCDCol(cols); }
int LCD::ColorPresetPalette() const { return m_model->ColorPresetPalette(); }
void LCD::setColorPresetPalette(int preset) { m_model->setColorPresetPalette(preset); }
int LCD::RowBorderSize() const { return m_model->RowBorderSize(); }
void LCD::setRowBorderSize(int value) { m_model->setRowBorderSize(value); }
int LCD::ColBorderSize() const { return m_model->ColBorderSize(); }
void LCD::setColBorderSize(int value) { m_model->setColBorderSize(value); }
int LCD::Rowspace() const { return m_model->Rowspace(); }
void LCD::setRowspace(int value) { m_model->setRowspace(value); }
int LCD::Colspace() const { return m_model->Colspace(); }
void LCD::setColspace(int value) { m_model->setColspace(value); }
int LCD::PaletteMode() const { return m_model->PaletteMode(); }
void LCD::setPaletteMode(int mode) { m_model->setPaletteMode(mode); }
QImage LCD::Palette() const { return toImage(m_model->Palette()); }
void LCD::setPalette(const QImage& palette) { m_model->setPalette(toPicture(palette)); }
uint LCD::ColorBlend() const { return m_model->ColorBlend(); }
void LCD::setColorBlend(uint color) { m_model->setColorBlend(color); }
bool LCD::AutoBlend() const { return m_model->AutoBlend(); }
void LCD::setAutoBlend(bool on) { m_model->setAutoBlend(on); }
int LCD::OLEDropMode() const { return m_model->OLEDropMode(); }
void LCD::setOLEDropMode(int mode)
{
    m_model->setOLEDropMode(mode);
    setAcceptDrops(mode != 0);
}
QImage LCD::Picture() const { return toImage(m_model->BackgroundPicture()); }
void LCD::setPicture(const QImage& picture) { m_model->setBackgroundPicture(toPicture(picture)); }

void LCD::OLEDrag()
{
    auto* mime = new QMimeData;
    QStringList lines;
    for (int i = 1; i <= m_model->LCDRow(); ++i)
        lines << GetDisplay(i);
    mime->setText(lines.join(QLatin1Char('\n')));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(QPixmap::fromImage(image()).scaledToWidth(std::min(width(), 200)));
    emit OLEStartDrag();
    const Qt::DropAction action = drag->exec(Qt::CopyAction);
    emit OLECompleteDrag(action == Qt::CopyAction ? 1 : 0);
}

void LCD::PopupMenu(QMenu* Menu, int Flags, std::optional<QPointF> at, QAction* DefaultMenu)
{
    if (!Menu)
        return;
    if (DefaultMenu)
        Menu->setDefaultAction(DefaultMenu);
    const QPoint where = at ? mapToGlobal(at->toPoint()) : QCursor::pos();
    Menu->popup(where);
}

QString LCD::visibleText() const
{
    QStringList lines;
    for (int i = 1; i <= m_model->LCDRow(); ++i) {
        QString line = GetDisplay(i).left(m_model->LCDCol());
        while (!line.isEmpty() && line.back().isSpace())
            line.chop(1);
        lines << line;
    }
    while (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines.join(QLatin1Char('\n'));
}

void LCD::announceText()
{
    if (!lcdAnnouncing())
        return;
    const QString text = visibleText();
    if (text == m_announcedText)
        return;
    m_announcedText = text;
    QAccessibleEvent event(this, accessibleName().isEmpty() ? QAccessible::NameChanged : QAccessible::DescriptionChanged);
    sendLcdAnnouncement(event);
}

void LCD::writeProperties(PropertyBag& bag) const
{
    m_model->writeProperties(bag);
}

void LCD::readProperties(const PropertyBag& bag)
{
    m_model->readProperties(bag);
    setAcceptDrops(m_model->OLEDropMode() != 0);
    m_model->ResizeDisplay();
}

QImage LCD::image() const
{
    const DisplayModel& m = *m_model;
    return QImage(reinterpret_cast<const uchar*>(m.image()), m.width(), m.height(), m.width() * 4,
                  QImage::Format_RGB32)
        .copy();
}

QSize LCD::sizeHint() const
{
    return {m_model->computedWidth(), m_model->computedHeight()};
}

QSize LCD::minimumSizeHint() const
{
    return sizeHint();
}

void LCD::paintEvent(QPaintEvent* event)
{
    const DisplayModel& m = *m_model;
    const QImage shown(reinterpret_cast<const uchar*>(m.image()), m.width(), m.height(), m.width() * 4,
                       QImage::Format_RGB32);
    QPainter painter(this);
    const QRect area = event->rect();
    painter.drawImage(area.topLeft(), shown, area);
}

void LCD::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_model->resizing())
        return;
    if (size() != sizeHint())
        m_model->ResizeDisplay();
}

void LCD::mousePressEvent(QMouseEvent* event)
{
    m_pressed = true;
    const QPointF p = event->position();
    emit MouseDown(buttonsOf(event->button()), shiftOf(event->modifiers()), float(p.x()), float(p.y()));
}

void LCD::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    emit MouseUp(buttonsOf(event->button()), shiftOf(event->modifiers()), float(p.x()), float(p.y()));
    if (m_pressed && rect().contains(p.toPoint()))
        emit Click();
    m_pressed = false;
}

void LCD::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    emit MouseMove(buttonsOf(event->buttons()), shiftOf(event->modifiers()), float(p.x()), float(p.y()));
}

void LCD::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    emit MouseDown(buttonsOf(event->button()), shiftOf(event->modifiers()), float(p.x()), float(p.y()));
    emit DblClick();
}

void LCD::keyPressEvent(QKeyEvent* event)
{
    emit KeyDown(keyCodeOf(event->key()), shiftOf(event->modifiers()));
    const QString text = event->text();
    if (text.size() == 1 && text.at(0).unicode() < 256 && !(event->modifiers() & Qt::AltModifier))
        emit KeyPress(text.at(0).unicode());
}

void LCD::keyReleaseEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat())
        emit KeyUp(keyCodeOf(event->key()), shiftOf(event->modifiers()));
}

void LCD::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_model->OLEDropMode() == 0)
        return;
    event->acceptProposedAction();
    emit OLEDragOver(float(event->position().x()), float(event->position().y()), 0);
}

void LCD::dragMoveEvent(QDragMoveEvent* event)
{
    if (m_model->OLEDropMode() == 0)
        return;
    event->acceptProposedAction();
    emit OLEDragOver(float(event->position().x()), float(event->position().y()), 2);
}

void LCD::dragLeaveEvent(QDragLeaveEvent*)
{
    if (m_model->OLEDropMode() != 0)
        emit OLEDragOver(-1.0f, -1.0f, 1);
}

void LCD::dropEvent(QDropEvent* event)
{
    if (m_model->OLEDropMode() == 0)
        return;
    event->acceptProposedAction();
    emit OLEDragDrop(float(event->position().x()), float(event->position().y()));
}

QWidget* createControl(std::string_view identifier, QWidget* parent, const PropertyBag* stored)
{
    const QString id = QString::fromUtf8(identifier.data(), qsizetype(identifier.size()));
    if (id.compare(QLatin1String("Dotrix.LCD"), Qt::CaseInsensitive) != 0)
        return nullptr;
    auto* lcd = new LCD(parent);
    if (stored)
        lcd->readProperties(*stored);
    return lcd;
}

} // namespace sonaveil::lumidot
