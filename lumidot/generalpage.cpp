#include "lumidot/generalpage.h"

#include "common/rounding.h"
#include "lumidot/lcd.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <cstdlib>

namespace sonaveil::lumidot {

namespace {

// The library's strings, shown in the user's language (the line break is the message box's).
const char* const kColumnTip = QT_TRANSLATE_NOOP("sonaveil::lumidot::GeneralPage", "Number of Columns (Width) [Values: 1 to 80]");
const char* const kRowTip = QT_TRANSLATE_NOOP("sonaveil::lumidot::GeneralPage", "Number of Rows (Height) [Values: 1 to 4]");
const char* const kColumnError = QT_TRANSLATE_NOOP("sonaveil::lumidot::GeneralPage", "Lcd Column Number Error\nValues: 1 to 80");
const char* const kRowError = QT_TRANSLATE_NOOP("sonaveil::lumidot::GeneralPage", "Lcd Row Number Error\nValue: 1 to 4");

QString numberText(double v)
{
    return QString::number(v, 'g', 15);
}

} // namespace

double leadingNumber(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    const char* s = bytes.constData();
    while (*s == ' ' || *s == '\t')
        ++s;
    const char* p = s;
    if (*p == '+' || *p == '-')
        ++p;
    bool digits = false;
    while (*p >= '0' && *p <= '9') {
        ++p;
        digits = true;
    }
    if (*p == '.') {
        ++p;
        while (*p >= '0' && *p <= '9') {
            ++p;
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    if (*p == 'e' || *p == 'E') {
        const char* e = p + 1;
        if (*e == '+' || *e == '-')
            ++e;
        if (*e >= '0' && *e <= '9') {
            p = e;
            while (*p >= '0' && *p <= '9')
                ++p;
        }
    }
    const std::string number(s, p);
    return std::strtod(number.c_str(), nullptr);
}

GeneralPage::GeneralPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("General"));
    setWindowTitle(tr("General"));
    m_message = [this](const QString& title, const QString& text) {
        QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, this);
        box.exec();
    };

    auto field = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textChanged, this, [this] { markChanged(); });
        return edit;
    };
    auto arrow = [this](const char* name, Qt::ArrowType type) {
        auto* button = new QToolButton(this);
        button->setObjectName(QLatin1String(name));
        button->setArrowType(type);
        button->setAutoRepeat(true);
        return button;
    };

    m_col = field("txtLCDCol");
    m_row = field("txtLCDRow");
    m_colBorder = field("txtColBorderSize");
    m_colSpace = field("txtColspace");
    m_rowSpace = field("txtRowspace");
    m_rowBorder = field("txtRowBorderSize");
    m_col->setToolTip(tr(kColumnTip));
    m_row->setToolTip(tr(kRowTip));

    auto* colUp = arrow("butLCDcol(0)", Qt::UpArrow);
    auto* colDown = arrow("butLCDcol(1)", Qt::DownArrow);
    auto* rowUp = arrow("butLCDRow(0)", Qt::UpArrow);
    auto* rowDown = arrow("butLCDRow(1)", Qt::DownArrow);
    colUp->setAccessibleName(tr("More columns"));
    colDown->setAccessibleName(tr("Fewer columns"));
    rowUp->setAccessibleName(tr("More rows"));
    rowDown->setAccessibleName(tr("Fewer rows"));
    connect(colUp, &QToolButton::clicked, this, [this] { step(m_col, +1, 1, 80); });
    connect(colDown, &QToolButton::clicked, this, [this] { step(m_col, -1, 1, 80); });
    connect(rowUp, &QToolButton::clicked, this, [this] { step(m_row, +1, 1, 4); });
    connect(rowDown, &QToolButton::clicked, this, [this] { step(m_row, -1, 1, 4); });

    m_border = new QCheckBox(tr("BorderStyle"), this);
    m_border->setObjectName(QStringLiteral("chkBorderStyle"));
    connect(m_border, &QCheckBox::clicked, this, [this] { markChanged(); });

    auto labelled = [this](QGridLayout* grid, int row, const char* caption, QLineEdit* edit) {
        auto* label = new QLabel(tr(caption), this);
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
    };

    auto* size = new QGroupBox(tr("Lcd Size"), this);
    auto* sizeGrid = new QGridLayout(size);
    labelled(sizeGrid, 0, QT_TR_NOOP("LCDCol:"), m_col);
    labelled(sizeGrid, 1, QT_TR_NOOP("LCDRow:"), m_row);
    auto* colButtons = new QVBoxLayout;
    colButtons->setSpacing(0);
    colButtons->addWidget(colUp);
    colButtons->addWidget(colDown);
    auto* rowButtons = new QVBoxLayout;
    rowButtons->setSpacing(0);
    rowButtons->addWidget(rowUp);
    rowButtons->addWidget(rowDown);
    sizeGrid->addLayout(colButtons, 0, 2);
    sizeGrid->addLayout(rowButtons, 1, 2);

    auto* advance = new QGroupBox(tr("Advance"), this);
    auto* advanceGrid = new QGridLayout(advance);
    labelled(advanceGrid, 0, QT_TR_NOOP("ColBorderSize:"), m_colBorder);
    labelled(advanceGrid, 1, QT_TR_NOOP("Colspace:"), m_colSpace);
    labelled(advanceGrid, 2, QT_TR_NOOP("Rowspace:"), m_rowSpace);
    labelled(advanceGrid, 3, QT_TR_NOOP("RowBorderSize:"), m_rowBorder);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(size);
    layout->addWidget(advance);
    layout->addWidget(m_border);
    layout->addStretch();

    setTabOrder(m_col, m_row);
    setTabOrder(m_row, m_colBorder);
    setTabOrder(m_colBorder, m_colSpace);
    setTabOrder(m_colSpace, m_rowSpace);
    setTabOrder(m_rowSpace, m_rowBorder);
    setTabOrder(m_rowBorder, m_border);
}

