#include "player/tinnitus/tinnitusstore.h"

namespace sonaveil::player {

TinnitusStore::TinnitusStore(const std::filesystem::path& programFolder)
    : m_file(programFolder / TinnitusSettings::kFileName)
{
}

void TinnitusStore::load()
{
    m_settings = TinnitusSettings::read(m_file);
}

bool TinnitusStore::setMatch(double frequencyHz, MatchKind kind, std::string* error)
{
    TinnitusSettings next = m_settings;
    next.frequencyHz = frequencyHz;
    next.kind = kind;
    if (!next.writeMatch(m_file, error))
        return false;
    next.frequencyHz = std::stod(TinnitusSettings::frequencyText(frequencyHz));
    m_settings = next;
    return true;
}

bool TinnitusStore::setNotchEnabled(bool on, std::string* error)
{
    m_settings.notchEnabled = on;
    return m_settings.writeNotch(m_file, error);
}

bool TinnitusStore::setAlarmFadeMinutes(int minutes, std::string* error)
{
    m_settings.alarmFadeMinutes = minutes;
    return m_settings.writeAlarmFade(m_file, error);
}

} // namespace sonaveil::player
