#include "playerfixture.h"

#include "lumidot/lcd.h"
#include "player/app/mainwindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>

#include <fstream>

#include <gtest/gtest.h>


namespace fs = std::filesystem;
using namespace sonaveil;

PlayerFixture::PlayerFixture()
{
    const char* dist = std::getenv("SONAVEIL_DIST");
    if (dist && fs::exists(fs::path(dist) / "bin"))
        fs::create_directory_symlink(fs::path(dist) / "bin", folder / "bin");
    fs::create_directory(folder / "saves");
    // Autostart entries go to a temporary home: the machine-wide folder is one nobody can write.
    autostart = std::make_unique<platform::XdgAutostart>(QString::fromStdString((home / "no-system").string()),
                                                         QString::fromStdString((home / "autostart").string()));
}

PlayerFixture::~PlayerFixture()
{
    player.reset();
}

player::Player& PlayerFixture::start(std::optional<bool> trayAvailable)
{
    player.reset();
    player::PlayerSetup setup;
    setup.programFolder = prog();
    setup.programPath = programPath.value_or(prog() + "/quietdeck");
    setup.dialogs = &dialogs;
    setup.launcher = &launcher;
    setup.autostart = autostart.get();
    setup.trayAvailable = trayAvailable;
    setup.nightClock = nightClock;
    setup.systemVolume = [this] {
        auto v = std::make_unique<platform::FakeSystemVolume>();
        v->level = 40000;
        systemVolume = v.get();
        return v;
    };
    player = std::make_unique<player::Player>(setup);
    player->startUp();
    return *player;
}

void PlayerFixture::close()
{
    if (player)
        player->close();
    player.reset();
}

std::string PlayerFixture::read(const std::string& name) const
{
    return fileText(file(name));
}

void PlayerFixture::write(const std::string& name, const std::string& bytes) const
{
    std::ofstream out(file(name), std::ios::binary);
    out << bytes;
}

bool voicesStarted(player::Player& p)
{
    const auto starting = [&p] {
        for (int s = 1; s <= player::kSoundCount; ++s)
            if (p.model().entry(s).making)
                return true;
        return false;
    };
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (starting() && std::chrono::steady_clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return !starting();
}

QString pictureFolder()
{
    const QString dir = QCoreApplication::applicationDirPath() + "/player-pictures";
    QDir().mkpath(dir);
    return dir;
}

void click(QWidget* widget)
{
    ASSERT_NE(widget, nullptr);
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(widget->width() / 2, widget->height() / 2));
}

QString line(player::Player& player, int number)
{
    return player.mainWindow()->display()->GetDisplay(number);
}
