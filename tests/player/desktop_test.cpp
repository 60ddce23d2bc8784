// The player on the desktop: its command line, later starts handing theirs over, and the
// media-player interface on a private session bus.
#include "player/app/desktopbridge.h"
#include "player/app/mainwindow.h"
#include "player/desktop/commandline.h"
#include "player/desktop/mpris.h"
#include "player/desktop/singleinstance.h"

#include "playerfixture.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusArgument>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace sonaveil;
using namespace sonaveil::player;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

using Steps = std::vector<CommandLine::Step>;
using A = CommandLine::Action;

// A preset record with the given sounds on at volume 100 and the master at 60.
std::string presetWith(std::initializer_list<int> on)
{
    std::string text;
    for (int n = 1; n <= 35; ++n)
        text += std::string(std::find(on.begin(), on.end(), n) != on.end() ? "1" : "0") + ",";
    for (int i = 0; i < 102; ++i)
        text += std::string(i == 31 ? "60" : "100") + (i + 1 < 102 ? "," : "\r\n");
    return text;
}

int soundsOn(Player& p)
{
    int n = 0;
    for (int s = 1; s <= kSoundCount; ++s)
        n += p.model().entry(s).on() ? 1 : 0;
    return n;
}

} // namespace

TEST(CommandLine, ReadsEveryOptionInOrderAndGivesItBack)
{
    std::string error;
    const auto line = CommandLine::parse({"--load", "a b.svp", "--mute", "--tray", "--previous", "--stop-all",
                                          "--unmute", "--quit", "--load=x.svp", "/home/me/Rain.svp", "--tinnitus",
                                          "--add-sound", "rain.flac", "--add-sound=music"}, error);
    ASSERT_TRUE(line) << error;
    EXPECT_EQ(line->steps, (Steps{{A::Load, "a b.svp"}, {A::Mute, ""}, {A::Previous, ""}, {A::StopAll, ""},
                                  {A::Unmute, ""}, {A::Quit, ""}, {A::Load, "x.svp"}, {A::Load, "/home/me/Rain.svp"},
                                  {A::Tinnitus, ""}, {A::AddSound, "rain.flac"}, {A::AddSound, "music"}}));
    EXPECT_TRUE(line->tray);
    EXPECT_FALSE(line->bringsWindowForward());
    EXPECT_TRUE(line->quits());
    std::string again;
    const auto read = CommandLine::parse(line->arguments(), again);
    ASSERT_TRUE(read) << again;
    EXPECT_EQ(read->steps, line->steps);
    EXPECT_EQ(read->arguments(), line->arguments());

    EXPECT_TRUE(CommandLine::parse({}, error)->bringsWindowForward());
    EXPECT_TRUE(CommandLine::parse({"--help"}, error)->help);
    EXPECT_TRUE(CommandLine::parse({"--version"}, error)->version);
    for (const auto& bad : std::vector<std::vector<std::string>>{
             {"--load"}, {"--load", ""}, {"--load="}, {"--add-sound"}, {"--mute=yes"}, {"--volume"}, {"-x"}, {"-"}}) {
        EXPECT_FALSE(CommandLine::parse(bad, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos) << "one line";
    }
}

class Desktop : public ::testing::Test {
protected:
    InstanceReply send(std::vector<std::string> arguments)
    {
        std::optional<InstanceReply> reply;
        bridge->receive(arguments, [&](const InstanceReply& r) { reply = r; });
        EXPECT_TRUE(reply) << "answered at once once started";
        return reply.value_or(InstanceReply{-1, {}});
    }
    void SetUp() override
    {
        fx.start(true);
        bridge = std::make_unique<DesktopBridge>(*fx.player);
        fx.write("saves/Night.svp", presetWith({1, 2, 3}));
    }
    void TearDown() override
    {
        bridge.reset();
        fx.close();
    }

    PlayerFixture fx;
    std::unique_ptr<DesktopBridge> bridge;
};

TEST_F(Desktop, EachOptionActsOnTheRunningPlayer)
{
    Player& p = *fx.player;
    const std::string night = fx.file("saves/Night.svp").string();
    EXPECT_EQ(send({"--load", night}).code, 0);
    EXPECT_EQ(soundsOn(p), 3);
    EXPECT_EQ(p.presets().currentName(), "Night");
    EXPECT_EQ(bridge->status(), MediaControl::Status::Playing);

    EXPECT_EQ(send({"--mute"}).code, 0);
    EXPECT_TRUE(p.mix().muteMark());
    EXPECT_EQ(p.model().slider(kMasterSlider), 0);
    EXPECT_EQ(send({"--mute"}).code, 0) << "muting a muted mix keeps it muted";
    EXPECT_TRUE(p.mix().muteMark());
    EXPECT_EQ(bridge->status(), MediaControl::Status::Paused);
    EXPECT_EQ(send({"--unmute"}).code, 0);
    EXPECT_EQ(p.model().slider(kMasterSlider), 60);
    EXPECT_EQ(send({"--unmute"}).code, 0);
    EXPECT_EQ(p.model().slider(kMasterSlider), 60);

    EXPECT_EQ(send({"--stop-all"}).code, 0);
    EXPECT_EQ(soundsOn(p), 0);
    EXPECT_EQ(bridge->status(), MediaControl::Status::Stopped);

    const InstanceReply none = send({"--previous"});
    EXPECT_EQ(none.code, 2);
    EXPECT_NE(none.message.find("no previous mix"), std::string::npos);
    fx.write("previous.tmp", presetWith({5}));
    EXPECT_EQ(send({"--previous"}).code, 0);
    EXPECT_TRUE(p.model().entry(5).on());
    EXPECT_EQ(p.presets().currentName(), "Previous");

    // The steps run in order; a failing one stops the rest and the mix stays as it was.
    const InstanceReply missing = send({"--stop-all", "--load", fx.file("saves/Gone.svp").string(), "--mute"});
    EXPECT_EQ(missing.code, 2);
    EXPECT_NE(missing.message.find("Gone.svp"), std::string::npos);
    EXPECT_EQ(soundsOn(p), 0);
    EXPECT_FALSE(p.mix().muteMark());

    EXPECT_EQ(send({"--bogus"}).code, 2);

    QSignalSpy quit(&p, &Player::quitRequested);
    EXPECT_EQ(send({"--quit"}).code, 0);
    EXPECT_TRUE(quit.wait(2000));
}

TEST_F(Desktop, APlainStartBringsTheWindowForwardAndTrayLeavesItHidden)
{
    Player& p = *fx.player;
    p.toTray();
    ASSERT_FALSE(p.mainWindow()->isVisible());
    EXPECT_EQ(send({"--tray"}).code, 0);
    EXPECT_FALSE(p.mainWindow()->isVisible());
    EXPECT_EQ(send({}).code, 0);
    EXPECT_TRUE(p.mainWindow()->isVisible());
}

TEST_F(Desktop, HostilePresetsAreRefusedWithinASecondAndTheMixStays)
{
    Player& p = *fx.player;
    ASSERT_EQ(send({"--load", fx.file("saves/Night.svp").string()}).code, 0);
    ASSERT_EQ(::mkfifo(fx.file("saves/fifo.svp").c_str(), 0600), 0);
    fs::create_directory(fx.file("saves/folder.svp"));
    std::string nan = presetWith({1});
    nan.replace(nan.find("100"), 3, "nan");
    fx.write("saves/nan.svp", nan);
    std::string inf = presetWith({1});
    inf.replace(inf.find("100"), 3, "inf");
    fx.write("saves/inf.svp", inf);
    std::string huge = presetWith({1});
    huge.replace(huge.find("100"), 3, "1e300");
    fx.write("saves/huge.svp", huge);
    fx.write("saves/big.svp", presetWith({1}) + std::string(10 << 20, ' '));
    for (const std::string& f : {fx.file("saves/fifo.svp").string(), std::string("/dev/zero"),
                                 fx.file("saves/folder.svp").string(), fx.file("saves/nan.svp").string(),
                                 fx.file("saves/inf.svp").string(), fx.file("saves/huge.svp").string(),
                                 fx.file("saves/big.svp").string()}) {
        SCOPED_TRACE(f);
        const auto start = Clock::now();
        const InstanceReply r = send({"--load", f});
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(soundsOn(p), 3);
        EXPECT_EQ(p.presets().currentName(), "Night");
    }
    // The same through the window's Load: its usual message, nothing changed.
    fx.dialogs.files.push_back(QString::fromStdString(fx.file("saves/fifo.svp").string()));
    p.presetActions().load();
    ASSERT_EQ(fx.dialogs.messages.size(), 1u);
    EXPECT_EQ(fx.dialogs.messages.back(), QString("Sonaveil|") + PresetActions::kOpenProblem);
}

TEST(SingleInstance, ALaterStartFindsTheLockAndHandsItsArgumentsOver)
{
    TempFolder runtime;
    const std::string folder = (runtime / "sonaveil").string();
    InstanceLock first(folder);
    ASSERT_TRUE(first.acquire());
    InstanceLock second(folder);
    EXPECT_FALSE(second.acquire());
    EXPECT_TRUE(second.usable());

    // Nobody listening yet: the later start gives up after its time.
    const auto start = Clock::now();
    EXPECT_FALSE(forwardToRunning(first.socketPath(), {}, 200));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));

    InstanceServer server;
    ASSERT_TRUE(server.listen(QString::fromStdString(first.socketPath())));
    std::vector<std::string> got;
    server.received = [&](const std::vector<std::string>& arguments, InstanceServer::Answer answer) {
        got = arguments;
        answer({2, "cannot load \"x\": bad\nsecond line"});
    };
    std::optional<InstanceReply> reply;
    std::thread later([&] { reply = forwardToRunning(first.socketPath(), {"--load", "a b\nc", "", "--mute"}, 5000); });
    const auto until = Clock::now() + std::chrono::seconds(5);
    while (!reply && Clock::now() < until)
        QTest::qWait(10);
    later.join();
    ASSERT_TRUE(reply);
    EXPECT_EQ(got, (std::vector<std::string>{"--load", "a b\nc", "", "--mute"}));
    EXPECT_EQ(reply->code, 2);
    EXPECT_EQ(reply->message, "cannot load \"x\": bad second line");

    // A folder others can write to is not trusted with the lock.
    TempFolder open;
    fs::permissions(open / "", fs::perms::all);
    InstanceLock unsafe(open.path().string());
    EXPECT_FALSE(unsafe.acquire());
    EXPECT_FALSE(unsafe.usable());
}

