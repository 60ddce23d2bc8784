// Live sounds whose generators are made on the model's worker: the sound starts once its
// generator is there, with the wishes of that moment; a stop, a restart or the option switched
// off in the meantime win over what the worker made; the model goes away with jobs in flight.
#include "player/core/channelmodel.h"
#include "player/core/livebuilder.h"
#include "synth/digest.h"

#include "fakebinding.h"
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
        fs::create_directories(folder / "bin");
        std::map<std::string, std::uint64_t> digests;
        for (const char* file : {"bin/1.isz", "bin/2.isz", "bin/3.isz"}) {
            std::ofstream(folder / file, std::ios::binary) << "shipped " << file;
            digests[file] = *synth::fileDigest((folder / file).string());
        }
        EXPECT_EQ(synth::writeDigests((folder / synth::kDigestFile).string(), digests), "");
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

TEST_F(MadeOnWorker, SwitchingOnReturnsAtOnceAndTheVoiceStartsWhenItsGeneratorIsMade)
{
    model->setCheck(1, CheckState::Checked);
    EXPECT_TRUE(model->entry(1).on());
    EXPECT_TRUE(model->entry(1).making);
    EXPECT_EQ(model->entry(1).channel, -1);
    gate.awaitArrivals(1);
    EXPECT_EQ(model->making(), 1u);
    model->takeMade();
    EXPECT_EQ(calls("play live"), 0) << "nothing plays before the generator is made";
    EXPECT_EQ(calls("play"), 0);

    gate.open();
    model->finishMaking();
    EXPECT_FALSE(model->entry(1).making);
    EXPECT_TRUE(model->entry(1).live);
    EXPECT_EQ(calls("play live"), 1);
    EXPECT_EQ(audio.channels.at(model->entry(1).channel).loop, audio::kLoopNormal);
    EXPECT_EQ(model->making(), 0u);
    // Its file was checked on the worker and is known to be ours from now on.
    EXPECT_TRUE(model->endless().shipped(1));
}

TEST_F(MadeOnWorker, ASoundSwitchedOffWhileItsGeneratorIsMadeOrQueuedNeverPlays)
{
    model->setCheck(1, CheckState::Checked); // being made, held at the gate
    model->setCheck(2, CheckState::Checked); // waiting behind it
    gate.awaitArrivals(1);
    model->setCheck(1, CheckState::Unchecked);
    model->setCheck(2, CheckState::Unchecked);
    EXPECT_FALSE(model->entry(1).making);
    EXPECT_FALSE(model->entry(2).making);
    gate.open();
    model->finishMaking();
    EXPECT_EQ(calls("play live"), 0);
    EXPECT_EQ(calls("play"), 0);
    ASSERT_EQ(made.size(), 1u) << "a job still waiting is dropped, not made";
    EXPECT_EQ(made[0].first, 1);
    EXPECT_EQ(CountedGenerator::alive, 0) << "what was made for nobody is freed";
}

TEST_F(MadeOnWorker, ASoundSwitchedOffAndOnAgainPlaysOnceFromItsLatestStart)
{
    model->setCheck(1, CheckState::Checked);
    gate.awaitArrivals(1);
    model->setCheck(1, CheckState::Unchecked);
    model->setCheck(1, CheckState::Checked);
    gate.open();
    model->finishMaking();
    ASSERT_EQ(made.size(), 2u);
    EXPECT_EQ(calls("play live"), 1);
    EXPECT_EQ(seedOf(1), made[1].second) << "the second start's generator plays, not the first's";
    EXPECT_TRUE(audio.channels.at(model->entry(1).channel).playing);
}

TEST_F(MadeOnWorker, TheSlidersAsTheyAreWhenTheGeneratorIsThereApply)
{
    model->setSlider(1, 200);
    model->setCheck(1, CheckState::Checked);
    gate.awaitArrivals(1);
    model->setSlider(1, 240);
    model->setSlider(kMasterSlider, 75);
    model->setSlider(11, 5000);
    model->setSlider(21, 3);
    model->setSlider(1, 100);
    EXPECT_TRUE(audio.channels.empty()) << "no voice is there to take them yet";
    gate.open();
    model->finishMaking();
    const FakeBinding::Channel& ch = audio.channels.at(model->entry(1).channel);
    EXPECT_EQ(ch.volume, 75);
    EXPECT_EQ(ch.frequency, 50000);
    EXPECT_EQ(ch.pan, 30);
    // Later moves reach the live voice as they happen.
    model->setSlider(kMasterSlider, 50);
    EXPECT_EQ(audio.channels.at(model->entry(1).channel).volume, 50);
}

