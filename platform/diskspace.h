#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace sonaveil::platform {

// The sizes of one mounted file system, in bytes.
struct VolumeSpace {
    QString mountPoint;
    std::int64_t total = 0;
    std::int64_t available = 0; // to this user
    std::int64_t free = 0;      // in all, reserved blocks included
    bool fixed = false;         // a local block device that is neither removable nor an optical disc
};

// The free space of file systems, behind an interface so that tests can make a disk fill up.
class DiskSpace {
public:
    virtual ~DiskSpace() = default;
    // The file system that holds `path` (the nearest existing folder of it); nothing when it
    // cannot be queried.
    virtual std::optional<VolumeSpace> volumeOf(const QString& path) const = 0;
    // Every mounted file system, in the order of their mount points.
    virtual std::vector<VolumeSpace> volumes() const = 0;
};

// The real file systems, through QStorageInfo.
class StorageDiskSpace : public DiskSpace {
public:
    std::optional<VolumeSpace> volumeOf(const QString& path) const override;
    std::vector<VolumeSpace> volumes() const override;
};

// Answers what a test sets; `volumeOf` finds the volume whose mount point is the longest prefix.
class FakeDiskSpace : public DiskSpace {
public:
    std::optional<VolumeSpace> volumeOf(const QString& path) const override;
    std::vector<VolumeSpace> volumes() const override { return list; }

    std::vector<VolumeSpace> list;
};

} // namespace sonaveil::platform
