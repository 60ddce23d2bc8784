#include "player/app/colourswindow.h"
#include "controls/windowaccessible.h"

#include "common/propertybag.h"
#include "controls/chameleonbuttonwidget.h"
#include "controls/paintqt.h"
#include "lumidot/lcd.h"
#include "player/app/colourapplier.h"
#include "player/app/dialogs.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

namespace sonaveil::player {

using controls::ChameleonButton;
using controls::fromQColor;

namespace {

constexpr int kSwatchWidth = 44;
constexpr int kSwatchHeight = 20;

} // namespace

const std::array<const char*, ColoursWindow::kSwatchCount>& ColoursWindow::swatchLabels()
{
    static const std::array<const char*, kSwatchCount> labels{
        QT_TR_NOOP("Button Textcolor"), QT_TR_NOOP("Button Backcolor"), QT_TR_NOOP("Button Rollover"),
        QT_TR_NOOP("Slider Gradient1"), QT_TR_NOOP("Slider Gradient2"), QT_TR_NOOP("Text Color"),
        QT_TR_NOOP("Background Color"), QT_TR_NOOP("Form Color")};
    return labels;
}

ColoursWindow::ColoursWindow(ColourScheme& held, const std::filesystem::path& programFolder, Dialogs& dialogs,
                             QWidget* parent)
    : BorderlessWindow(parent)
    , m_editor(held, programFolder)
    , m_dialogs(dialogs)
{
    controls::setWindowRole(this, QAccessible::Dialog);
    setObjectName("frmcolors");
    setWindowTitle(tr("Color Schemes"));
    setWindowModality(Qt::ApplicationModal);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 14);
    layout->setSpacing(10);
    auto* title = new QLabel(tr("Color Schemes"), this);
    QFont tf = title->font();
    tf.setPointSize(tf.pointSize() + 5);
    tf.setBold(true);
    title->setFont(tf);
    layout->addWidget(title);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(22);
    auto* swatches = new QGridLayout;
    swatches->setHorizontalSpacing(10);
    swatches->setVerticalSpacing(5);
    for (int i = 0; i < kSwatchCount; ++i) {
        const auto which = SchemeColour(i);
        auto* label = new QLabel(tr(swatchLabels()[std::size_t(i)]), this);
        label->setObjectName(QString("Label%1").arg(i + 1));
        auto* swatch = makeButton(QString("chameleonButton%1").arg(i + 1), QString(), this);
        swatch->setFixedSize(kSwatchWidth, kSwatchHeight);
        swatch->setProperty(kKeepColours, true);
        swatch->setToolTip(tr("Choose the %1").arg(tr(swatchLabels()[std::size_t(i)]).toLower()));
        label->setBuddy(swatch);
        connect(swatch, &ChameleonButton::Click, this, [this, which] { pickColour(which); });
        m_swatches[std::size_t(i)] = swatch;
        swatches->addWidget(label, i, 0);
        swatches->addWidget(swatch, i, 1);
        if (which == SchemeColour::Form)
            m_formLabel = label;
    }
    middle->addLayout(swatches);

    auto* right = new QVBoxLayout;
    right->setSpacing(8);
    PropertyBag stored;
    stored.write("LCDRow", std::int64_t(3));
    stored.write("LCDCol", std::int64_t(14));
    stored.write("DisplayType", std::int64_t(lumidot::Small));
    stored.write("ColorPresetPalette", std::int64_t(ColoursEditor::kDesignPalette));
    QWidget* control = lumidot::createControl("Dotrix.LCD", this, &stored);
    m_sample = qobject_cast<lumidot::LCD*>(control);
    if (m_sample) {
        m_sample->setObjectName("LCD1");
        m_sample->setColorPresetPalette(ColoursEditor::kDesignPalette);
        m_sample->SetDisplay(2, ColoursEditor::kSampleText);
        right->addWidget(m_sample, 0, Qt::AlignLeft);
    } else {
        delete control;
    }
    auto* barRow = new QHBoxLayout;
    barRow->setSpacing(8);
    auto* barCaption = new QLabel(tr("LCD Scheme"), this);
    m_bar = new QScrollBar(Qt::Horizontal, this);
    m_bar->setObjectName("HScroll1");
    m_bar->setRange(ColoursEditor::kBarMinimum, ColoursEditor::kBarMaximum);
    m_bar->setPageStep(1);
    m_bar->setFocusPolicy(Qt::StrongFocus);
    m_bar->setMinimumWidth(120);
    m_bar->setToolTip(tr("The palette of the status display"));
    barCaption->setBuddy(m_bar);
    m_barLabel = new QLabel(this);
    m_barLabel->setObjectName("lblScheme");
    m_barLabel->setMinimumWidth(22);
    barRow->addWidget(barCaption);
    barRow->addWidget(m_bar, 1);
    barRow->addWidget(m_barLabel);
    right->addLayout(barRow);
    connect(m_bar, &QScrollBar::valueChanged, this, [this](int position) { m_editor.setBarPosition(position); });

