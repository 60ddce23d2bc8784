#pragma once

#include <QElapsedTimer>
#include <QTimer>

namespace sonaveil::controls {

// Whoever a cTimer calls back.
class cTimerOwner {
public:
    virtual ~cTimerOwner() = default;
    // One tick: elapsedMs since TmrStart, id as given to TmrStart.
    virtual void iTimer_Proc(long elapsedMs, long id) = 0;
};

// An interval timer that calls its owner on the owner's thread, between other events.
class cTimer {
public:
    cTimer();
    ~cTimer();
    cTimer(const cTimer&) = delete;
    cTimer& operator=(const cTimer&) = delete;

    // Starts calling owner every intervalMs unless already running; returns whether it runs.
    bool TmrStart(cTimerOwner* owner, long intervalMs, long id);
    // Stops the calls; returns whether it is stopped.
    bool TmrStop();
    bool running() const { return m_timer.isActive(); }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    cTimerOwner* m_owner = nullptr;
    long m_id = 0;
};

} // namespace sonaveil::controls
