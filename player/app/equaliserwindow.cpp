#include "player/app/equaliserwindow.h"

#include "controls/multibuttonwidget.h"
#include "controls/scombobox.h"
#include "controls/ucsliderwidget.h"
#include "player/app/dialogs.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace sonaveil::player {

using controls::Multibutton;
using controls::SComboBox;
using controls::UcSlider;

namespace {

constexpr int kBandWidth = 46;
constexpr int kSliderHeight = 190;

} // namespace

QString EqualiserWindow::gainText(int position)
{
    const int db = position - EqualiserBands::kFlatPosition;
    if (db > 0)
        return tr("+%1 dB").arg(db);
    if (db < 0)
        return tr("\u2212%1 dB").arg(-db);
    return tr("0 dB");
}

QString EqualiserWindow::frequencyText(int band)
{
    const int hz = int(EqualiserBands::kCentresHz.at(std::size_t(band)));
    return hz >= 1000 ? QString("%1k").arg(hz / 1000) : QString::number(hz);
}

EqualiserWindow::EqualiserWindow(Equaliser& equaliser, BandStop& bandStop, Dialogs& dialogs, QWidget* parent)
    : ToolWindow("frmeffects", tr("Equalizer"), parent)
    , m_equaliser(equaliser)
    , m_bandStop(bandStop)
    , m_dialogs(dialogs)
{
    QVBoxLayout* layout = column();

    // The switch and the preset list.
    auto* top = new Panel(this);
    auto* topRow = top->setUpLayout<QHBoxLayout>({10, 8, 10, 8}, 6);
    auto* switchRow = new QHBoxLayout;
    switchRow->setSpacing(6);
    m_switch = makeButton("check_eq", tr("Off"), 64, top);
    m_switch->setCheckBoxMode(true);
    m_switch->setToolTip(tr("Switch the equaliser on or off"));
    switchRow->addWidget(m_switch);
    m_notch = makeWindowButton("check_notch", tr("Notch"), 64, top);
    m_notch->setCheckBoxMode(true);
    m_notch->setToolTip(tr("Take a band around your matched pitch out of the whole mix (see Pitch Match)"));
    switchRow->addWidget(m_notch);
    topRow->addLayout(switchRow);
    topRow->addStretch();
    topRow->addWidget(lightLabel(tr("Preset"), top, 0, true));
    auto* back = makeButton("cmdPrevious", "<", 30, top, tr("The previous preset"));
    topRow->addWidget(back);
    m_combo = new SComboBox("Combo1", top);
    m_combo->setFixedWidth(200);
    // The list's text is always a preset's name (or "No Preset Selected"): chosen, not typed.
    m_combo->editBox()->setReadOnly(true);
    m_combo->setToolTip(tr("Equaliser presets of the folder \"presets\""));
    topRow->addWidget(m_combo);
    auto* forward = makeButton("cmdNext", ">", 30, top, tr("The next preset"));
    topRow->addWidget(forward);
    layout->addWidget(top);

    // The ten bands: gain above, slider, centre frequency below.
    auto* bands = new Panel(this);
    auto* grid = bands->setUpLayout<QGridLayout>({10, 8, 10, 8}, 4);
    auto* scale = new QVBoxLayout;
    scale->setSpacing(0);
    scale->addWidget(lightLabel(gainText(EqualiserBands::kFlatPosition + 15), bands), 0, Qt::AlignRight);
    scale->addStretch();
    scale->addWidget(lightLabel(gainText(EqualiserBands::kFlatPosition), bands), 0, Qt::AlignRight);
    scale->addStretch();
    scale->addWidget(lightLabel(gainText(EqualiserBands::kFlatPosition - 15), bands), 0, Qt::AlignRight);
    grid->addLayout(scale, 1, 0);
    for (int i = 0; i < Equaliser::kBands; ++i) {
        auto* gain = lightLabel(gainText(m_equaliser.position(i)), bands);
        gain->setObjectName(QString("gain(%1)").arg(i));
        gain->setAlignment(Qt::AlignCenter);
        gain->setFixedWidth(kBandWidth);
        m_gains[std::size_t(i)] = gain;
        grid->addWidget(gain, 0, i + 1);

        auto* s = new UcSlider(QString("vscroll1(%1)").arg(i), bands);
        s->setVertical(true);
        s->setRange(0, 30);
        s->setSmallChange(1);
        s->setLargeChange(3);
        s->setValue(m_equaliser.position(i));
        s->setFixedSize(24, kSliderHeight);
        s->setFocusPolicy(Qt::StrongFocus);
        s->setGradientColor1(rgb(30, 70, 120));
        s->setGradientColor2(rgb(120, 190, 255));
        s->setToolTip(tr("%1 Hz band").arg(int(EqualiserBands::kCentresHz[std::size_t(i)])));
        m_sliders[std::size_t(i)] = s;
        grid->addWidget(s, 1, i + 1, Qt::AlignHCenter);
        auto forwardBand = [this, s, i] {
            if (!m_refreshing)
                m_equaliser.setPosition(i, s->value());
            m_gains[std::size_t(i)]->setText(gainText(s->value()));
        };
        connect(s, &UcSlider::Change, this, forwardBand);
        connect(s, &UcSlider::Scroll, this, forwardBand);

        auto* hz = lightLabel(frequencyText(i), bands, 0, true);
        hz->setAlignment(Qt::AlignCenter);
        grid->addWidget(hz, 2, i + 1);
    }
    grid->addWidget(lightLabel(tr("Hz"), bands), 2, 0, Qt::AlignRight);
    layout->addWidget(bands);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(6);
    auto* save = makeButton("cmdSave", tr("&Save Preset"), 100, this, tr("Store these ten bands as a preset"));
    auto* remove = makeButton("cmdDelete", tr("&Delete"), 70, this, tr("Delete the preset named in the list"));
    auto* centre = makeButton("cmdCenter", tr("Ce&nter all EQs"), 110, this, tr("Every band to 0 dB"));
    auto* close = makeButton("cmdClose", tr("&Close"), 70, this);
    bottom->addWidget(save);
    bottom->addWidget(remove);
    bottom->addWidget(centre);
    bottom->addStretch();
    bottom->addWidget(close);
    layout->addLayout(bottom);

    connect(m_switch, &Multibutton::Click, this, [this] { m_equaliser.setOn(m_switch->value()); });
    connect(m_notch, &Multibutton::Click, this, [this] { m_bandStop.setOn(m_notch->value()); });
    connect(back, &Multibutton::Click, this, [this] { m_equaliser.previousPreset(); });
    connect(forward, &Multibutton::Click, this, [this] { m_equaliser.nextPreset(); });
    connect(m_combo, &SComboBox::SelectionMade, this, [this](const QString&, int index) {
        m_equaliser.selectPreset(index - 1);
    });
    connect(save, &Multibutton::Click, this, &EqualiserWindow::savePreset);
    connect(remove, &Multibutton::Click, this, &EqualiserWindow::deletePreset);
    connect(centre, &Multibutton::Click, this, [this] { m_equaliser.centreAll(); });
    connect(close, &Multibutton::Click, this, &QWidget::hide);

    m_equaliser.changed = [this] { refresh(); };
    m_bandStop.changed = [this] { m_notch->setValue(m_bandStop.on()); };
    refresh();
    setFixedSize(sizeHint());
}