    m_imageBox = new QCheckBox(tr("&Image As Background"), this);
    m_imageBox->setObjectName("Check1");
    m_imageBox->setToolTip(tr("Show the background picture; untick for the plain form colour"));
    right->addWidget(m_imageBox);
    connect(m_imageBox, &QCheckBox::clicked, this, [this](bool on) { m_editor.setImageBox(on); });

    auto* previewRow = new QHBoxLayout;
    auto* previewCaption = new QLabel(tr("Form color preview"), this);
    m_preview = makeButton("chameleonButton16", QString(), this);
    m_preview->setFixedSize(96, 40);
    m_preview->setProperty(kKeepColours, true);
    m_preview->setToolTip(tr("Choose the form color"));
    connect(m_preview, &ChameleonButton::Click, this, [this] { pickColour(SchemeColour::Form); });
    previewRow->addWidget(previewCaption);
    previewRow->addWidget(m_preview);
    previewRow->addStretch();
    right->addLayout(previewRow);
    right->addStretch();
    middle->addLayout(right);
    layout->addLayout(middle);

    auto* listRow = new QHBoxLayout;
    listRow->setSpacing(6);
    auto* back = makeButton("chameleonButton9", "<", this, tr("The scheme before"));
    back->setFixedWidth(30);
    m_list = new QComboBox(this);
    m_list->setAccessibleName(tr("Color scheme"));
    m_list->view()->setAccessibleName(tr("Color scheme"));
    m_list->setObjectName("Combo1");
    m_list->setMinimumWidth(180);
    m_list->setToolTip(tr("The saved color schemes"));
    auto* forward = makeButton("chameleonButton10", ">", this, tr("The scheme after"));
    forward->setFixedWidth(30);
    auto* save = makeButton("chameleonButton11", tr("&Save "), this, tr("Save these colors as a scheme"));
    auto* del = makeButton("chameleonButton12", tr("&Del"), this, tr("Delete the scheme named in the list"));
    listRow->addWidget(back);
    listRow->addWidget(m_list, 1);
    listRow->addWidget(forward);
    listRow->addSpacing(8);
    listRow->addWidget(save);
    listRow->addWidget(del);
    layout->addLayout(listRow);
    connect(back, &ChameleonButton::Click, this, [this] { m_editor.previous(); });
    connect(forward, &ChameleonButton::Click, this, [this] { m_editor.next(); });
    connect(m_list, &QComboBox::activated, this, [this](int index) { m_editor.select(index); });
    connect(save, &ChameleonButton::Click, this, &ColoursWindow::saveScheme);
    connect(del, &ChameleonButton::Click, this, &ColoursWindow::deleteScheme);

    auto* actions = new QHBoxLayout;
    actions->setSpacing(6);
    auto* restore = makeButton("chameleonButton13", tr("&Restore Default Colors"), this,
                               tr("Load the scheme named Default"));
    auto* apply = makeButton("chameleonButton14", tr("&Apply"), this, tr("Recolor the player's windows and close"));
    auto* cancel = makeButton("chameleonButton15", tr("&Cancel"), this, tr("Close; the colors chosen stay held"));
    actions->addWidget(restore);
    actions->addStretch();
    actions->addWidget(apply);
    actions->addWidget(cancel);
    layout->addLayout(actions);
    connect(restore, &ChameleonButton::Click, this, [this] { m_editor.restoreDefault(); });
    connect(apply, &ChameleonButton::Click, this, &ColoursWindow::applyClicked);
    connect(cancel, &ChameleonButton::Click, this, &QWidget::close);

    for (ChameleonButton* b : {back, forward, save, del, restore, apply, cancel})
        if (b->width() < b->sizeHint().width())
            b->setMinimumWidth(b->sizeHint().width());

    // The editor's load.
    m_editor.setHost(this);
    m_editor.open();
    setFixedSize(sizeHint());
}

ColoursWindow::~ColoursWindow()
{
    m_editor.setHost(nullptr);
}

ChameleonButton* ColoursWindow::makeButton(const QString& name, const QString& caption, QWidget* parent,
                                           const QString& tip)
{
    auto* b = new ChameleonButton(name, parent);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    b->setButtonType(14);
    b->setColorScheme(2);
    b->setBackColor(fromQColor(kDesignFace));
    b->setBackOver(fromQColor(kDesignFace));
    b->setForeColor(0);
    b->setForeOver(0);
    b->setCaption(caption);
    b->setFixedHeight(24);
    if (!caption.isEmpty())
        b->setMinimumWidth(QFontMetrics(b->font()).horizontalAdvance(caption) + 24);
    m_buttons.push_back(b);
    return b;
}

