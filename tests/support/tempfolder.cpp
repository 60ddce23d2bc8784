#include "tempfolder.h"

#include <cstdlib>
#include <string>

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
