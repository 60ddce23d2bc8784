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
    const QString head = QStringLiteral(" Space: ") + QString::number(freeMegabytes) + QStringLiteral("MBs ");
    const int room = columns - int(head.size()) - 2;
    if (int(drive.size()) <= room)
        return head + QLatin1Char('(') + drive + QLatin1Char(')');
    if (room < 3)
        return head.trimmed().prepend(QLatin1Char(' '));
    return head + QStringLiteral("(..") + drive.right(room - 2) + QLatin1Char(')');
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