// A session bus of the test's own.
class PrivateBus {
public:
    PrivateBus()
    {
        int out[2];
        if (::pipe(out) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            ::execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=1",
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        char buffer[512];
        std::string line;
        ssize_t n;
        while (line.find('\n') == std::string::npos && (n = ::read(out[0], buffer, sizeof buffer)) > 0)
            line.append(buffer, std::size_t(n));
        ::close(out[0]);
        m_address = QString::fromStdString(line.substr(0, line.find('\n')));
    }
    ~PrivateBus()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    const QString& address() const { return m_address; }

private:
    pid_t m_pid = -1;
    QString m_address;
};

// Remembers every PropertiesChanged it hears.
class ChangeListener : public QObject {
    Q_OBJECT
public:
    std::vector<QVariantMap> changes;
public slots:
    void changed(const QString& interface, const QVariantMap& properties, const QStringList&)
    {
        if (interface == "org.mpris.MediaPlayer2.Player")
            changes.push_back(properties);
    }
};

class MprisTest : public Desktop {
protected:
    void SetUp() override
    {
        Desktop::SetUp();
        if (bus.address().isEmpty())
            FAIL() << "the private dbus-daemon did not start";
        serverBus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(bus.address(), "player-side"));
        clientBus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(bus.address(), "desktop-side"));
        ASSERT_TRUE(bridge->publishOn(*serverBus));
        ASSERT_TRUE(clientBus->connect(Mpris::kService, Mpris::kPath, "org.freedesktop.DBus.Properties",
                                       "PropertiesChanged", &listener,
                                       SLOT(changed(QString, QVariantMap, QStringList))));
    }
    void TearDown() override
    {
        bridge.reset(); // unregisters before the connections go
        if (clientBus)
            QDBusConnection::disconnectFromBus("desktop-side");
        if (serverBus)
            QDBusConnection::disconnectFromBus("player-side");
        Desktop::TearDown();
    }
    QDBusMessage call(const QString& interface, const QString& method, const QVariantList& arguments = {})
    {
        QDBusMessage m = QDBusMessage::createMethodCall(Mpris::kService, Mpris::kPath, interface, method);
        m.setArguments(arguments);
        // The player answers on this thread: the call must keep its events going.
        return clientBus->call(m, QDBus::BlockWithGui, 5000);
    }
    QVariant property(const QString& interface, const QString& name)
    {
        const QDBusMessage r = call("org.freedesktop.DBus.Properties", "Get", {interface, name});
        if (r.type() != QDBusMessage::ReplyMessage || r.arguments().isEmpty())
            return {};
        return r.arguments().at(0).value<QDBusVariant>().variant();
    }
    QString status() { return property(kPlayer, "PlaybackStatus").toString(); }
    // Play, with a last mix of sounds 7 and 8 on disk: then `sounds` play, under `expectedTitle`.
    void playWithALastMixOnDisk(Player& p, int sounds, const QString& expectedTitle)
    {
        fx.write("previous.tmp", presetWith({7, 8}));
        EXPECT_TRUE(property(kPlayer, "CanPlay").toBool());
        call(kPlayer, "Play");
        EXPECT_EQ(soundsOn(p), sounds);
        EXPECT_EQ(status(), "Playing");
        EXPECT_EQ(title(), expectedTitle);
    }
    QString title()
    {
        QVariantMap map;
        property(kPlayer, "Metadata").value<QDBusArgument>() >> map;
        return map.value("xesam:title").toString();
    }
    // Waits for the next PropertiesChanged and returns it.
    QVariantMap nextChange()
    {
        const std::size_t before = listener.changes.size();
        const auto until = Clock::now() + std::chrono::seconds(10);
        while (listener.changes.size() == before && Clock::now() < until)
            QTest::qWait(5);
        return listener.changes.size() > before ? listener.changes.back() : QVariantMap();
    }
    // Waits until a PropertiesChanged from `from` on carries `name`; its value, or nothing.
    QVariant changeOf(const QString& name, std::size_t from)
    {
        const auto until = Clock::now() + std::chrono::seconds(10);
        for (;;) {
            for (std::size_t i = from; i < listener.changes.size(); ++i)
                if (listener.changes[i].contains(name))
                    return listener.changes[i].value(name);
            if (Clock::now() >= until)
                return {};
            QTest::qWait(5);
        }
    }

    static constexpr const char* kRoot = "org.mpris.MediaPlayer2";
    static constexpr const char* kPlayer = "org.mpris.MediaPlayer2.Player";
    PrivateBus bus;
    std::unique_ptr<QDBusConnection> serverBus;
    std::unique_ptr<QDBusConnection> clientBus;
    ChangeListener listener;
};

