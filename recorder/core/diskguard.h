#pragma once

#include <QString>

#include <cstdint>

namespace sonaveil::recorder {

// Free bytes in decimal megabytes (1,000,000 bytes), halves to the even neighbour.
std::int64_t freeMegabytes(std::int64_t bytes);

// The guard trips when the threshold is not "Don't warn" and the free megabytes are at or
// below the threshold's numeric value.
bool guardTripped(const QString& thresholdText, std::int64_t freeMegabytes);

// Line 1 of LCD2: " Space: 52340MBs (C:)", a mount point shown by its name: " Space: 80MBs (home)".
// Short of `columns` the label goes first (" 52340MBs (install)"), then the end of the name
// (" 52340MBs (recordin..)"); the figure always shows.
QString spaceLine(std::int64_t freeMegabytes, const QString& drive, int columns = 21);

inline const QString kDiskSpaceWarning = QStringLiteral(" Disk Space Warning");
inline const QString kStoppedLowSpace = QStringLiteral(" Stopped:Low D/Space");

// The message of a start check that tripped (CR LF after the first sentence, CR between the rest).
QString lowSpaceMessage(const QString& drive, std::int64_t freeMegabytes, const QString& thresholdText);

// A byte count as the drive browser shows it: "80 GB", "123 MB", "999"; counts of 1,000 to
// 999,999 bytes show their thousands as "KB". `separator` is the digit-group separator.
QString sizeText(std::int64_t bytes, const QString& separator = QStringLiteral(","));

// "Unknown", "Removable", "Fixed", "Network", "CD-ROM", "RAM Disk" in the user's language; "" for
// other numbers.
QString driveTypeName(int type);

} // namespace sonaveil::recorder
