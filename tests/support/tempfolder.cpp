#include "tempfolder.h"

#include <cstdlib>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "sonaveil-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()))
        m_path = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, ec);
}

UnwritableFolder::UnwritableFolder(std::filesystem::path folder)
    : m_folder(std::move(folder))
{
    namespace fs = std::filesystem;
    if (::geteuid() != 0) {
        std::error_code ec;
        fs::permissions(m_folder, fs::perms::owner_read | fs::perms::owner_exec, ec);
        if (!ec)
            m_mode = Mode::Permissions;
        return;
    }
    if (::mount("sonaveil-test", m_folder.c_str(), "tmpfs", MS_RDONLY | MS_NOSUID | MS_NODEV, "size=64k") == 0)
        m_mode = Mode::Mount;
}

UnwritableFolder::~UnwritableFolder()
{
    if (m_mode == Mode::Permissions) {
        std::error_code ec;
        std::filesystem::permissions(m_folder, std::filesystem::perms::owner_all, ec);
    } else if (m_mode == Mode::Mount) {
        ::umount2(m_folder.c_str(), MNT_DETACH);
    }
}
