#include "controls/scombobox.h"

#include "controls/accessibility.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

namespace sonaveil::controls {
namespace {

QColor toQColor(ColorValue c)
{
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

QColor mix(ColorValue a, ColorValue b, int i, int n)
{
    if (n <= 1)
        return toQColor(a);
    auto part = [&](int x, int y) { return x + (y - x) * i / (n - 1); };
    return QColor(part(redOf(a), redOf(b)), part(greenOf(a), greenOf(b)), part(blueOf(a), blueOf(b)));
}

} // namespace

void SComboBox::paintOps(QPainter& p, const std::vector<ComboPaintOp>& ops)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const auto& op : ops) {
        switch (op.kind) {
        case ComboPaintOp::FillRect:
            p.fillRect(QRect(op.x, op.y, op.w, op.h), toQColor(op.c1));
            break;
        case ComboPaintOp::Frame:
            if (op.w > 0 && op.h > 0) {
                p.setPen(toQColor(op.c1));
                p.setBrush(Qt::NoBrush);
                p.drawRect(op.x, op.y, op.w - 1, op.h - 1);
            }
            break;
        case ComboPaintOp::VGradient:
            for (int i = 0; i < op.h; ++i)
                p.fillRect(QRect(op.x, op.y + i, op.w, 1), mix(op.c1, op.c2, i, op.h));
            break;
        case ComboPaintOp::HGradient:
            for (int i = 0; i < op.w; ++i)
                p.fillRect(QRect(op.x + i, op.y, 1, op.h), mix(op.c1, op.c2, i, op.w));
            break;
        case ComboPaintOp::Arrow:
            for (int r = 0; r < op.h && op.w - 2 * r > 0; ++r)
                p.fillRect(QRect(op.x + r, op.y + r, op.w - 2 * r, 1), toQColor(op.c1));
            break;
        case ComboPaintOp::Text: {
            p.setPen(toQColor(op.c1));
            const int align = op.align == 1 ? Qt::AlignRight : op.align == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
            p.drawText(QRect(op.x, op.y, op.w, op.h), align | Qt::AlignVCenter | Qt::TextSingleLine,
                QString::fromStdString(op.text));
            break;
        }
        }
    }
}

// ---- the floating list ----

SComboBoxList::SComboBoxList(SComboBox* owner)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint)
    , m_owner(owner)
    , m_scroll(new QScrollBar(Qt::Vertical, this))
{
    setObjectName(QStringLiteral("picList"));
    m_scroll->setObjectName(QStringLiteral("scrollI"));
    m_scroll->setFocusPolicy(Qt::NoFocus);
    // The press that closes the list by landing outside it goes no further: on the control it
    // would open the list again at once.
    setAttribute(Qt::WA_NoMouseReplay);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    connect(m_scroll, &QScrollBar::valueChanged, this, [this](int v) {
        if (!m_syncing)
            m_owner->model().scrollTo(v);
    });
}

void SComboBoxList::sync()
{
    auto& model = m_owner->model();
    m_syncing = true;
    m_scroll->setRange(0, model.scrollMax());
    m_scroll->setPageStep(std::max(1, model.visibleRows()));
    m_scroll->setValue(model.scrollValue());
    m_scroll->setVisible(model.scrollBarShown());
    m_syncing = false;
    update();
}

void SComboBoxList::resizeEvent(QResizeEvent*)
{
    const int w = SComboBoxModel::kScrollBarWidth;
    m_scroll->setGeometry(width() - w, 1, w - 1, std::max(0, height() - 2));
}

void SComboBoxList::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(m_owner->font());
    SComboBox::paintOps(p, m_owner->model().listFace(width(), height()));
}

void SComboBoxList::mouseMoveEvent(QMouseEvent* e)
{
    m_owner->model().hoverList(int(e->position().y()));
}

void SComboBoxList::mousePressEvent(QMouseEvent* e)
{
    if (!rect().contains(e->position().toPoint())) {
        QWidget::mousePressEvent(e); // closes the pop-up
        return;
    }
    if (e->button() == Qt::LeftButton)
        m_owner->model().clickList(int(e->position().y()));
}

void SComboBoxList::keyPressEvent(QKeyEvent* e)
{
    m_owner->listKey(e);
}

void SComboBoxList::hideEvent(QHideEvent*)
{
    if (m_owner->model().isOpen())
        m_owner->model().close();
}

void SComboBoxList::wheelEvent(QWheelEvent* e)
{
    const int steps = e->angleDelta().y() / 120;
    if (steps != 0)
        m_owner->model().scrollTo(m_owner->model().scrollValue() - steps);
}

// ---- the control ----

