// Live sounds whose generators are made on the model's worker: the sound starts once its
// generator is there, with the wishes of that moment; a stop, a restart or the option switched
// off in the meantime win over what the worker made; the model goes away with jobs in flight.
#include "player/core/channelmodel.h"
#include "player/core/livebuilder.h"
#include "synth/digest.h"

#include "fakebinding.h"
#include "shippedsounds.h"
#include "tempfolder.h"

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <new>
#include <thread>

#include <gtest/gtest.h>

using namespace sonaveil;
using namespace sonaveil::player;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Holds every job at its start until opened, so that a test can act while a generator is made.
class Gate {
public:
    void pass()
    {
        std::unique_lock lock(m_mutex);
        ++m_arrived;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_open; });
    }
    void open()
    {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    // Waits until `jobs` jobs have reached the gate.
    void awaitArrivals(int jobs)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_arrived >= jobs; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_arrived = 0;
    bool m_open = false;
};

// Silence that counts the generators alive, to show that none is left behind.
class CountedGenerator : public SilentGenerator {
public:
    explicit CountedGenerator(std::uint64_t seed) : SilentGenerator(22050, seed) { ++alive; }
    ~CountedGenerator() override { --alive; }
    static inline std::atomic<int> alive{0};
};

// A program folder whose bin/ holds sounds 1 … 3 as we ship them, and a model that makes their
// generators on its worker, each job held by the gate.
class MadeOnWorker : public ::testing::Test {
protected:
    MadeOnWorker()
    {
        writeShippedSounds(folder.path(), {"bin/1.isz", "bin/2.isz", "bin/3.isz"});
        model = makeModel();
    }
    ~MadeOnWorker() override
    {
        gate.open();
        model.reset();
        audio.generators.clear();
        EXPECT_EQ(CountedGenerator::alive, 0);
    }

    std::unique_ptr<ChannelModel> makeModel()
    {
        auto m = std::make_unique<ChannelModel>(audio, ChannelModel::Making::OnWorker);
        m->endless() = EndlessSounds([this](int number, std::uint64_t seed) -> std::unique_ptr<audio::Generator> {
            gate.pass();
            std::lock_guard lock(madeMutex);
            made.push_back({number, seed});
            return std::make_unique<CountedGenerator>(seed);
        });
        m->loadSamples(folder.path());
        return m;
    }

    long calls(const std::string& call) const { return std::count(audio.calls.begin(), audio.calls.end(), call); }
    std::uint64_t seedOf(int sound)
    {
        return static_cast<SilentGenerator&>(*audio.generators.at(model->entry(sound).channel)).seed;
    }

    TempFolder folder;
    FakeBinding audio;
    Gate gate;
    std::mutex madeMutex;
    std::vector<std::pair<int, std::uint64_t>> made;
    std::unique_ptr<ChannelModel> model;
};

} // namespace

TEST_F(MadeOnWorker, TheVoiceStartsWhenItsGeneratorIsMadeWithTheSlidersOfThatMoment)
{
    model->setSlider(1, 200);
    model->setCheck(1, CheckState::Checked);
    EXPECT_TRUE(model->entry(1).on());
    EXPECT_TRUE(model->entry(1).making);
    gate.awaitArrivals(1);
    model->setSlider(kMasterSlider, 75);
    model->setSlider(11, 5000);
    model->setSlider(21, 3);
    model->setSlider(1, 100);
    model->takeMade();
    EXPECT_TRUE(audio.channels.empty()) << "nothing plays before the generator is made";
    gate.open();
    model->finishMaking();
    EXPECT_FALSE(model->entry(1).making);
    EXPECT_TRUE(model->entry(1).live);
    const FakeBinding::Channel& ch = audio.channels.at(model->entry(1).channel);
    EXPECT_EQ(ch.volume, 75);
    EXPECT_EQ(ch.frequency, 50000);
    EXPECT_EQ(ch.pan, 30);
    EXPECT_EQ(ch.loop, audio::kLoopNormal);
    // Its file was checked on the worker and is known to be ours from now on.
    EXPECT_TRUE(model->endless().shipped(1));
}

