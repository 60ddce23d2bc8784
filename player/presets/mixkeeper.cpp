#include "player/presets/mixkeeper.h"

namespace sonaveil::player {

MixKeeper::MixKeeper(PresetFiles& presets, int delayMs)
    : m_presets(presets)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(delayMs);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (m_presets.current() != m_kept)
            writeNow();
    });
}

void MixKeeper::setActive(bool on)
{
    m_active = on;
    if (on)
        m_kept = m_presets.current();
    else
        m_timer.stop();
}

void MixKeeper::mixChanged()
{
    if (m_active)
        m_timer.start();
}

bool MixKeeper::writeNow()
{
    m_timer.stop();
    const std::string path = m_presets.lastMixPath();
    std::string why;
    if (m_presets.save(path, &why)) {
        m_kept = m_presets.current();
        m_failures.succeeded(path);
        return true;
    }
    if (m_failures.failed(path, why) && failed)
        failed(path, why);
    return false;
}

} // namespace sonaveil::player