SComboBox::SComboBox(const QString& name, QWidget* parent)
    : QWidget(parent)
    , m_edit(new QLineEdit(this))
    , m_list(nullptr)
{
    installAccessibility();
    setObjectName(name);
    m_edit->setObjectName(QStringLiteral("txtCombo"));
    m_edit->setFrame(false);
    m_edit->installEventFilter(this);
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(m_edit);
    setAttribute(Qt::WA_Hover);

    m_model.onRedraw = [this] {
        update();
        if (m_list && m_list->isVisible())
            m_list->sync();
        announceChanges();
    };
    m_model.onShowText = [this](const SComboBoxModel::EditResult& r) {
        const QString text = QString::fromStdString(r.text);
        if (m_edit->text() != text)
            m_edit->setText(text);
        if (r.selectionLength > 0)
            m_edit->setSelection(r.selectionStart, r.selectionLength);
    };
    m_model.onSelectionMade = [this](const std::string& text, int index) {
        emit SelectionMade(QString::fromStdString(text), index);
    };
    m_model.onTotalItems = [this](int count) { emit TotalItems(count); };
    m_model.onOpenChanged = [this](bool open) {
        if (!m_list)
            return;
        if (open) {
            placeList();
            m_list->sync();
            m_list->show();
            m_list->raise();
        } else {
            m_list->hide();
        }
    };
    connect(m_edit, &QLineEdit::textEdited, this, [this](const QString& typed) {
        const auto r = m_model.textEdited(typed.toStdString(), m_lastKey);
        const QString shown = QString::fromStdString(r.text);
        if (shown != typed) {
            m_edit->setText(shown);
            m_edit->setSelection(r.selectionStart, r.selectionLength);
        }
    });
    m_list = new SComboBoxList(this);
    m_list->hide();
    m_model.setText(name.toStdString());
    applyProperties();
}

SComboBox::~SComboBox()
{
    m_model.onRedraw = nullptr;
    m_model.onOpenChanged = nullptr;
    m_model.onShowText = nullptr;
    delete m_list;
}

void SComboBox::AddItem(const QString& text, const SComboBoxModel::ItemData& data)
{
    m_model.AddItem(text.toStdString(), data);
}

void SComboBox::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange && m_model.enabled() != isEnabled()) {
        m_model.setEnabled(isEnabled());
        applyProperties();
    }
    QWidget::changeEvent(e);
}

void SComboBox::applyProperties()
{
    if (!m_model.Font.empty()) {
        QFont f;
        if (f.fromString(QString::fromStdString(m_model.Font)))
            setFont(f);
    }
    QPalette pal = m_edit->palette();
    pal.setColor(QPalette::Base, toQColor(m_model.BackColor));
    const ColorValue textColor = m_model.enabled() ? m_model.NormalColorText : SComboBoxModel::lightened(m_model.DisabledColor, 176);
    pal.setColor(QPalette::Text, toQColor(textColor));
    pal.setColor(QPalette::Disabled, QPalette::Text, toQColor(textColor));
    pal.setColor(QPalette::Disabled, QPalette::Base, toQColor(m_model.BackColor));
    m_edit->setPalette(pal);
    m_edit->setVisible(m_model.Style == 0);
    // With the text drawn on the control, the control itself takes the keys.
    setFocusProxy(m_model.Style == 0 ? m_edit : nullptr);
    m_edit->setAlignment((m_model.Alignment == 1 ? Qt::AlignRight : m_model.Alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft)
        | Qt::AlignVCenter);
    layoutEdit();
    update();
}

void SComboBox::readProperties(const PropertyBag& bag)
{
    m_model.readProperties(bag, objectName().toStdString());
    QWidget::setEnabled(m_model.enabled());
    applyProperties();
}

void SComboBox::writeProperties(PropertyBag& bag) const
{
    m_model.writeProperties(bag, objectName().toStdString());
}

QSize SComboBox::sizeHint() const
{
    return {121, std::max(21, fontMetrics().height() + 6)};
}

void SComboBox::layoutEdit()
{
    const int left = SComboBoxModel::kTextLeft;
    const int right = width() - SComboBoxModel::kButtonWidth - 2;
    const int h = std::min(height() - 4, m_edit->sizeHint().height());
    m_edit->setGeometry(left, (height() - h) / 2, std::max(0, right - left), std::max(0, h));
}

void SComboBox::placeList()
{
    if (!m_list)
        return;
    const int h = m_model.listHeight();
    const QPoint below = mapToGlobal(QPoint(0, height() + 1));
    const QPoint above = mapToGlobal(QPoint(0, -h - 1));
    m_list->setGeometry(QRect(m_model.ListPositionShow == 1 ? above : below, QSize(width(), h)));
}

