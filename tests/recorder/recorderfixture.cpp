#include "recorderfixture.h"

#include "lumidot/lcd.h"

using namespace sonaveil;

void RecorderTest::SetUp()
{
    RecorderServicesTest::SetUp();
    if (!HasFatalFailure())
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
    window = std::make_unique<recorder::FRMMAIN>(freshSetup());
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
