#include "common/writefailures.h"

namespace sonaveil {

bool WriteFailures::failed(const std::string& file, const std::string& why)
{
    auto [it, inserted] = m_told.try_emplace(file, why);
    if (inserted)
        return true;
    if (it->second == why)
        return false;
    it->second = why;
    return true;
}

void WriteFailures::succeeded(const std::string& file)
{
    m_told.erase(file);
}

} // namespace sonaveil