void SComboBox::resizeEvent(QResizeEvent*)
{
    layoutEdit();
    if (m_list && m_list->isVisible())
        placeList();
}

void SComboBox::moveEvent(QMoveEvent*)
{
    if (m_list && m_list->isVisible())
        placeList();
}

void SComboBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintOps(p, m_model.face(width(), height()));
    if (focusFrameShown()) {
        // Round the text area, inside the outline and left of the button.
        const QRect area(1, 1, width() - SComboBoxModel::kButtonWidth - 2, height() - 2);
        FocusFrame::paint(p, area, toQColor(m_model.NormalColorText), 0);
    }
}

bool SComboBox::focusFrameShown() const
{
    return m_focus.visible() && (hasFocus() || m_edit->hasFocus());
}

void SComboBox::focusArrived(Qt::FocusReason reason)
{
    // Focus coming back from the open list keeps whatever the frame showed.
    if (reason == Qt::PopupFocusReason)
        return;
    m_focus.focusIn(reason);
    update();
}

void SComboBox::announceChanges()
{
    if (!announcing())
        return;
    const bool open = m_model.isOpen();
    if (open != m_announcedOpen) {
        m_announcedOpen = open;
        QAccessible::State changed;
        changed.expanded = true;
        changed.collapsed = true;
        announceState(this, changed);
    }
    QString shown = m_model.Text().c_str();
    if (open) {
        if (const auto* item = m_model.item(m_model.highlighted()))
            shown = QString::fromStdString(item->text);
    }
    if (shown != m_announcedText) {
        m_announcedText = shown;
        announceValue(this, shown);
    }
}

void SComboBox::mousePressEvent(QMouseEvent* e)
{
    if (m_model.Style == 0 && !m_edit->hasFocus())
        m_edit->setFocus(Qt::MouseFocusReason);
    else if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    m_model.pressed(e->button() == Qt::LeftButton ? 1 : 2);
}

void SComboBox::enterEvent(QEnterEvent*)
{
    m_model.setHover(true);
}

void SComboBox::leaveEvent(QEvent*)
{
    m_model.setHover(false);
}

void SComboBox::keyPressEvent(QKeyEvent* e)
{
    if (m_focus.keyPressed())
        update();
    if (!handleKey(e))
        QWidget::keyPressEvent(e);
}

bool SComboBox::handleKey(QKeyEvent* key)
{
    using K = SComboBoxModel::Key;
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const bool open = m_model.isOpen();
    switch (key->key()) {
    case Qt::Key_Up: return m_model.key(K::Up);
    case Qt::Key_Down: return m_model.key(K::Down);
    case Qt::Key_PageUp: return m_model.key(K::PageUp);
    case Qt::Key_PageDown: return m_model.key(K::PageDown);
    // In the edit box Home and End move the caret unless the list is open.
    case Qt::Key_Home: return (open || m_model.Style == 1) && m_model.key(K::Home);
    case Qt::Key_End: return (open || m_model.Style == 1) && m_model.key(K::End);
    case Qt::Key_Return:
    case Qt::Key_Enter: return m_model.key(K::Enter);
    case Qt::Key_Escape: return m_model.key(K::Escape);
    case Qt::Key_F4: return m_model.key(K::F4);
    default: return false;
    }
}

void SComboBox::listKey(QKeyEvent* key)
{
    if (handleKey(key))
        return;
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
        m_model.close();
    if (m_model.Style == 0)
        QApplication::sendEvent(m_edit, key);
}

void SComboBox::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    focusArrived(e->reason());
}

void SComboBox::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    focusLeft(e->reason());
}

void SComboBox::focusLeft(Qt::FocusReason reason)
{
    // The open list takes the keys for a while: that is no loss of focus.
    if (reason == Qt::PopupFocusReason)
        return;
    // Focus moving between the control and its own edit box is no loss of focus.
    QTimer::singleShot(0, this, [this] {
        QWidget* f = QApplication::focusWidget();
        if (f != this && f != m_edit) {
            m_focus.focusOut();
            update();
            m_model.focusLost();
        }
    });
}

bool SComboBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_edit)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        m_lastKey = key->key() == Qt::Key_Backspace ? 8 : key->key() == Qt::Key_Delete ? 46 : 0;
        if (m_focus.keyPressed())
            update();
        return handleKey(key);
    }
    case QEvent::FocusIn:
        focusArrived(static_cast<QFocusEvent*>(event)->reason());
        QTimer::singleShot(0, m_edit, [this] { m_edit->selectAll(); });
        return false;
    case QEvent::FocusOut:
        focusLeft(static_cast<QFocusEvent*>(event)->reason());
        return false;
    default:
        return false;
    }
}

} // namespace sonaveil::controls
