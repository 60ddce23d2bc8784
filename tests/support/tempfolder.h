#pragma once

#include <filesystem>

// A fresh folder under the system's temporary folder, removed with everything in it on
// destruction.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::filesystem::path& leaf) const { return m_path / leaf; }

private:
    std::filesystem::path m_path;
};
