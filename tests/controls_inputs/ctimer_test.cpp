#include "controls/ctimer.h"

#include "qtenvironment.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using sonaveil::controls::cTimer;
using sonaveil::controls::cTimerOwner;

namespace {

struct Recorder : cTimerOwner {
    std::vector<long> elapsed;
    std::vector<long> ids;
    void iTimer_Proc(long ms, long id) override
    {
        elapsed.push_back(ms);
        ids.push_back(id);
    }
};

} // namespace

TEST(cTimer, CallsItsOwnerEachIntervalUntilStoppedOrDestroyed)
{
    Recorder owner;
    auto timer = std::make_unique<cTimer>();
    EXPECT_FALSE(timer->TmrStart(nullptr, 20, 1));
    ASSERT_TRUE(timer->TmrStart(&owner, 20, 7));
    EXPECT_TRUE(timer->TmrStart(&owner, 500, 8)); // already running: unchanged
    ASSERT_TRUE(testing_support::waitUntil([&] { return owner.elapsed.size() >= 3; }, 1000));
    EXPECT_EQ(owner.ids[0], 7);
    EXPECT_GE(owner.elapsed[0], 15);
    EXPECT_GT(owner.elapsed[2], owner.elapsed[0]); // measured from the start, not per tick
    EXPECT_TRUE(timer->TmrStop());
    const auto ticks = owner.elapsed.size();
    QTest::qWait(60);
    EXPECT_EQ(owner.elapsed.size(), ticks);

    ASSERT_TRUE(timer->TmrStart(&owner, 20, 0));
    timer.reset();
    QTest::qWait(60);
    EXPECT_EQ(owner.elapsed.size(), ticks);
}