EqualiserWindow::~EqualiserWindow()
{
    m_equaliser.changed = nullptr;
    m_bandStop.changed = nullptr;
}

void EqualiserWindow::refresh()
{
    m_refreshing = true;
    m_switch->setValue(m_equaliser.on());
    m_switch->setCaption(m_equaliser.on() ? tr("On") : tr("Off"));
    m_notch->setValue(m_bandStop.on());
    for (int i = 0; i < Equaliser::kBands; ++i) {
        m_sliders[std::size_t(i)]->setValue(m_equaliser.position(i));
        m_gains[std::size_t(i)]->setText(gainText(m_equaliser.position(i)));
    }
    // The list is filled again only when the folder's presets changed, or to clear a selection.
    const int selected = m_equaliser.selected();
    if (m_shownPresets != m_equaliser.presets() || (selected < 0 && m_combo->model().selectedIndex() >= 1)) {
        m_shownPresets = m_equaliser.presets();
        m_combo->Clear();
        for (const std::string& name : m_shownPresets)
            m_combo->AddItem(QString::fromStdString(name));
    }
    if (selected >= 0 && m_combo->model().selectedIndex() != selected + 1)
        m_combo->setListIndex(selected + 1);
    // The model keeps the English "No Preset Selected"; the list shows it in the user's language.
    const std::string text = m_equaliser.text();
    m_combo->setText(text == Equaliser::kNoPreset ? QCoreApplication::translate("sonaveil::player::Equaliser", Equaliser::kNoPreset)
                                                  : QString::fromStdString(text));
    m_refreshing = false;
}

void EqualiserWindow::savePreset()
{
    const auto typed = m_dialogs.inputText(this, tr("Sonaveil"), QCoreApplication::translate("sonaveil::player::Equaliser", Equaliser::kSavePrompt), QString());
    if (!typed || typed->isEmpty())
        return;
    const std::string problem = m_equaliser.savePreset(typed->toStdString());
    if (!problem.empty())
        m_dialogs.information(this, tr("Sonaveil"), QString::fromStdString(problem));
}

void EqualiserWindow::deletePreset()
{
    if (m_dialogs.question(this, tr("Sonaveil"), QCoreApplication::translate("sonaveil::player::Equaliser", Equaliser::kDeleteQuestion)))
        m_equaliser.deletePreset();
}

} // namespace sonaveil::player
