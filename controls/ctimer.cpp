#include "controls/ctimer.h"

namespace sonaveil::controls {

cTimer::cTimer()
{
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (m_owner)
            m_owner->iTimer_Proc(static_cast<long>(m_clock.elapsed()), m_id);
    });
}

cTimer::~cTimer()
{
    TmrStop();
}

bool cTimer::TmrStart(cTimerOwner* owner, long intervalMs, long id)
{
    if (m_timer.isActive())
        return true;
    if (!owner || intervalMs <= 0)
        return false;
    m_owner = owner;
    m_id = id;
    m_clock.start();
    m_timer.start(static_cast<int>(intervalMs));
    return m_timer.isActive();
}

bool cTimer::TmrStop()
{
    m_timer.stop();
    m_owner = nullptr;
    return !m_timer.isActive();
}

} // namespace sonaveil::controls