TEST_F(MprisTest, IntrospectionAndTheFixedProperties)
{
    const QDBusMessage r = call("org.freedesktop.DBus.Introspectable", "Introspect");
    ASSERT_EQ(r.type(), QDBusMessage::ReplyMessage) << r.errorMessage().toStdString();
    const QString xml = r.arguments().at(0).toString();
    for (const char* needle : {"org.mpris.MediaPlayer2\"", "org.mpris.MediaPlayer2.Player\"", "\"Raise\"", "\"Quit\"",
                               "\"PlayPause\"", "\"Play\"", "\"Pause\"", "\"Stop\"", "\"PlaybackStatus\"", "\"Metadata\"",
                               "\"Identity\"", "\"DesktopEntry\"", "\"Volume\""})
        EXPECT_TRUE(xml.contains(needle)) << needle;
    EXPECT_EQ(property(kRoot, "Identity").toString(), "Sonaveil");
    EXPECT_EQ(property(kRoot, "DesktopEntry").toString(), "sonaveil");
    EXPECT_TRUE(property(kRoot, "CanQuit").toBool());
    EXPECT_TRUE(property(kRoot, "CanRaise").toBool());
    EXPECT_FALSE(property(kRoot, "HasTrackList").toBool());
    EXPECT_TRUE(property(kPlayer, "CanPause").toBool());
    EXPECT_TRUE(property(kPlayer, "CanControl").toBool());
    EXPECT_FALSE(property(kPlayer, "CanSeek").toBool());
    EXPECT_EQ(property(kPlayer, "Rate").toDouble(), 1.0);
    EXPECT_EQ(status(), "Stopped");
    // Before any preset the sound menu names the program, never "None".
    EXPECT_EQ(title(), "Sonaveil");
    // A mix has no tracks and no position: these answer and change nothing.
    for (const auto& [method, arguments] : std::vector<std::pair<QString, QVariantList>>{
             {"Next", {}}, {"Previous", {}}, {"Seek", {qlonglong(1000)}},
             {"SetPosition", {QVariant::fromValue(QDBusObjectPath("/org/mpris/MediaPlayer2/sonaveil/mix")), qlonglong(0)}},
             {"OpenUri", {QString("file:///tmp/x.svp")}}}) {
        const QDBusMessage reply = call(kPlayer, method, arguments);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << method.toStdString() << ": " << reply.errorMessage().toStdString();
    }
    EXPECT_EQ(status(), "Stopped");
    EXPECT_EQ(property(kPlayer, "Position").toLongLong(), 0);
}

