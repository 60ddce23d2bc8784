#include "privatepulse.h"

#include <QApplication>

#include <cstdio>
#include <gtest/gtest.h>

namespace {

// One private sound server for the whole program: the measures play through it. Without it
// the tests do not run at all: they fail.
class PulseEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        m_pulse.useEnvironment();
        ASSERT_TRUE(m_pulse.start()) << "no private pulseaudio for the profile's tests";
    }
    void TearDown() override { m_pulse.stop(); }

private:
    PrivatePulse m_pulse;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new PulseEnvironment);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
