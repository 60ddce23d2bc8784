// The last mix kept on disk while the player runs, through the keeper's own timer.
#include "player/presets/mixkeeper.h"

#include "fakebinding.h"
#include "player/core/channelmodel.h"
#include "player/presets/presetrecord.h"
#include "tempfolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>

using namespace sonaveil;
using namespace sonaveil::player;
namespace fs = std::filesystem;

namespace {

void spin(int ms)
{
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Runs the event loop until `done` holds or `ms` passed (a generous deadline: the timers of a
// loaded machine come late); returns `done()`.
bool spinUntil(const std::function<bool()>& done, int ms = 10000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        spin(5);
    return done();
}

std::string slurp(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class Keeper : public ::testing::Test {
protected:
    void SetUp() override
    {
        model.loadSamples(folder.path().string());
        keeper.failed = [this](const std::string& file, const std::string& why) { told.push_back(file + "|" + why); };
    }
    // The running mix; "previous.tmp" is the last close's.
    fs::path previous() const { return folder / MixKeeper::kRunningName; }
    fs::path lastClose() const { return folder / "previous.tmp"; }

    TempFolder folder;
    FakeBinding audio;
    ChannelModel model{audio};
    PresetFiles presets{model, folder.path()};
    MixKeeper keeper{presets, 150};
    std::vector<std::string> told;
};

} // namespace

TEST_F(Keeper, WritesTheMixOnceItHasBeenStillForTheDelay)
{
    keeper.mixChanged();
    spin(300);
    EXPECT_FALSE(fs::exists(previous())) << "nothing is kept before the start-up ran";

    keeper.setActive(true);
    keeper.mixChanged(); // a change that ends where it began (the start-up's own)
    spin(300);
    EXPECT_FALSE(fs::exists(previous())) << "the last session's mix stays until this one differs";
    model.setCheck(3, CheckState::Checked);
    keeper.mixChanged();
    spin(100);
    model.setSlider(kMasterSlider, 40);
    QElapsedTimer sinceLastChange;
    sinceLastChange.start();
    keeper.mixChanged(); // a new change starts the wait again
    EXPECT_TRUE(keeper.pending());
    // However late the timer comes, the mix is written once, and never before it was still for
    // the delay after the last change. (On a loaded machine the wait of 100 ms above may itself
    // last longer than the delay, and the first change be written on its own before this one.)
    const std::string last = PresetRecord::capture(model).toText();
    ASSERT_TRUE(spinUntil([&] { return slurp(previous()) == last; }));
    // A coarse timer (the keeper's, so as not to wake the machine for it) may fire up to 5 % early.
    EXPECT_GE(sinceLastChange.elapsed(), 150 - 150 / 20);
    EXPECT_FALSE(keeper.pending());
    EXPECT_EQ(slurp(previous()), PresetRecord::capture(model).toText());
    EXPECT_TRUE(told.empty());
    // Nothing but the file itself is left in the folder.
    int entries = 0;
    for (const auto& e : fs::directory_iterator(folder.path()))
        entries += e.path().filename() == MixKeeper::kRunningName ? 1 : 100;
    EXPECT_EQ(entries, 1);
}

TEST_F(Keeper, AFolderThatCannotBeWrittenIsToldOncePerReasonNamingTheFile)
{
    keeper.setActive(true);
    std::string before;
    {
        UnwritableFolder locked(folder.path());
        if (!locked.active())
            GTEST_SKIP() << "cannot make a folder unwritable here";
        for (int i = 0; i < 3; ++i) {
            model.setSlider(kMasterSlider, 10 + i);
            keeper.mixChanged();
            ASSERT_TRUE(spinUntil([this] { return !keeper.pending(); })) << "the write was tried";
        }
        EXPECT_FALSE(keeper.writeNow()); // at close as well: still told only once
        ASSERT_EQ(told.size(), 1u);
        EXPECT_EQ(told[0].substr(0, told[0].find('|')), previous().string());
        EXPECT_GT(told[0].size(), previous().string().size() + 1) << "a reason is given";
    }
    // Writable again: the mix is kept, and a later failure is news again.
    model.setSlider(kMasterSlider, 77);
    keeper.mixChanged();
    ASSERT_TRUE(spinUntil([this] { return slurp(previous()) == PresetRecord::capture(model).toText(); }));
    {
        UnwritableFolder locked(folder.path());
        keeper.writeNow();
    }
    EXPECT_EQ(told.size(), 2u);
}

TEST_F(Keeper, TheLastClosesMixStaysUntilACloseAndAnUncleanEndHandsOverTheRunningMix)
{
    // The last close left sound 1 on.
    model.setCheck(1, CheckState::Checked);
    ASSERT_TRUE(presets.save(lastClose().string()));
    const std::string closed = slurp(lastClose());
    keeper.setActive(true);

    // This run changes the mix; it is kept, beside the last close's, which Previous still finds.
    model.setCheck(1, CheckState::Unchecked);
    model.setCheck(5, CheckState::Checked);
    ASSERT_TRUE(keeper.writeNow());
    EXPECT_EQ(slurp(previous()), PresetRecord::capture(model).toText());
    EXPECT_EQ(slurp(lastClose()), closed);
    ASSERT_TRUE(presets.load(lastClose().string()));
    EXPECT_TRUE(model.entry(1).on());
    EXPECT_FALSE(model.entry(5).on());
    EXPECT_FALSE(keeper.recover()) << "a running player's own mix is not handed over";

    // The session ends without closing (a kill, a power cut) while sound 7 plays: the next start
    // finds the running mix and it becomes the last mix.
    model.setCheck(7, CheckState::Checked);
    ASSERT_TRUE(keeper.writeNow());
    const std::string running = slurp(previous());
    MixKeeper next{presets, 150};
    EXPECT_TRUE(next.recover());
    EXPECT_EQ(slurp(lastClose()), running);
    EXPECT_FALSE(fs::exists(previous()));
    EXPECT_FALSE(next.recover()) << "once";
    EXPECT_EQ(slurp(lastClose()), running);
    // A file of that name that holds no whole mix never replaces the last one.
    std::ofstream(previous(), std::ios::binary) << "1,0,1";
    EXPECT_FALSE(next.recover());
    EXPECT_EQ(slurp(lastClose()), running);
    EXPECT_FALSE(fs::exists(previous()));

    // A clean close: the mix as it is goes to "previous.tmp", and no running mix is left to
    // override it at the next start.
    next.setActive(true);
    model.setCheck(9, CheckState::Checked);
    ASSERT_TRUE(next.writeNow());
    model.setCheck(9, CheckState::Unchecked);
    ASSERT_TRUE(next.close());
    EXPECT_EQ(slurp(lastClose()), PresetRecord::capture(model).toText());
    EXPECT_FALSE(fs::exists(previous()));
    EXPECT_FALSE(MixKeeper(presets).recover());
    EXPECT_FALSE(next.pending());
}

TEST(WriteFailures, EachFileAndReasonOnce)
{
    WriteFailures f;
    EXPECT_TRUE(f.failed("a", "full"));
    EXPECT_FALSE(f.failed("a", "full"));
    EXPECT_TRUE(f.failed("b", "full"));
    EXPECT_TRUE(f.failed("a", "read-only"));
    f.succeeded("a");
    EXPECT_TRUE(f.failed("a", "read-only"));
    f.succeeded("a");
    f.succeeded("b");
    EXPECT_FALSE(f.anyOutstanding());
}
