#include "player/app/mainwindow.h"

#include "common/propertybag.h"
#include "controls/mastervolume.h"
#include "controls/multibuttonwidget.h"
#include "controls/ucsliderwidget.h"
#include "lumidot/lcd.h"
#include "platform/systemvolume.h"
#include "player/app/artwork.h"
#include "player/app/windowlook.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QWindow>

namespace sonaveil::player {

using controls::MasterVolume;
using controls::Multibutton;
using controls::UcSlider;
using look::kCaptionWidth;
using look::kColumnGap;
using look::kPageRows;
using look::kRowHeight;
using look::kSliderWidth;
using look::label;
using look::lightText;

namespace {


Qt::CheckState qtState(CheckState state)
{
    switch (state) {
    case CheckState::Checked: return Qt::Checked;
    case CheckState::Grayed: return Qt::PartiallyChecked;
    default: return Qt::Unchecked;
    }
}

CheckState modelState(int state)
{
    switch (state) {
    case Qt::Checked: return CheckState::Checked;
    case Qt::PartiallyChecked: return CheckState::Grayed;
    default: return CheckState::Unchecked;
    }
}

QString escapedCaption(const QString& text)
{
    QString t = text;
    t.replace("&", "&&");
    return t;
}

} // namespace

void SoundCheck::nextCheckState()
{
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

MainWindow::MainWindow(ChannelModel& model, MixControl& mix, std::unique_ptr<platform::SystemVolume> systemVolume,
                       QWidget* parent)
    : BorderlessWindow(parent)
    , m_model(model)
    , m_mix(mix)
{
    setObjectName("frmmain");
    setWindowTitle(tr("Sonaveil"));
    lightText(this);

    m_system = systemVolume ? new MasterVolume(std::move(systemVolume), this) : new MasterVolume(this);
    m_system->setObjectName("MasterVolume1");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(8);
    layout->addWidget(buildTop());
    layout->addWidget(buildPageBar());

    auto* middle = new QHBoxLayout;
    middle->setSpacing(10);
    auto* pagePanel = new Panel(this);
    pagePanel->setObjectName("Shape1");
    auto* pageLayout = pagePanel->setUpLayout<QVBoxLayout>({10, 6, 10, 8}, 4);

    auto* headings = new QHBoxLayout;
    headings->setSpacing(kColumnGap);
    auto* soundHeading = label(tr("Sound"), pagePanel, true);
    soundHeading->setFixedWidth(kCaptionWidth);
    headings->addWidget(soundHeading);
    for (const char* h : {QT_TR_NOOP("Volume"), QT_TR_NOOP("Frequency"), QT_TR_NOOP("L / R Balance")}) {
        auto* l = label(tr(h), pagePanel, true);
        l->setFixedWidth(kSliderWidth);
        l->setAlignment(Qt::AlignCenter);
        headings->addWidget(l);
    }
    headings->addStretch();
    pageLayout->addLayout(headings);

    m_pages = new QStackedWidget(pagePanel);
    for (int p = 1; p <= kPageCount; ++p)
        m_pages->addWidget(buildPage(p));
    pageLayout->addWidget(m_pages);
    m_stepRow = buildStepRow();
    pageLayout->addWidget(m_stepRow);
    middle->addWidget(pagePanel);
    middle->addWidget(buildMasterColumn());
    layout->addLayout(middle);
    layout->addWidget(buildPresets());

    // ucSlider31 belongs to no sound: on the window, hidden, stored in presets.
    auto* unused = makeSlider(kUnusedSlider, this);
    unused->hide();

    m_model.checkChanged = [this](int sound) { syncCheck(sound); };
    m_model.sliderChanged = [this](int number) { syncSlider(number); };

    setKeyboardOrder();
    showPage(1);
    setFixedSize(sizeHint());
}

void MainWindow::setKeyboardOrder()
{
    // The page bar, the rows of every page (only the shown page takes the focus), the step
    // buttons, the master and system volumes, the presets, then the buttons at the top.
    std::vector<QWidget*> order;
    for (Multibutton* b : m_pageButtons)
        order.push_back(b);
    order.push_back(button("stopAllButton"));
    for (int page = 1; page <= kPageCount; ++page)
        for (int sound : catalogue::soundsOnPage(page)) {
            const SoundInfo& info = catalogue::sound(sound);
            order.push_back(check(sound));
            for (int n : {info.volumeSlider, info.pitchSlider, info.panSlider})
                if (UcSlider* s = slider(n))
                    order.push_back(s);
        }
    for (const char* name : {"chameleonButton10", "chameleonButton14", "chameleonButton15", "chameleonButton16",
                             "chameleonButton17", "chameleonButton18", "chameleonButton19", "chameleonButton20",
                             "chameleonButton21", "chameleonButton25"})
        order.push_back(button(name));
    order.push_back(slider(kMasterSlider));
    order.push_back(m_system);
    for (const char* name : {"chameleonButton30", "chameleonButton31", "chameleonButton33", "chameleonButton34"})
        order.push_back(button(name));
    for (Multibutton* b : m_quick)
        order.push_back(b);
    for (const char* name : {"chameleonButton3", "chameleonButton4", "chameleonButton22", "Multibutton1",
                             "cmdPitchMatch", "chameleonButton23", "colorsButton", "chameleonButton6", "chameleonButton29", "chameleonButton26",
                             "chameleonButton1"})
        order.push_back(button(name));
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void MainWindow::showEvent(QShowEvent* e)
{
    BorderlessWindow::showEvent(e);
    // The keyboard starts where the night's work is: the first sound of the shown page.
    if (!focusWidget())
        if (const auto sounds = catalogue::soundsOnPage(m_page); !sounds.empty())
            check(sounds.front())->setFocus(Qt::ActiveWindowFocusReason);
}

MainWindow::~MainWindow()
{
    m_model.checkChanged = nullptr;
    m_model.sliderChanged = nullptr;
}

QWidget* MainWindow::buildTop()
{
    auto* top = new QWidget(this);
    auto* row = new QHBoxLayout(top);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(14);

    m_lcd = look::display(top, 4, 25);
    if (m_lcd)
        row->addWidget(m_lcd, 0, Qt::AlignTop);

    auto* title = new QVBoxLayout;
    title->setSpacing(0);
    auto* name = label(tr("Sonaveil"), top, true);
    QFont f = name->font();
    f.setPointSize(f.pointSize() + 9);
    name->setFont(f);
    title->addWidget(name);
    title->addWidget(label(tr("Masking sounds for the night"), top));
    title->addStretch();
    row->addLayout(title);
    row->addStretch();

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(6);
    auto* alarmConfig = makeButton("chameleonButton3", tr("Alarm Confi&g"), 96, top,
                                   tr("Set the alarm clock and the sleep timer"));
    auto* alarmOn = makeButton("chameleonButton4", tr("Alarm O&n"), 96, top, tr("Arm the alarm for the set time"));
    auto* alarmOff = makeButton("chameleonButton22", tr("Alarm O&ff"), 96, top, tr("Disarm the alarm and silence it"));
    auto* equalizer = makeButton("Multibutton1", tr("E&qualizer"), 96, top,
                                 tr("Shape the whole sound with the ten-band equaliser"));
    auto* options = makeButton("chameleonButton23", tr("&Options"), 96, top);
    // Every letter of its caption is another button's access key.
    auto* colours = makeButton("colorsButton", tr("Co&lors"), 96, top, tr("The colors of the player's windows"));
    auto* record = makeButton("chameleonButton6", tr("&Record"), 96, top);
    auto* help = makeButton("chameleonButton29", tr("&Help"), 96, top);
    auto* tray = makeButton("chameleonButton26", tr("Tra&y"), 96, top);
    auto* close = makeButton("chameleonButton1", tr("&Close"), 96, top);
    grid->addWidget(alarmConfig, 0, 0);
    grid->addWidget(alarmOn, 1, 0);
    grid->addWidget(alarmOff, 2, 0);
    grid->addWidget(equalizer, 0, 1);
    grid->addWidget(options, 1, 1);
    grid->addWidget(record, 2, 1);
    grid->addWidget(help, 0, 2);
    grid->addWidget(tray, 1, 2);
    grid->addWidget(close, 2, 2);
    grid->addWidget(colours, 0, 3);
    auto* pitch = makeButton("cmdPitchMatch", tr("Pitch &Match"), 96, top, tr("Find the pitch of your tinnitus"));
    grid->addWidget(pitch, 1, 3);
    connect(pitch, &Multibutton::Click, this, &MainWindow::pitchMatchClicked);
    row->addLayout(grid);

    connect(alarmConfig, &Multibutton::Click, this, &MainWindow::alarmConfigClicked);
    connect(alarmOn, &Multibutton::Click, this, &MainWindow::alarmOnClicked);
    connect(alarmOff, &Multibutton::Click, this, &MainWindow::alarmOffClicked);
    connect(equalizer, &Multibutton::Click, this, &MainWindow::equalizerClicked);
    connect(options, &Multibutton::Click, this, &MainWindow::optionsClicked);
    connect(colours, &Multibutton::Click, this, &MainWindow::coloursClicked);
    connect(record, &Multibutton::Click, this, &MainWindow::recordClicked);
    connect(help, &Multibutton::Click, this, &MainWindow::helpClicked);
    connect(tray, &Multibutton::Click, this, &MainWindow::trayClicked);
    connect(close, &Multibutton::Click, this, &MainWindow::closeClicked);
    return top;
}

QString MainWindow::soundCaption(const SoundInfo& info)
{
    return QCoreApplication::translate(catalogue::kCaptionContext, std::string(info.caption).c_str());
}

QString MainWindow::sliderName(const SliderUse& use)
{
    if (use.role == SliderRole::Master)
        return tr("Master volume");
    if (use.sound < 1)
        return tr("Volume");
    const QString sound = soundCaption(catalogue::sound(use.sound)).trimmed();
    switch (use.role) {
    case SliderRole::Pitch: return tr("%1 pitch").arg(sound);
    case SliderRole::Pan: return tr("%1 balance").arg(sound);
    default: return tr("%1 volume").arg(sound);
    }
}

UcSlider* MainWindow::makeSlider(int number, QWidget* parent)
{
    auto* s = new UcSlider(QString("ucSlider%1").arg(number), parent);
    const SliderRange range = catalogue::sliderRange(number);
    s->setRange(range.minimum, range.maximum);
    s->setValue(m_model.slider(number));
    s->setFixedWidth(kSliderWidth);
    s->setFixedHeight(kRowHeight - 2);
    s->setFocusPolicy(Qt::StrongFocus);
    const SliderUse use = catalogue::sliderUse(number);
    if (use.role == SliderRole::Pitch) {
        s->setSmallChange(10);
        s->setLargeChange(150);
    }
    s->setAccessibleName(sliderName(use));
    auto forward = [this, s, number] { m_model.setSlider(number, s->value()); };
    connect(s, &UcSlider::Change, this, forward);
    connect(s, &UcSlider::Scroll, this, forward);
    m_sliders[number] = s;
    return s;
}

QWidget* MainWindow::buildPage(int page)
{
    auto* w = new QWidget;
    auto* grid = new QGridLayout(w);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(kColumnGap);
    grid->setVerticalSpacing(2);
    int row = 0;
    for (int sound : catalogue::soundsOnPage(page)) {
        const SoundInfo& info = catalogue::sound(sound);
        auto* c = new SoundCheck(soundCaption(info), w);
        c->setObjectName(QString("Check%1").arg(sound));
        // The caption keeps the blanks it ships with; a screen reader is given the name alone.
        c->setAccessibleName(soundCaption(info).trimmed());
        lightText(c);
        c->setFixedSize(kCaptionWidth, kRowHeight);
        c->setCheckState(qtState(m_model.check(sound)));
        connect(c, &QCheckBox::stateChanged, this, [this, sound](int state) {
            m_model.setCheck(sound, modelState(state));
        });
        m_checks[std::size_t(sound - 1)] = c;
        grid->addWidget(c, row, 0);
        grid->addWidget(makeSlider(info.volumeSlider, w), row, 1);
        if (info.pitchSlider) {
            auto* pitch = makeSlider(info.pitchSlider, w);
            pitch->setEnabled(!info.pitchDisabled);
            grid->addWidget(pitch, row, 2);
        } else {
            auto* none = label(tr("Frequency Not Available"), w);
            none->setFixedSize(kSliderWidth, kRowHeight);
            none->setAlignment(Qt::AlignCenter);
            grid->addWidget(none, row, 2);
        }
        grid->addWidget(makeSlider(info.panSlider, w), row, 3);
        ++row;
    }
    // Every page is as tall as the first, so the window keeps its size.
    for (; row < kPageRows; ++row)
        grid->setRowMinimumHeight(row, kRowHeight);
    grid->setRowStretch(kPageRows, 1);
    grid->setColumnStretch(4, 1);
    return w;
}

QWidget* MainWindow::buildStepRow()
{
    auto* w = new QWidget(this);
    auto* row = new QHBoxLayout(w);
    row->setContentsMargins(0, 4, 0, 0);
    row->setSpacing(kColumnGap);
    auto* stop = makeButton("chameleonButton10", tr("S&top"), 70, w, tr("Switch off every sound of this page"));
    auto* stopBox = new QHBoxLayout;
    stopBox->setSpacing(0);
    stopBox->addWidget(stop);
    stopBox->addStretch();
    auto* stopHolder = new QWidget(w);
    stopHolder->setFixedWidth(kCaptionWidth);
    stopHolder->setLayout(stopBox);
    stopBox->setContentsMargins(0, 0, 0, 0);
    row->addWidget(stopHolder);
    connect(stop, &Multibutton::Click, this, [this] { m_mix.stopPage(m_page); });

    using Step = MixControl::Step;
    // A button of a group, and the step it asks for.
    struct StepButton {
        const char* name;
        const char* caption;
        const char* tip;
        Step step = Step::ToMinimum;
    };
    // Buttons in a column's width, each calling `action` with its step.
    auto group = [&](std::initializer_list<StepButton> items, auto action) {
        auto* holder = new QWidget(w);
        holder->setFixedWidth(kSliderWidth);
        auto* box = new QHBoxLayout(holder);
        box->setContentsMargins(0, 0, 0, 0);
        box->setSpacing(4);
        box->addStretch();
        for (const StepButton& item : items) {
            auto* b = makeButton(item.name, item.caption, 38, holder, tr(item.tip));
            connect(b, &Multibutton::Click, this, [action, step = item.step] { action(step); });
            box->addWidget(b);
        }
        box->addStretch();
        row->addWidget(holder);
    };
    group({{"chameleonButton14", " <<", QT_TR_NOOP("Every volume of this page to 0"), Step::ToMinimum},
           {"chameleonButton15", "<", QT_TR_NOOP("Every volume of this page 15 lower"), Step::Down},
           {"chameleonButton16", ">", QT_TR_NOOP("Every volume of this page 15 higher"), Step::Up},
           {"chameleonButton17", ">>", QT_TR_NOOP("Every volume of this page to full"), Step::ToMaximum}},
          [this](Step s) { m_mix.stepVolumes(m_page, s); });
    group({{"chameleonButton18", "<<", QT_TR_NOOP("Every frequency of this page to the lowest"), Step::ToMinimum},
           {"chameleonButton19", "<", QT_TR_NOOP("Every frequency of this page 1500 Hz lower"), Step::Down},
           {"chameleonButton20", ">", QT_TR_NOOP("Every frequency of this page 1500 Hz higher"), Step::Up},
           {"chameleonButton21", ">>", QT_TR_NOOP("Every frequency of this page to the highest"), Step::ToMaximum}},
          [this](Step s) { m_mix.stepPitches(m_page, s); });
    group({{"chameleonButton25", "><", QT_TR_NOOP("Every balance of this page to the centre")}},
          [this](Step) { m_mix.centrePans(m_page); });
    row->addStretch();
    return w;
}

QWidget* MainWindow::buildMasterColumn()
{
    auto* panel = new Panel(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(10, 6, 10, 8);
    grid->setHorizontalSpacing(12);
    auto* master = label(tr("Master"), panel, true);
    master->setObjectName("lblMaster");
    auto* system = label(tr("System"), panel, true);
    grid->addWidget(master, 0, 0, Qt::AlignHCenter);
    auto* masterSlider = makeSlider(kMasterSlider, panel);
    masterSlider->setVertical(true);
    masterSlider->setFixedSize(24, 262);
    masterSlider->setToolTip(tr("Master volume of every sound"));
    grid->addWidget(masterSlider, 1, 0, Qt::AlignHCenter);
    grid->addWidget(system, 2, 0, Qt::AlignHCenter);
    // The bar as stored on the window: horizontal, light yellow through orange to red on dark
    // grey, with its own small knob.
    PropertyBag stored;
    stored.write("BackColor", std::int64_t(0x404040));
    stored.write("GradientStartColor", std::int64_t(0xC0FFFF));
    stored.write("GradientMidColor", std::int64_t(0x0080FF));
    const QByteArray knob = artwork::systemKnobPng();
    stored.write("SliderIcon", PropertyBag::Bytes(knob.begin(), knob.end()));
    m_system->setParent(panel);
    m_system->readProperties(stored);
    m_system->setFixedWidth(76);
    m_system->setToolTip(tr("The computer's own output volume"));
    grid->addWidget(m_system, 3, 0, Qt::AlignHCenter);
    grid->setRowStretch(4, 1);
    return panel;
}

QWidget* MainWindow::buildPresets()
{
    auto* panel = new Panel(this);
    auto* row = panel->setUpLayout<QHBoxLayout>({10, 6, 10, 8}, 12);
    auto* left = new QVBoxLayout;
    left->setSpacing(4);
    left->addWidget(label(tr("Presets"), panel, true));
    auto* actions = new QGridLayout;
    actions->setSpacing(6);
    auto* save = makeButton("chameleonButton30", tr("Sa&ve"), 80, panel, tr("Save the mix as a preset file"));
    auto* load = makeButton("chameleonButton31", tr("Loa&d"), 80, panel, tr("Open a preset file"));
    auto* previous = makeButton("chameleonButton33", tr("&Previous"), 80, panel,
                                tr("The mix that was playing when the player last closed"));
    auto* assign = makeButton("chameleonButton34", tr("&Assign"), 80, panel,
                              tr("Put a preset file on one of the ten quick buttons"));
    actions->addWidget(save, 0, 0);
    actions->addWidget(load, 0, 1);
    actions->addWidget(previous, 1, 0);
    actions->addWidget(assign, 1, 1);
    left->addLayout(actions);
    row->addLayout(left);
    connect(save, &Multibutton::Click, this, &MainWindow::saveClicked);
    connect(load, &Multibutton::Click, this, &MainWindow::loadClicked);
    connect(previous, &Multibutton::Click, this, &MainWindow::previousClicked);
    connect(assign, &Multibutton::Click, this, &MainWindow::assignClicked);

    auto* quick = new QGridLayout;
    quick->setHorizontalSpacing(6);
    quick->setVerticalSpacing(6);
    auto* quickTitle = label(tr("Quick presets"), panel, true);
    quick->addWidget(quickTitle, 0, 0, 1, 5);
    for (int i = 0; i < 10; ++i) {
        auto* b = makeButton(QString("chameleonButton32(%1)").arg(i), QString(), 104, panel,
                             tr("Quick preset %1").arg(i + 1));
        m_quick[std::size_t(i)] = b;
        connect(b, &Multibutton::Click, this, [this, i] { emit quickClicked(i); });
        quick->addWidget(b, 1 + i / 5, i % 5);
    }
    row->addLayout(quick);
    row->addStretch();
    return panel;
}

UcSlider* MainWindow::slider(int number) const
{
    const auto it = m_sliders.find(number);
    return it == m_sliders.end() ? nullptr : it->second;
}

void MainWindow::setQuickCaption(int index, const QString& caption)
{
    if (index < 0 || index >= 10)
        return;
    m_quickNames[std::size_t(index)] = caption;
    Multibutton* b = m_quick[std::size_t(index)];
    // A long name is cut with an ellipsis; the tooltip shows it whole.
    const QString shown = QFontMetrics(b->font()).elidedText(caption, Qt::ElideRight, b->width() - 12);
    b->setCaption(escapedCaption(shown));
    b->setToolTip(caption.isEmpty() ? tr("Quick preset %1").arg(index + 1) : caption);
}

QString MainWindow::quickCaption(int index) const
{
    return index >= 0 && index < 10 ? m_quickNames[std::size_t(index)] : QString();
}

void MainWindow::syncCheck(int sound)
{
    SoundCheck* c = check(sound);
    const QSignalBlocker block(c);
    c->setCheckState(qtState(m_model.check(sound)));
}

void MainWindow::syncSlider(int number)
{
    if (UcSlider* s = slider(number))
        s->setValue(m_model.slider(number));
}

void MainWindow::closeEvent(QCloseEvent* e)
{
    // The window manager's close (Alt+F4) is the Close button: the owner shuts the program down.
    e->ignore();
    emit closeClicked();
}

} // namespace sonaveil::player
