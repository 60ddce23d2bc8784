#include "audio/output.h"
#include "privatepulse.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

using namespace sonaveil::audio;
using Clock = std::chrono::steady_clock;

namespace {

// The sink names of `pactl list short sinks`, in the server's order.
std::vector<std::string> pactlSinkNames(const PrivatePulse& pulse)
{
    std::vector<std::string> names;
    std::istringstream lines(pulse.pactl("list short sinks"));
    std::string line;
    while (std::getline(lines, line)) {
        const auto tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        names.push_back(line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1));
    }
    return names;
}

std::vector<std::string> namesOf(const std::vector<OutputDevice>& devices)
{
    std::vector<std::string> names;
    for (const auto& d : devices)
        names.push_back(d.name);
    return names;
}

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

TEST(PulseSinkList, IsTheServersSinksWithTheDefaultFirst)
{
    PrivatePulse pulse;
    ASSERT_TRUE(pulse.start());
    ASSERT_FALSE(pulse.pactl("load-module module-null-sink sink_name=sonaveil_third").empty());
    const std::vector<std::string> server = pactlSinkNames(pulse);
    ASSERT_EQ(server, (std::vector<std::string>{"sonaveil_test", "sonaveil_second", "sonaveil_third"}));

    const auto sinks = listPulseSinks();
    EXPECT_EQ(namesOf(sinks), server);
    ASSERT_EQ(sinks.size(), 3u);
    EXPECT_EQ(sinks[0].description, "Sonaveil_Test");
    EXPECT_EQ(sinks[1].description, "Second_Sink");
    EXPECT_FALSE(sinks[2].description.empty());

    pulse.pactl("set-default-sink sonaveil_second");
    EXPECT_EQ(namesOf(listPulseSinks()),
        (std::vector<std::string>{"sonaveil_second", "sonaveil_test", "sonaveil_third"}));
    pulse.pactl("set-default-sink sonaveil_third");
    EXPECT_EQ(namesOf(listPulseSinks()),
        (std::vector<std::string>{"sonaveil_third", "sonaveil_test", "sonaveil_second"}));
}

TEST(PulseSinkList, IsEmptyWithinTheTimeoutWhenNoServerAnswers)
{
    PrivatePulse pulse;
    ASSERT_TRUE(pulse.start());
    pulse.freeze();
    auto start = Clock::now();
    EXPECT_TRUE(listPulseSinks(300).empty());
    const double hung = millisecondsSince(start);
    EXPECT_GE(hung, 250.0);
    EXPECT_LT(hung, 800.0) << "waited past the timeout on a hung server";
    pulse.thaw();
    EXPECT_EQ(listPulseSinks().size(), 2u);

    pulse.kill();
    start = Clock::now();
    EXPECT_TRUE(listPulseSinks(1500).empty());
    EXPECT_LT(millisecondsSince(start), 500.0) << "a refused connection is known at once";
}
