#include "player/app/optionswindow.h"

#include "controls/multibuttonwidget.h"
#include "player/app/artwork.h"
#include "player/app/dialogs.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWindow>

namespace sonaveil::player {

using controls::Multibutton;

OptionsWindow::OptionsWindow(PlayerOptions& options, Dialogs& dialogs, QWidget* parent)
    : ToolWindow("FRMOPTIONS", tr("Program Options"), parent)
    , m_options(options)
    , m_dialogs(dialogs)
{
    QVBoxLayout* layout = column();

    auto* tabs = new QHBoxLayout;
    tabs->setSpacing(6);
    auto* generalButton = makeButton("cmdGeneral", tr("&General Options"), 130, this);
    auto* cardButton = makeButton("cmdSoundcard", tr("So&undcard"), 130, this);
    generalButton->setCheckBoxMode(true);
    cardButton->setCheckBoxMode(true);
    tabs->addWidget(generalButton);
    tabs->addWidget(cardButton);
    tabs->addStretch();
    layout->addLayout(tabs);
    connect(generalButton, &Multibutton::Click, this, [this] { showPanel(0); });
    connect(cardButton, &Multibutton::Click, this, [this] { showPanel(1); });

    // General panel.
    m_general = new Panel(this);
    auto* g = m_general->setUpLayout<QVBoxLayout>({14, 10, 14, 12}, 6);
    auto* heading = new QLabel(tr("Startup Position"), m_general);
    QFont hf = heading->font();
    hf.setBold(true);
    heading->setFont(hf);
    lightText(heading);
    g->addWidget(heading);
    auto* group = new QButtonGroup(this);
    const char* captions[] = {QT_TR_NOOP("&Fully Displayed"), QT_TR_NOOP("&Taskbar"), QT_TR_NOOP("System Tra&y")};
    for (int i = 0; i < 3; ++i) {
        auto* r = new QRadioButton(tr(captions[i]), m_general);
        r->setObjectName(QString("optdisplay(%1)").arg(i));
        lightText(r);
        group->addButton(r, i);
        m_display[std::size_t(i)] = r;
        g->addWidget(r);
        connect(r, &QRadioButton::clicked, this, [this, i] { m_options.chooseDisplay(i); });
    }
    g->addSpacing(6);
    m_startup = new QCheckBox(tr("&Launch program automatically on boot"), m_general);
    m_startup->setObjectName("chkstartup");
    lightText(m_startup);
    g->addWidget(m_startup);
    connect(m_startup, &QCheckBox::clicked, this, &OptionsWindow::changeLaunchAtLogOn);
    m_resume = new QCheckBox(tr("&Resume the last mix at start-up"), m_general);
    m_resume->setObjectName("chkresume");
    lightText(m_resume);
    g->addWidget(m_resume);
    connect(m_resume, &QCheckBox::clicked, this, [this](bool on) { m_options.setResumeLastMix(on); });
    m_endless = new QCheckBox(tr("&Endless sounds (never repeat)"), m_general);
    m_endless->setObjectName("chkendless");
    m_endless->setToolTip(tr("The built-in sounds are made as they play and never repeat; unticked, each plays its "
                             "file as a loop. Applies to sounds switched on from now on."));
    lightText(m_endless);
    g->addWidget(m_endless);
    connect(m_endless, &QCheckBox::clicked, this, [this](bool on) { m_options.setEndlessSounds(on); });
    g->addSpacing(6);
    auto* contactRow = new QHBoxLayout;
    auto* contact = makeButton("cmdContact", tr("C&ontact Us"), 110, m_general, tr("Write to us by e-mail"));
    contactRow->addWidget(contact);
    contactRow->addStretch();
    g->addLayout(contactRow);
    connect(contact, &Multibutton::Click, this, [this] { emit contactClicked(kContactAddress); });
    g->addStretch();
    layout->addWidget(m_general);

    // Sound-card panel.
    m_soundcard = new Panel(this);
    auto* s = m_soundcard->setUpLayout<QVBoxLayout>({14, 10, 14, 12}, 8);
    m_label4 = new QLabel(tr("Currently Used Soundcard: "), m_soundcard);
    m_label4->setObjectName("Label4");
    m_label4->setWordWrap(true);
    lightText(m_label4);
    s->addWidget(m_label4);
    m_combo = new QComboBox(m_soundcard);
    m_combo->setAccessibleName(tr("Sound card"));
    m_combo->view()->setAccessibleName(tr("Sound card"));
    m_combo->setObjectName("Combo1");
    m_combo->setPlaceholderText(tr("Select preferred soundcard..."));
    m_combo->setMinimumWidth(300);
    s->addWidget(m_combo);
    auto* selectRow = new QHBoxLayout;
    auto* selectButton = makeButton("cmdSelect", tr("&Select"), 90, m_soundcard,
                                    tr("Use this sound card from the next start on"));
    selectRow->addWidget(selectButton);
    selectRow->addStretch();
    s->addLayout(selectRow);
    s->addStretch();
    connect(selectButton, &Multibutton::Click, this, &OptionsWindow::select);
    layout->addWidget(m_soundcard);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    auto* close = makeButton("cmdClose", tr("&Close"), 90, this);
    bottom->addWidget(close);
    layout->addLayout(bottom);
    connect(close, &Multibutton::Click, this, &QWidget::hide);

    // Both panels take the same place: the window keeps its size when they switch.
    m_general->setMinimumHeight(230);
    m_soundcard->setMinimumHeight(230);
    showPanel(0);
    refresh();
    setFixedSize(qMax(sizeHint().width(), 420), sizeHint().height());
}

void OptionsWindow::showPanel(int panel)
{
    m_panel = panel == 1 ? 1 : 0;
    m_general->setVisible(m_panel == 0);
    m_soundcard->setVisible(m_panel == 1);
    if (auto* b = button("cmdGeneral"))
        b->setValue(m_panel == 0);
    if (auto* b = button("cmdSoundcard"))
        b->setValue(m_panel == 1);
}

void OptionsWindow::fillDrivers(const std::vector<std::string>& names)
{
    m_combo->clear();
    for (int d : PlayerOptions::listOrder(int(names.size())))
        m_combo->addItem(QString::fromStdString(names[std::size_t(d)]), d);
    m_combo->setCurrentIndex(-1);
}

void OptionsWindow::setCurrentDriverName(const QString& name)
{
    m_label4->setText(tr("Current Soundcard: %1").arg(name));
}

void OptionsWindow::refresh()
{
    const int display = m_options.display();
    for (int i = 0; i < 3; ++i) {
        const QSignalBlocker block(m_display[std::size_t(i)]);
        m_display[std::size_t(i)]->setChecked(i == display);
    }
    const QSignalBlocker b1(m_startup);
    m_startup->setChecked(m_options.launchAtLogOn());
    const QSignalBlocker b2(m_resume);
    m_resume->setChecked(m_options.resumeLastMix());
    const QSignalBlocker b3(m_endless);
    m_endless->setChecked(m_options.endlessSounds());
}

void OptionsWindow::changeLaunchAtLogOn(bool on)
{
    const PlayerOptions::LaunchChange change = m_options.setLaunchAtLogOn(on);
    if (change == PlayerOptions::LaunchChange::Done)
        return;
    const QSignalBlocker blocker(m_startup);
    m_startup->setChecked(m_options.launchAtLogOn());
    if (change == PlayerOptions::LaunchChange::ProgramNotNameable)
        m_dialogs.information(this, tr("Sonaveil"),
                              tr("Sonaveil cannot start automatically from the folder it is in: the name of that "
                                 "folder is not plain text, so the desktop's start-up entry cannot name the "
                                 "program. Move the Sonaveil folder to a folder with a plain name to use this "
                                 "option."));
    else
        m_dialogs.information(this, tr("Sonaveil"),
                              tr("The start-up entry could not be written: neither the desktop's start-up "
                                 "folder for every user nor your own (~/.config/autostart) can be written to."));
}

void OptionsWindow::select()
{
    const int index = m_combo->currentIndex();
    m_options.setDriver(index < 0 ? -1 : m_combo->itemData(index).toInt());
    m_dialogs.information(this, tr("Sonaveil"), tr("Please restart the application for the change to take effect."));
}

} // namespace sonaveil::player
