#include "recorder/app/recorderlook.h"

#include "common/propertybag.h"
#include "controls/multibuttonwidget.h"
#include "controls/scombobox.h"
#include "recorder/core/rules.h"
#include "lumidot/lcd.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace sonaveil::recorder {

namespace {

// The list entries that are words, for the translators; the numbers stay as they are.
const char* const kWordItems[] = {
    QT_TRANSLATE_NOOP("sonaveil::recorder::FRMMAIN", "Unlimited"),
    QT_TRANSLATE_NOOP("sonaveil::recorder::FRMMAIN", "Don't warn"),
    QT_TRANSLATE_NOOP("sonaveil::recorder::FRMMAIN", "VU Meters"),
    QT_TRANSLATE_NOOP("sonaveil::recorder::FRMMAIN", "Oscilloscope"),
};

} // namespace

QString shownItem(const QString& item)
{
    return QCoreApplication::translate("sonaveil::recorder::FRMMAIN", item.toUtf8().constData());
}

QString storedItem(const QString& shown)
{
    for (const char* word : kWordItems)
        if (shown == shownItem(QString::fromUtf8(word)))
            return QString::fromUtf8(word);
    return shown;
}

controls::SComboBox* makeList(const QString& name, int width, const QStringList& items, QWidget* parent)
{
    auto* c = new controls::SComboBox(name, parent);
    c->setAppearanceCombo(21);
    c->applyProperties();
    // Wide enough for the longest entry in the user's language.
    int widest = 0;
    for (const QString& item : items) {
        c->AddItem(shownItem(item));
        widest = std::max(widest, c->fontMetrics().horizontalAdvance(shownItem(item)));
    }
    c->setFixedWidth(std::max(width, widest + controls::SComboBoxModel::kTextLeft + controls::SComboBoxModel::kButtonWidth + 10));
    return c;
}

void placeOnScreen(QWidget& window, std::optional<QPoint> position)
{
    QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) {
        if (position)
            window.move(*position);
        return;
    }
    QList<QRect> areas;
    for (QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    window.move(placeOnScreens(position, window.size(), areas, primary->availableGeometry()));
}

controls::Multibutton* makeButton(const QString& name, const QString& caption, QSize size, QWidget* parent)
{
    auto* b = new controls::Multibutton(name, parent);
    b->setButtonStyle(7);
    b->setBackColor(kButtonGrey);
    b->setForeColor(kCaptionWhite);
    b->setCaption(caption);
    // A translated caption may be longer than the English one the width was chosen for.
    b->setFixedSize(std::max(size.width(), b->contentSize().width()), size.height());
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

QLabel* makeCaption(const QString& text, QWidget* parent, int pointSize, bool bold)
{
    auto* l = new QLabel(text, parent);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, QColor(235, 235, 235));
    l->setPalette(pal);
    if (pointSize > 0 || bold) {
        QFont f = l->font();
        if (pointSize > 0)
            f.setPointSize(pointSize);
        f.setBold(bold);
        l->setFont(f);
    }
    return l;
}

lumidot::LCD* makeDisplay(const QString& name, int rows, std::uint32_t on, QWidget* parent)
{
    PropertyBag stored;
    stored.write("LCDRow", std::int64_t(rows));
    stored.write("LCDCol", std::int64_t(21));
    stored.write("DisplayType", std::int64_t(1));
    stored.write("BorderStyle", false);
    stored.write("PaletteMode", std::int64_t(2));
    stored.write("ColorPresetPalette", std::int64_t(-1));
    stored.write("ColorBacklight", std::int64_t(0));
    stored.write("ColorLCDoff", std::int64_t(0x404040));
    stored.write("ColorLCDon", std::int64_t(on));
    stored.write("ColorBlend", std::int64_t(on));
    QWidget* control = lumidot::createControl("Dotrix.LCD", parent, &stored);
    auto* lcd = qobject_cast<lumidot::LCD*>(control);
    if (!lcd) {
        delete control;
        return nullptr;
    }
    lcd->setObjectName(name);
    return lcd;
}

QImage drawBackground(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(74, 78, 86));
    g.setColorAt(0.5, QColor(46, 49, 55));
    g.setColorAt(1, QColor(28, 30, 34));
    p.fillRect(image.rect(), g);
    for (int y = 0; y < size.height(); y += 2)
        p.fillRect(0, y, size.width(), 1, QColor(255, 255, 255, (y * 7919 % 5) + 3));
    p.setPen(QColor(12, 12, 14));
    p.drawRect(image.rect().adjusted(0, 0, -1, -1));
    p.setPen(QColor(120, 124, 132));
    p.drawLine(1, 1, size.width() - 2, 1);
    return image;
}

} // namespace sonaveil::recorder
