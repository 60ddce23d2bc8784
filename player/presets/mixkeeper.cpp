#include "player/presets/mixkeeper.h"

#include "common/atomicfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace sonaveil::player {

namespace {

// Makes a rename in `folder` survive a power cut.
void syncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

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

std::string MixKeeper::runningPath() const
{
    return (std::filesystem::path(m_presets.programFolder()) / kRunningName).string();
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
    const std::string path = runningPath();
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

bool MixKeeper::recover(std::string* error)
{
    // Once this session keeps its own mix, the file is this session's.
    if (m_active)
        return false;
    const std::filesystem::path running = runningPath();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(running, ec))
        return false;
    // Only a whole mix replaces the last one; anything else of that name is of no use.
    const auto text = readWholeFile(running);
    if (!text || !PresetRecord::parse(*text)) {
        std::filesystem::remove(running, ec);
        return false;
    }
    const std::string last = m_presets.lastMixPath();
    if (::rename(running.c_str(), last.c_str()) != 0) {
        if (error)
            *error = std::strerror(errno);
        return false;
    }
    syncFolder(running.parent_path());
    return true;
}

bool MixKeeper::close(std::string* error)
{
    m_timer.stop();
    m_active = false;
    if (!m_presets.save(m_presets.lastMixPath(), error))
        return false;
    std::error_code ec;
    std::filesystem::remove(runningPath(), ec);
    return true;
}

} // namespace sonaveil::player
