#include "privatepulse.h"
#include "testexit.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

// One private sound server for the whole program: every player under test plays through it.
class PulseEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        m_pulse.useEnvironment();
        if (!m_pulse.start())
            ADD_FAILURE() << "the private pulseaudio did not start: the players under test would be silent";
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
    return testProgramResult(RUN_ALL_TESTS());
}
