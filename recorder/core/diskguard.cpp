#include "recorder/core/diskguard.h"

#include "recorder/core/rules.h"

#include "common/rounding.h"

#include <QCoreApplication>

#include <iterator>

namespace sonaveil::recorder {

std::int64_t freeMegabytes(std::int64_t bytes)
{
    return roundHalfEven(double(bytes) / 1000000.0);
}

bool guardTripped(const QString& thresholdText, std::int64_t freeMegabytes)
{
    // The list shows "Don't warn" in the user's language.
    const bool dontWarn = thresholdText == kDontWarn
                       || thresholdText == QCoreApplication::translate("sonaveil::recorder::FRMMAIN", "Don't warn");
    return !dontWarn && double(freeMegabytes) <= numericValue(thresholdText);
}

QString spaceLine(std::int64_t freeMegabytes, const QString& drive, int columns)
{
    // A mount point is known by its last name ("/media/stick" by "stick"); a drive letter and
    // the root stay as they are.
    QString name = drive;
    while (name.size() > 1 && name.endsWith(QLatin1Char('/')))
        name.chop(1);
    if (name.size() > 1 && name.contains(QLatin1Char('/')))
        name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    const QString figure = QString::number(freeMegabytes) + QStringLiteral("MBs ");
    const QString full = QStringLiteral(" Space: ") + figure + QLatin1Char('(') + name + QLatin1Char(')');
    if (full.size() <= columns)
        return full;
    // Short of room the label goes before the name does, and a long name keeps its start.
    const QString bare = QLatin1Char(' ') + figure;
    const int room = columns - int(bare.size()) - 2;
    if (int(name.size()) <= room)
        return bare + QLatin1Char('(') + name + QLatin1Char(')');
    if (room >= 5)
        return bare + QLatin1Char('(') + name.left(room - 2) + QStringLiteral("..)");
    return (QStringLiteral(" Space: ") + figure).trimmed().prepend(QLatin1Char(' '));
}

QString lowSpaceMessage(const QString& drive, std::int64_t freeMegabytes, const QString& thresholdText)
{
    return QCoreApplication::translate("sonaveil::recorder::DiskGuard",
                                       "Recording Stopped - The available space warning threshold has been exceeded. "
                                       "Please select another drive, or increase the low disk space warning "
                                       "threshold.\r\nYou selected drive %1 \rAvailable space on the selected "
                                       "drive is: %2MBs\rDisk space threshold is set at: %3MBs")
        .arg(drive, QString::number(freeMegabytes), thresholdText);
}

QString sizeText(std::int64_t bytes, const QString& separator)
{
    const QString digits = QString::number(bytes < 0 ? 0 : bytes);
    QString grouped;
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += separator;
        grouped += digits[i];
    }
    const int groups = int((digits.size() - 1) / 3); // separators in the text
    const int lead = int(digits.size()) - groups * 3; // digits before the first separator
    switch (groups) {
    case 1: // 1,000 to 999,999
        return digits.left(lead) + QStringLiteral(" KB");
    case 2: // 1,000,000 to 999,999,999
        return digits.left(lead) + QStringLiteral(" MB");
    case 3: // 1,000,000,000 to 999,999,999,999
        return digits.left(lead) + QStringLiteral(" GB");
    default:
        return grouped;
    }
}

QString driveTypeName(int type)
{
    static const char* const names[] = {
        QT_TRANSLATE_NOOP("sonaveil::recorder::DiskGuard", "Unknown"),
        QT_TRANSLATE_NOOP("sonaveil::recorder::DiskGuard", "Removable"),
        QT_TRANSLATE_NOOP("sonaveil::recorder::DiskGuard", "Fixed"),
        QT_TRANSLATE_NOOP("sonaveil::recorder::DiskGuard", "Network"),
        QT_TRANSLATE_NOOP("sonaveil::recorder::DiskGuard", "CD-ROM"),
        QT_TRANSLATE_NOOP("sonaveil::recorder::DiskGuard", "RAM Disk"),
    };
    if (type < 0 || type >= int(std::size(names)))
        return {};
    return QCoreApplication::translate("sonaveil::recorder::DiskGuard", names[type]);
}

} // namespace sonaveil::recorder

