#include "controls/timecontrol.h"

#include "controls/accessibility.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace sonaveil::controls {
namespace {

constexpr int kTwipsPerPixel = 15;

} // namespace

TimeSpinButton::TimeSpinButton(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("UpDown1"));
    setFocusPolicy(Qt::NoFocus);
    m_repeat.setInterval(80);
    connect(&m_repeat, &QTimer::timeout, this, [this] {
        m_repeat.setInterval(80);
        step();
    });
}

void TimeSpinButton::step()
{
    if (m_pressed > 0)
        emit up();
    else if (m_pressed < 0)
        emit down();
}

void TimeSpinButton::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    m_pressed = e->position().y() < height() / 2.0 ? 1 : -1;
    update();
    step();
    m_repeat.start(400);
}

void TimeSpinButton::mouseReleaseEvent(QMouseEvent*)
{
    m_pressed = 0;
    m_repeat.stop();
    update();
}

void TimeSpinButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int half = height() / 2;
    const QRect upper(0, 0, width(), half);
    const QRect lower(0, half, width(), height() - half);
    for (int i = 0; i < 2; ++i) {
        QStyleOptionButton opt;
        opt.initFrom(this);
        opt.rect = i == 0 ? upper : lower;
        const bool down = (i == 0 && m_pressed > 0) || (i == 1 && m_pressed < 0);
        opt.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, this);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = opt.rect.adjusted(3, 1, -3, -1);
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &arrow, &p, this);
    }
}

TimeControl::TimeControl(QWidget* parent)
    : QWidget(parent)
    , m_text(new QLineEdit(this))
    , m_spin(new TimeSpinButton(this))
{
    installAccessibility();
    setObjectName(QStringLiteral("TimeControl1"));
    m_text->setObjectName(QStringLiteral("Text1"));
    // Every change goes through the model; the box itself never edits.
    m_text->setReadOnly(true);
    m_text->setContextMenuPolicy(Qt::NoContextMenu);
    m_text->setTextMargins(0, 0, 0, 0);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_text->installEventFilter(this);
    QFont small = font();
    small.setPointSizeF(8.0);
    m_text->setFont(small);
    setFocusProxy(m_text);
    setFocusPolicy(Qt::StrongFocus);

    const QLocale locale;
    m_model.setDesignators(locale.amText().toStdString(), locale.pmText().toStdString());
    m_model.onChange = [this] {
        m_text->setText(QString::fromStdString(m_model.text()));
        announceChange();
        emit Change();
    };
    m_model.onUpdate = [this] {
        showModel();
        announceChange();
    };
    connect(m_spin, &TimeSpinButton::up, this, [this] { m_model.spinUp(); });
    connect(m_spin, &TimeSpinButton::down, this, [this] { m_model.spinDown(); });

    m_text->setText(QString::fromStdString(m_model.text()));
    showModel();
}

void TimeControl::announceChange()
{
    if (!announcing())
        return;
    // The value a screen reader hears is the part being set; a new part is a new description.
    const int part = m_model.selectedPart();
    const int value = part == TimeControlModel::Hours ? m_model.H()
                    : part == TimeControlModel::Minutes ? m_model.Min()
                    : part == TimeControlModel::Seconds ? m_model.S() : (m_model.H() >= 12 ? 1 : 0);
    if (part != m_announcedPart) {
        m_announcedPart = part;
        announce(this, QAccessible::DescriptionChanged);
        announce(m_text, QAccessible::DescriptionChanged);
    }
    if (value != m_announcedValue) {
        m_announcedValue = value;
        announceValue(this, value);
        announceValue(m_text, value);
    }
}

QString TimeControl::text() const
{
    return m_text->text();
}

QSize TimeControl::sizeHint() const
{
    const int wanted = m_model.widthTwips() / kTwipsPerPixel;
    // The desktop's font may be wider than the one the width was chosen for: never cut the text.
    const QFontMetrics fm(m_text->font());
    const int needed = fm.horizontalAdvance(QString::fromStdString(m_model.text())) + 8 + m_spin->sizeHint().width();
    return {std::max(wanted, needed), std::max(TimeControlModel::kHeight / kTwipsPerPixel, fm.height() + 4)};
}

void TimeControl::showModel()
{
    const QString text = QString::fromStdString(m_model.text());
    if (m_text->text() != text)
        m_text->setText(text);
    m_text->setSelection(m_model.selectionStart(), m_model.selectionLength());
    const QSize hint = sizeHint();
    if (size() != hint) {
        setFixedSize(hint);
        updateGeometry();
    }
    layoutParts();
}

void TimeControl::layoutParts()
{
    const int spinWidth = m_spin->sizeHint().width();
    m_text->setGeometry(0, 0, std::max(0, width() - spinWidth), height());
    m_spin->setGeometry(width() - spinWidth, 0, spinWidth, height());
}

void TimeControl::resizeEvent(QResizeEvent*)
{
    layoutParts();
}

bool TimeControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_text)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto mods = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        switch (key->key()) {
        case Qt::Key_Tab:
            if (mods)
                return false;
            return !m_model.tabForward(); // a refused Tab is eaten
        case Qt::Key_Backtab:
            if (mods)
                return false;
            return !m_model.tabBackward();
        case Qt::Key_Left: m_model.keyDown(TimeControlModel::Key::Left); return true;
        case Qt::Key_Right: m_model.keyDown(TimeControlModel::Key::Right); return true;
        case Qt::Key_Up: m_model.keyDown(TimeControlModel::Key::Up); return true;
        case Qt::Key_Down: m_model.keyDown(TimeControlModel::Key::Down); return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            return false; // for the window's default and cancel buttons
        case Qt::Key_Backspace:
            m_model.typeChar(8);
            return true;
        default:
            break;
        }
        if (mods)
            return false; // shortcuts and access keys of the window
        const QString t = key->text();
        if (t.size() == 1)
            m_model.typeChar(t.at(0).unicode());
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return true;
        m_model.mousePressedAt(m_text->cursorPositionAt(mouse->position().toPoint()));
        return true;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        m_model.reselect();
        return true;
    case QEvent::MouseMove:
        return true; // no drag selection
    case QEvent::FocusIn: {
        // The caret where the focus finds it, before the box selects everything on Tab.
        const int caret = m_text->cursorPosition();
        static_cast<QObject*>(m_text)->event(event);
        m_model.focusIn(caret);
        showModel();
        return true;
    }
    case QEvent::FocusOut: {
        const int caret = m_model.focusOut(m_text->cursorPosition());
        static_cast<QObject*>(m_text)->event(event);
        m_text->setCursorPosition(caret);
        return true;
    }
    default:
        return false;
    }
}

} // namespace sonaveil::controls
