#include "player/app/tray.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

namespace sonaveil::player {

Tray::Tray(Night& night, const QIcon& icon, QObject* parent)
    : QObject(parent)
    , m_night(night)
    , m_menu(std::make_unique<QMenu>())
{
    m_menu->setObjectName("mnutray");
    QAction* load = m_menu->addAction(tr("&Load"));
    load->setObjectName("loadm");
    m_menu->addSeparator();
    m_mute = m_menu->addAction(tr("&Mute"));
    m_mute->setObjectName("mut");
    m_mute->setCheckable(true);
    m_menu->addSeparator();
    for (int minutes : Night::kSleepChoices) {
        QAction* a = m_menu->addAction(tr("Sleep in %1 min").arg(minutes));
        a->setObjectName(QString("sleep%1").arg(minutes));
        a->setCheckable(true);
        a->setToolTip(tr("The sounds fade out over the last 10 minutes, then stop"));
        connect(a, &QAction::triggered, this, [this, minutes] { m_night.sleepIn(minutes); });
        m_sleep[minutes] = a;
    }
    m_cancelSleep = m_menu->addAction(tr("Cancel sleep"));
    m_cancelSleep->setObjectName("sleepCancel");
    connect(m_cancelSleep, &QAction::triggered, this, [this] { m_night.cancelSleep(); });
    refreshSleep();
    m_menu->addSeparator();
    QAction* quit = m_menu->addAction(tr("&Quit"));
    quit->setObjectName("Quity");
    connect(load, &QAction::triggered, this, &Tray::loadClicked);
    connect(m_mute, &QAction::triggered, this, &Tray::muteClicked);
    connect(quit, &QAction::triggered, this, &Tray::quitClicked);

    m_icon = new QSystemTrayIcon(icon, this);
    m_icon->setToolTip(tr("Sonaveil"));
    m_icon->setContextMenu(m_menu.get());
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            emit activated();
    });
    // Shown even where no tray runs yet: the icon appears once a panel offers one (a panel
    // often starts after the programs of the log-on).
    m_icon->show();
}

Tray::~Tray()
{
    // The icon refers to its menu: it goes first.
    delete m_icon;
    m_icon = nullptr;
    m_menu.reset();
}

QAction* Tray::sleepAction(int minutes) const
{
    const auto it = m_sleep.find(minutes);
    return it == m_sleep.end() ? nullptr : it->second;
}

void Tray::refreshSleep()
{
    for (const auto& [minutes, action] : m_sleep)
        action->setChecked(minutes == m_night.tickedSleep());
    m_cancelSleep->setEnabled(m_night.cancelEnabled());
    m_cancelSleep->setText(QString::fromStdString(m_night.cancelText()));
}

void Tray::remove()
{
    m_icon->hide();
}

} // namespace sonaveil::player