ChameleonButton* ColoursWindow::button(const QString& caption) const
{
    for (ChameleonButton* b : m_buttons)
        if (b->caption() == caption || QString(b->caption()).remove('&') == caption)
            return b;
    return nullptr;
}

void ColoursWindow::pickColour(SchemeColour which)
{
    const auto held = m_editor.held().colour(which);
    const QColor initial = held ? controls::toQColor(*held) : QColor(Qt::black);
    const auto chosen = m_dialogs.colour(this, tr(swatchLabels()[std::size_t(which)]), initial);
    if (chosen)
        m_editor.chooseColour(which, fromQColor(*chosen));
}

void ColoursWindow::saveScheme()
{
    const auto typed = m_dialogs.inputText(this, kMessageTitle, QCoreApplication::translate("sonaveil::player::ColoursEditor", ColoursEditor::kSavePrompt), QString());
    std::optional<std::string> name;
    if (typed)
        name = typed->toStdString();
    m_editor.save(name);
}

void ColoursWindow::deleteScheme()
{
    if (m_dialogs.question(this, kMessageTitle, QCoreApplication::translate("sonaveil::player::ColoursEditor", ColoursEditor::kDeleteQuestion)))
        m_editor.remove();
}

void ColoursWindow::docolors()
{
    recolour(this, WindowColours::of(m_editor.held()));
}

void ColoursWindow::coloursApplied(const WindowColours& colours)
{
    // The editor is a plain window in the background colour.
    setFormColour(colours.background.value_or(kDesignFace));
    setShowPicture(false);
    // Over a window of like colours the editor keeps its outline, drawn in the text colour.
    setEdgeColour(colours.text.value_or(kEdgeColour));
    const ColourScheme& held = m_editor.held();
    for (int i = 0; i < kSwatchCount; ++i) {
        ChameleonButton* swatch = m_swatches[std::size_t(i)];
        const auto c = held.colour(SchemeColour(i));
        const ColorValue face = c ? *c : fromQColor(kDesignFace);
        swatch->setBackColor(face);
        swatch->setBackOver(face);
        // A value that holds no colour says so.
        swatch->setCaption(c ? QString() : tr("none"));
    }
    const auto form = held.colour(SchemeColour::Form);
    const ColorValue face = form ? *form : fromQColor(kDesignFace);
    m_preview->setBackColor(face);
    m_preview->setBackOver(face);
}

void ColoursWindow::refresh()
{
    if (m_sample && m_sample->ColorPresetPalette() != m_editor.samplePalette())
        m_sample->setColorPresetPalette(m_editor.samplePalette());
    {
        const QSignalBlocker block(m_bar);
        m_bar->setValue(m_editor.barPosition());
    }
    m_barLabel->setText(QString::number(m_editor.samplePalette()));
    m_imageBox->setChecked(m_editor.imageBox());
    m_formLabel->setEnabled(m_editor.formEnabled());
    m_swatches[std::size_t(SchemeColour::Form)]->setEnabled(m_editor.formEnabled());
    m_preview->setEnabled(m_editor.formEnabled());

    const QSignalBlocker block(m_list);
    if (m_shownNames != m_editor.names()) {
        m_shownNames = m_editor.names();
        m_list->clear();
        for (const std::string& name : m_shownNames)
            m_list->addItem(QString::fromStdString(name));
    }
    m_list->setCurrentIndex(m_editor.selected());
    // The list's own words are shown in the user's language; a scheme's name as it is.
    const std::string& text = m_editor.listText();
    const bool own = text == ColoursEditor::kListDesignText || text == ColoursEditor::kNoPresetText;
    m_list->setPlaceholderText(own ? QCoreApplication::translate("sonaveil::player::ColoursEditor", text.c_str())
                                   : QString::fromStdString(text));
}

void ColoursWindow::information(const std::string& text)
{
    // The editor's messages are its own texts, translated by their source.
    m_dialogs.information(this, kMessageTitle, QCoreApplication::translate("sonaveil::player::ColoursEditor", text.c_str()));
}

void ColoursWindow::message(const std::string& text)
{
    m_dialogs.message(this, kMessageTitle, QCoreApplication::translate("sonaveil::player::ColoursEditor", text.c_str()));
}

void ColoursWindow::numberedMessage(const std::string& text, long number)
{
    m_dialogs.message(this, kMessageTitle, QCoreApplication::translate("sonaveil::player::ColoursEditor", text.c_str()).arg(number));
}

void ColoursWindow::closeEvent(QCloseEvent* e)
{
    BorderlessWindow::closeEvent(e);
    emit closed();
}

void ColoursWindow::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    BorderlessWindow::keyPressEvent(e);
}

} // namespace sonaveil::player