TEST_F(MprisTest, MethodsActOnTheMixAndEveryChangeIsAnnounced)
{
    Player& p = *fx.player;
    ASSERT_EQ(send({"--load", fx.file("saves/Night.svp").string()}).code, 0);
    QVariantMap change = nextChange();
    EXPECT_EQ(change.value("PlaybackStatus").toString(), "Playing");
    EXPECT_EQ(status(), "Playing");
    EXPECT_EQ(title(), "Night");

    // Mute from the window's tray menu is announced like any other change.
    p.toggleMute();
    EXPECT_EQ(nextChange().value("PlaybackStatus").toString(), "Paused");
    p.toggleMute();
    EXPECT_EQ(nextChange().value("PlaybackStatus").toString(), "Playing");

    EXPECT_EQ(call(kPlayer, "Pause").type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(p.mix().muteMark());
    EXPECT_EQ(status(), "Paused");
    call(kPlayer, "PlayPause");
    EXPECT_EQ(status(), "Playing");
    call(kPlayer, "PlayPause");
    EXPECT_EQ(status(), "Paused");
    call(kPlayer, "Play");
    EXPECT_EQ(status(), "Playing");
    EXPECT_EQ(p.model().slider(kMasterSlider), 60);

    // Volume follows and sets the master.
    EXPECT_DOUBLE_EQ(property(kPlayer, "Volume").toDouble(), 0.6);
    std::size_t from = listener.changes.size();
    call("org.freedesktop.DBus.Properties", "Set",
         {QString(kPlayer), QString("Volume"), QVariant::fromValue(QDBusVariant(0.25))});
    EXPECT_EQ(p.model().slider(kMasterSlider), 25);
    // The desktop hears of the change, whichever side made it.
    EXPECT_DOUBLE_EQ(changeOf("Volume", from).toDouble(), 0.25);
    from = listener.changes.size();
    p.model().setSlider(kMasterSlider, 80);
    EXPECT_DOUBLE_EQ(changeOf("Volume", from).toDouble(), 0.8);
    EXPECT_DOUBLE_EQ(property(kPlayer, "Volume").toDouble(), 0.8);
    from = listener.changes.size();
    p.model().setSlider(kMasterSlider, 25);
    EXPECT_DOUBLE_EQ(changeOf("Volume", from).toDouble(), 0.25);

    const std::size_t heard = listener.changes.size();
    call(kPlayer, "Stop");
    EXPECT_EQ(soundsOn(p), 0);
    EXPECT_EQ(status(), "Stopped");
    if (listener.changes.size() == heard)
        nextChange();
    ASSERT_GT(listener.changes.size(), heard);
    EXPECT_EQ(listener.changes[heard].value("PlaybackStatus").toString(), "Stopped");

    // Play after Stop brings back the mix Stop switched off, even with a last mix on disk.
    playWithALastMixOnDisk(p, 3, "Night");
    EXPECT_EQ(p.model().slider(kMasterSlider), 25);
    bool titled = false;
    for (const QVariantMap& c : listener.changes)
        titled = titled || c.contains("Metadata");
    EXPECT_TRUE(titled);

    p.toTray();
    call(kRoot, "Raise");
    EXPECT_TRUE(p.mainWindow()->isVisible());
    QSignalSpy quit(&p, &Player::quitRequested);
    call(kRoot, "Quit");
    EXPECT_TRUE(quit.count() > 0 || quit.wait(2000));
}

TEST_F(MprisTest, PlayFromAFreshStartUsesTheLastMixAndCanPlayTellsWhetherThereIsOne)
{
    Player& p = *fx.player;
    fs::remove(fx.file("previous.tmp"));
    EXPECT_FALSE(property(kPlayer, "CanPlay").toBool());
    call(kPlayer, "Play");
    EXPECT_EQ(soundsOn(p), 0);
    EXPECT_EQ(status(), "Stopped");

    playWithALastMixOnDisk(p, 2, "Previous");
}

TEST(Mpris, WithoutABusThePlayerRunsOn)
{
    struct Still : MediaControl {
        Status status() const override { return Status::Stopped; }
        QString title() const override { return {}; }
        bool canPlay() const override { return false; }
        double volume() const override { return 0.5; }
        void setVolume(double) override {}
        void raise() override {}
        void quit() override {}
        void play() override {}
        void pause() override {}
        void stop() override {}
    } control;
    Mpris mpris(control, "sonaveil");
    EXPECT_FALSE(mpris.registerOn(QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "nowhere")));
    mpris.refresh(); // nothing to send to, nothing happens
    QDBusConnection::disconnectFromBus("nowhere");
}

#include "desktop_test.moc"
