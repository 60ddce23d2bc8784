#include "capturefixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <sndfile.h>

void ToneServer::SetUp()
{
    s_instance = this;
    m_pulse.useEnvironment();
    m_running = m_pulse.start();
    if (m_running)
        m_pulse.pactl("load-module module-sine sink=sonaveil_test frequency=" + std::to_string(kToneHz));
    else
        ADD_FAILURE() << "the private pulseaudio did not start: every test needs it";
}

void ToneServer::TearDown()
{
    m_pulse.stop();
}

// Sleeps in the event loop in steps of 10 ms (processEvents with a time would spin).
bool runUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    QEventLoop loop;
    while (!done() && t.elapsed() < timeoutMs) {
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
        // Windows closed with WA_DeleteOnClose go now, as they would in the program's own loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return done();
}

void runFor(int ms)
{
    runUntil([] { return false; }, ms);
}

DecodedWav decode(const std::string& path)
{
    DecodedWav d;
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f)
        return d;
    d.rate = info.samplerate;
    d.channels = info.channels;
    d.format = info.format;
    d.frames = info.frames;
    std::vector<float> all(std::size_t(info.frames) * std::size_t(info.channels));
    sf_readf_float(f, all.data(), info.frames);
    sf_close(f);
    d.left.resize(std::size_t(info.frames));
    for (std::size_t i = 0; i < d.left.size(); ++i)
        d.left[i] = all[i * std::size_t(info.channels)];
    return d;
}
