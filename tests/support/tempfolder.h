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

// Makes `folder` refuse new files for as long as it lives: its permissions for an ordinary user,
// a read-only file system mounted over it for root (whom permissions do not stop). active() is
// false when neither could be done.
class UnwritableFolder {
public:
    explicit UnwritableFolder(std::filesystem::path folder);
    ~UnwritableFolder();
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;
    bool active() const { return m_mode != Mode::None; }

private:
    enum class Mode { None, Permissions, Mount };
    std::filesystem::path m_folder;
    Mode m_mode = Mode::None;
};
