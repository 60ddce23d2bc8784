#include "privatepulse.h"
#include "qttestmain.h"

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
    return runWithApplication(argc, argv, new PulseEnvironment);
}