TEST_F(MadeOnWorker, TheOptionSwitchedOffWhileTheGeneratorIsMadePlaysTheFile)
{
    model->setCheck(1, CheckState::Checked);
    gate.awaitArrivals(1);
    model->endless().setEnabled(false);
    // A sound switched on with the option off plays its file at once.
    model->setCheck(2, CheckState::Checked);
    EXPECT_FALSE(model->entry(2).making);
    EXPECT_EQ(audio.channels.at(model->entry(2).channel).sample, model->entry(2).sample);
    gate.open();
    model->finishMaking();
    EXPECT_FALSE(model->entry(1).live);
    EXPECT_EQ(audio.channels.at(model->entry(1).channel).sample, model->entry(1).sample);
    EXPECT_EQ(calls("play live"), 0);
    EXPECT_EQ(CountedGenerator::alive, 0);
}

TEST_F(MadeOnWorker, AReplacedFileFoundOnTheWorkerPlaysAsALoopAndIsNotCheckedAgain)
{
    std::ofstream(folder / "bin/3.isz", std::ios::binary | std::ios::trunc) << "the user's own";
    gate.open();
    model->setCheck(3, CheckState::Checked);
    model->finishMaking();
    EXPECT_FALSE(model->entry(3).live);
    EXPECT_EQ(audio.channels.at(model->entry(3).channel).sample, model->entry(3).sample);
    EXPECT_TRUE(made.empty()) << "no generator is made for a file that is not ours";
    model->setCheck(3, CheckState::Unchecked);
    model->setCheck(3, CheckState::Checked);
    EXPECT_FALSE(model->entry(3).making) << "known now: the file plays at once";
    EXPECT_EQ(model->making(), 0u);
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
    EXPECT_EQ(calls("play live"), 0);

    // Done on the worker, never taken: freed with the model.
    model = makeModel();
    for (int sound : {1, 2})
        model->setCheck(sound, CheckState::Checked);
    while (model->making() > 0)
        std::this_thread::sleep_for(1ms);
    EXPECT_EQ(CountedGenerator::alive, 2);
    model.reset();
    EXPECT_EQ(CountedGenerator::alive, 0);
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
    EXPECT_EQ(calls("play live"), 1);

    // The worker's word that a job is done, still queued when the model goes, reaches nothing.
    model->setCheck(2, CheckState::Checked);
    while (model->making() > 0)
        std::this_thread::sleep_for(1ms);
    model.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(calls("play live"), 1);
}

TEST(LiveBuilder, RunsJobsInOrderAndCancelsOnlyWaitingOnes)
{
    std::atomic<int> finished{0};
    Gate gate;
    std::vector<int> order;
    LiveBuilder builder([&] { ++finished; });
    auto job = [&](int number) {
        return [&, number] {
            gate.pass();
            order.push_back(number);
            EndlessSounds::Made made;
            made.number = number;
            return made;
        };
    };
    const std::uint64_t first = builder.submit(job(1));
    const std::uint64_t second = builder.submit(job(2));
    const std::uint64_t third = builder.submit(job(3));
    EXPECT_NE(first, 0u);
    EXPECT_LT(first, second);
    gate.awaitArrivals(1);
    builder.cancel(first); // running: comes back all the same
    builder.cancel(second);
    EXPECT_EQ(builder.busy(), 2u);
    gate.open();
    builder.wait();
    EXPECT_EQ(builder.busy(), 0u);
    EXPECT_EQ(order, (std::vector<int>{1, 3}));
    const auto done = builder.take();
    ASSERT_EQ(done.size(), 2u);
    EXPECT_EQ(done[0].ticket, first);
    EXPECT_EQ(done[1].ticket, third);
    EXPECT_EQ(done[1].made.number, 3);
    EXPECT_EQ(finished, 2);
    EXPECT_TRUE(builder.take().empty());
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