TEST_F(MadeOnWorker, OnlyTheLatestWishPlays)
{
    // Off while its generator is made (1) or while it waits its turn (2); off and on again (3).
    for (int sound : {1, 2, 3})
        model->setCheck(sound, CheckState::Checked);
    gate.awaitArrivals(1);
    model->setCheck(1, CheckState::Unchecked);
    model->setCheck(2, CheckState::Unchecked);
    model->setCheck(3, CheckState::Unchecked);
    model->setCheck(3, CheckState::Checked);
    gate.open();
    model->finishMaking();
    EXPECT_EQ(calls("play live"), 1);
    EXPECT_EQ(calls("play"), 0);
    ASSERT_EQ(made.size(), 2u) << "a job still waiting is dropped, not made";
    EXPECT_EQ(made[0].first, 1);
    EXPECT_EQ(seedOf(3), made[1].second) << "the second start of sound 3 plays, not the first";
    EXPECT_EQ(CountedGenerator::alive, 1) << "what was made for nobody is freed";
}

TEST_F(MadeOnWorker, TheOptionOffOrAReplacedFileFoundMeanwhilePlaysTheFile)
{
    std::ofstream(folder / "bin/3.isz", std::ios::binary | std::ios::trunc) << "the user's own";
    model->setCheck(1, CheckState::Checked);
    model->setCheck(3, CheckState::Checked);
    gate.awaitArrivals(1);
    model->endless().setEnabled(false);
    gate.open();
    model->finishMaking();
    for (int sound : {1, 3}) {
        EXPECT_FALSE(model->entry(sound).live) << sound;
        EXPECT_EQ(audio.channels.at(model->entry(sound).channel).sample, model->entry(sound).sample) << sound;
    }
    EXPECT_EQ(calls("play live"), 0);
    EXPECT_EQ(made.size(), 1u) << "no generator is made for a file that is not ours";
    EXPECT_FALSE(model->endless().shipped(3));
}

TEST_F(MadeOnWorker, TheModelGoesWithJobsRunningQueuedAndDoneButNotTaken)
{
    for (int sound : {1, 2, 3})
        model->setCheck(sound, CheckState::Checked);
    gate.awaitArrivals(1);
    // The job being made finishes while the model goes; the queued ones are dropped.
    std::thread opener([this] {
        std::this_thread::sleep_for(100ms);
        gate.open();
    });
    model.reset();
    opener.join();
    EXPECT_EQ(made.size(), 1u);
    EXPECT_EQ(CountedGenerator::alive, 0);

    model = makeModel();
    for (int sound : {1, 2})
        model->setCheck(sound, CheckState::Checked);
    while (model->making() > 0)
        std::this_thread::sleep_for(1ms);
    model.reset();
    EXPECT_EQ(CountedGenerator::alive, 0);
    EXPECT_EQ(calls("play live"), 0);
}

TEST_F(MadeOnWorker, TheEventLoopStartsWhatTheWorkerMadeAndForgetsAModelThatWent)
{
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    model = makeModel(); // its receiver made under the application
    gate.open();
    model->setCheck(1, CheckState::Checked);
    const auto until = std::chrono::steady_clock::now() + 5s;
    while (!model->entry(1).live && std::chrono::steady_clock::now() < until)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(model->entry(1).live);

    // The worker's word that a job is done, still queued when the model goes, reaches nothing.
    model->setCheck(2, CheckState::Checked);
    while (model->making() > 0)
        std::this_thread::sleep_for(1ms);
    model.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(calls("play live"), 1);
}

TEST(LiveBuilder, AJobThatThrowsComesBackEmpty)
{
    LiveBuilder builder({});
    const std::uint64_t ticket = builder.submit([]() -> EndlessSounds::Made { throw std::bad_alloc(); });
    builder.wait();
    const auto done = builder.take();
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].ticket, ticket);
    EXPECT_EQ(done[0].made.generator, nullptr);
}
