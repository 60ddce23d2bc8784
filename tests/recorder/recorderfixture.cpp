#include "recorderfixture.h"

#include "lumidot/lcd.h"

#include <QDir>
#include <QFile>

#include <filesystem>

using namespace sonaveil;

void RecorderTest::SetUp()
{
    if (!ToneServer::instance()->running())
        GTEST_SKIP() << "no private pulseaudio";
    QDir().mkpath(file("saved recordings"));
    std::filesystem::copy_file(CONVER, m_folder / "conver");
    disk.list = {{folder(), 100'000'000'000, 50'000'000'000, 51'000'000'000, true}};
    store = std::make_unique<QSettings>(file("recorder.ini"), QSettings::IniFormat);
    open();
}

void RecorderTest::TearDown()
{
    window.reset();
    capture.reset();
}

recorder::FRMMAIN& RecorderTest::open()
{
    window.reset();
    capture.reset();
    capture = std::make_unique<recorder::CaptureControl>();
    recorder::RecorderSetup setup;
    setup.programFolder = folder();
    setup.dialogs = &dialogs;
    setup.launcher = &launcher;
    setup.disk = &disk;
    setup.store = store.get();
    setup.capture = capture.get();
    setup.findProgram = [this](const QString& name) {
        return installed.contains(name) ? QStringLiteral("/usr/bin/") + name : QString();
    };
    setup.closeDelayMs = 0;
    window = std::make_unique<recorder::FRMMAIN>(setup);
    finished = false;
    QObject::connect(window.get(), &recorder::FRMMAIN::finished, [this] { finished = true; });
    window->load();
    window->show();
    runFor(50);
    return *window;
}

void RecorderTest::closeWindow()
{
    window->on_chameleonButton1_Click();
    ASSERT_TRUE(runUntil([this] { return finished; }, 5000));
}

QString RecorderTest::line(int display, int number) const
{
    lumidot::LCD* lcd = display == 1 ? window->lcd1() : window->lcd2();
    return lcd ? lcd->GetDisplay(number) : QString();
}

void RecorderTest::picture(QWidget* w, const QString& name)
{
    const QString dir = qEnvironmentVariable("SONAVEIL_PNG_DIR");
    if (!dir.isEmpty())
        w->grab().save(dir + "/" + name + ".png");
}
