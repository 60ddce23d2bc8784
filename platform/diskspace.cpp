#include "platform/diskspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace sonaveil::platform {

namespace {

// Whether the kernel calls the block device behind `device` ("/dev/sdb1") removable.
bool removable(const QByteArray& device)
{
    QString name = QFileInfo(QString::fromLocal8Bit(device)).canonicalFilePath();
    if (name.isEmpty())
        name = QString::fromLocal8Bit(device);
    name = QFileInfo(name).fileName();
    // A partition's flag is on its disk: /sys/class/block/sdb1/.. is sdb.
    const QString sys = QStringLiteral("/sys/class/block/") + name;
    for (const QString& candidate : {sys + QStringLiteral("/removable"), sys + QStringLiteral("/../removable")}) {
        QFile f(candidate);
        if (f.open(QIODevice::ReadOnly))
            return f.readAll().trimmed() == "1";
    }
    return false;
}

bool isFixed(const QStorageInfo& s)
{
    const QByteArray device = s.device();
    const QByteArray type = s.fileSystemType();
    if (!device.startsWith("/dev/") || device.startsWith("/dev/loop"))
        return false; // network shares, RAM disks, overlays, snaps
    if (type == "iso9660" || type == "udf")
        return false; // optical discs
    return !removable(device);
}

VolumeSpace spaceOf(const QStorageInfo& s)
{
    VolumeSpace v;
    v.mountPoint = s.rootPath();
    v.total = s.bytesTotal();
    v.available = s.bytesAvailable();
    v.free = s.bytesFree();
    v.fixed = isFixed(s);
    return v;
}

} // namespace

std::optional<VolumeSpace> StorageDiskSpace::volumeOf(const QString& path) const
{
    if (path.isEmpty())
        return std::nullopt;
    // A file that does not exist yet lives on the file system of its nearest existing folder.
    QFileInfo info(path);
    QString existing = info.absoluteFilePath();
    while (!QFileInfo::exists(existing)) {
        const QString parent = QFileInfo(existing).absolutePath();
        if (parent == existing)
            return std::nullopt;
        existing = parent;
    }
    QStorageInfo s(existing);
    if (!s.isValid() || !s.isReady())
        return std::nullopt;
    return spaceOf(s);
}

std::vector<VolumeSpace> StorageDiskSpace::volumes() const
{
    std::vector<VolumeSpace> list;
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes())
        if (s.isValid() && s.isReady())
            list.push_back(spaceOf(s));
    std::sort(list.begin(), list.end(), [](const VolumeSpace& a, const VolumeSpace& b) { return a.mountPoint < b.mountPoint; });
    return list;
}

std::optional<VolumeSpace> FakeDiskSpace::volumeOf(const QString& path) const
{
    const VolumeSpace* best = nullptr;
    for (const VolumeSpace& v : list) {
        const bool inside = path == v.mountPoint || v.mountPoint == QLatin1String("/")
            || path.startsWith(v.mountPoint + QLatin1Char('/'));
        if (inside && (!best || v.mountPoint.size() > best->mountPoint.size()))
            best = &v;
    }
    return best ? std::optional<VolumeSpace>(*best) : std::nullopt;
}

} // namespace sonaveil::platform