void GeneralPage::setSelection(const QList<LCD*>& controls)
{
    m_selection.clear();
    for (LCD* lcd : controls)
        m_selection.append(lcd);
    if (controls.isEmpty() || !controls.first())
        return;
    const LCD* lcd = controls.first();
    m_loading = true;
    m_colSpace->setText(QString::number(lcd->Colspace()));
    m_rowSpace->setText(QString::number(lcd->Rowspace()));
    m_colBorder->setText(QString::number(lcd->ColBorderSize()));
    m_rowBorder->setText(QString::number(lcd->RowBorderSize()));
    m_col->setText(QString::number(lcd->LCDCol()));
    m_row->setText(QString::number(lcd->LCDRow()));
    m_border->setChecked(lcd->BorderStyle());
    m_loading = false;
    m_changed = false;
}

void GeneralPage::apply()
{
    if (m_selection.isEmpty() || !m_selection.first())
        return;
    LCD* lcd = m_selection.first();
    auto spacing = [](QLineEdit* field, auto&& set) {
        const double v = leadingNumber(field->text());
        if (v > -1 && v < 32767)
            set(int(roundHalfEven(v)));
    };
    spacing(m_colSpace, [lcd](int v) { lcd->setColspace(v); });
    spacing(m_rowSpace, [lcd](int v) { lcd->setRowspace(v); });
    spacing(m_colBorder, [lcd](int v) { lcd->setColBorderSize(v); });
    spacing(m_rowBorder, [lcd](int v) { lcd->setRowBorderSize(v); });
    const double cols = leadingNumber(m_col->text());
    if (cols > 0 && cols < 81)
        lcd->setLCDCol(int(roundHalfEven(cols)));
    const double rows = leadingNumber(m_row->text());
    if (rows > 0 && rows < 5)
        lcd->setLCDRow(int(roundHalfEven(rows)));
    lcd->setBorderStyle(m_border->isChecked());
    m_changed = false;
}

void GeneralPage::markChanged()
{
    if (m_loading)
        return;
    m_changed = true;
    emit changed();
}

void GeneralPage::step(QLineEdit* field, double delta, double low, double high)
{
    const double v = leadingNumber(field->text());
    if (delta > 0 && v < high)
        field->setText(numberText(v + delta));
    else if (delta < 0 && v > low)
        field->setText(numberText(v + delta));
}

void GeneralPage::checkField(QLineEdit* field)
{
    double low = 0, high = 32767;
    QString message;
    if (field == m_col) {
        low = 1;
        high = 80;
        message = tr(kColumnError);
    } else if (field == m_row) {
        low = 1;
        high = 4;
        message = tr(kRowError);
    }
    message.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    auto correct = [&](double to) {
        field->setText(numberText(to));
        if (!message.isEmpty() && m_message)
            m_message(tr("Value Invalid"), message);
    };
    if (leadingNumber(field->text()) < low)
        correct(low);
    if (leadingNumber(field->text()) > high)
        correct(high);
}

bool GeneralPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched))
            checkField(edit);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace sonaveil::lumidot
